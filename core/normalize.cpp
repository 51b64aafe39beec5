// normalize.cpp -- Normalize: bring a record into canonical form.
//
// Workers leave carries, leading zero limbs and an exponent off the limb grid behind; this pass
// resolves them. The common case (exponent already a multiple of 10, positive leading limb) is a
// single backward carry pass with no logarithm or power.
#include <cmath>

#include "arith/transform/kernel_set.h"
#include "core/diagnostics.h"
#include "core/long_number.h"

namespace ostrel2 {

namespace {

constexpr double kNoise = 0.9;      // a limb above this counts as non-zero
constexpr double kNudge = 1e-11;    // lifts a quotient a hair below a whole number onto it

// One pass from the last live limb toward the front: each limb of 10^10 or more hands its excess
// to the limb before it, so a carry that overfills a limb is carried in turn.
void CarryPass(WorkLong& x) {
    double* limb = x.limbs;
    // The usual answer, no limb needs a carry, is found without a branch per limb.
    if (!LibraryKernels().anyAtLeast(limb + 1, LastLimb(x), LIMB_BASE)) return;
    for (int32_t k = LastLimb(x); k >= 1; --k) {
        if (limb[k] >= LIMB_BASE) {
            const double h = TruncDouble(limb[k] / LIMB_BASE);
            limb[k] -= h * LIMB_BASE;
            limb[k - 1] += h;
        }
    }
}

// Multiplies the mantissa by 10^s (0 < s < 10); zeros enter at the end.
void ShiftDigitsUp(WorkLong& x, int32_t s) {
    double* limb = x.limbs;
    const int32_t last = LastLimb(x);
    const double f = std::pow(10.0, s);
    const double g = LIMB_BASE / f;
    for (int32_t k = 0; k < last; ++k) {
        const double t = FloorDoubleSelect(limb[k + 1] / g + kNudge);
        limb[k] = f * limb[k] + t;
        limb[k + 1] -= t * g;
    }
    limb[last] *= f;
}

// Divides the mantissa by 10^n (0 < n < 10); the lowest n digits of the last live limb are lost.
void ShiftDigitsDown(WorkLong& x, int32_t n) {
    double* limb = x.limbs;
    const int32_t last = LastLimb(x);
    const double f = std::pow(10.0, n);
    const double g = LIMB_BASE / f;
    double carry = 0.0;
    for (int32_t k = 0; k <= last; ++k) {
        const double v = limb[k];
        const double q = FloorDoubleSelect(v / f + kNudge);
        limb[k] = carry + q;
        carry = (v - q * f) * g;
    }
}

// Moves the exponent by delta, computed in 64 bits. A result beyond what the field holds stays at
// the widest multiple of 10 on its side: above, the exponent limit check reports it; below (a
// value too small for any exponent) the underflow message is reported here and error is set.
void MoveExponent(WorkLong& x, int64_t delta) {
    const int64_t e = static_cast<int64_t>(x.exponent) + delta;
    if (e > EXPONENT_CEILING) {
        x.exponent = EXPONENT_CEILING;
    } else if (e < EXPONENT_FLOOR) {
        x.exponent = EXPONENT_FLOOR;
        Report(Message::Underflow);
        x.error = -1;
    } else {
        x.exponent = static_cast<int32_t>(e);
    }
}

// A NaN or infinite live limb has no digits to normalise. It is reported like a leading limb too
// long to hold, and the record becomes the canonical zero with error -1, so no later step loops on
// it or spreads it. Returns false after doing so.
bool LimbsFinite(WorkLong& x) {
    double* limb = x.limbs;
    const int32_t last = LastLimb(x);
    if (LibraryKernels().allFinite(limb, last + 1)) return true;
    for (int32_t k = 0; k <= last; ++k) {
        if (!std::isfinite(limb[k])) {
            Report(Message::LeadingLimbOverflow, limb[k]);
            for (int32_t j = 0; j <= last; ++j) limb[j] = 0.0;
            x.sign = 0;
            x.exponent = ZERO_EXPONENT;
            x.error = -1;
            return false;
        }
    }
    return true;
}

int32_t CheckExponentLimit(WorkLong& x) {
    if (x.exponent > MAX_EXPONENT) {
        Report(Message::ExponentLimit);
        x.error = -1;
        return -2;
    }
    return 0;
}

}  // namespace

int32_t Normalize(WorkLong& x) {
    double* limb = x.limbs;
    const int32_t last = LastLimb(x);
    if (!LimbsFinite(x)) return -1;

    // Quick path: on the limb grid with a positive leading limb, only carries can be pending.
    if (x.exponent % 10 == 0 && limb[0] > 0) {
        CarryPass(x);
        if (limb[0] < LIMB_BASE) return 0;
    }

    // The leading limb: the first above the noise level. Noise before it is cleared; a negative
    // limb there is a borrow nobody resolved and is reported.
    int32_t lead = -1;
    for (int32_t k = 0; k <= last; ++k) {
        if (limb[k] > kNoise) {
            lead = k;
            break;
        }
        if (limb[k] < 0) {
            Report(Message::NegativeLimb, limb[k]);
            x.error = -1;
            return -1;
        }
        limb[k] = 0.0;
    }
    if (lead < 0) {
        x.exponent = ZERO_EXPONENT;
        x.sign = 0;
        return 0;
    }

    // Leading zero digits of the leading limb read as a ten-digit limb; negative when the limb
    // has more than ten digits.
    int32_t zeros = 9 - TruncToInt32(std::log10(limb[lead]) + kNudge);

    if (zeros < 0) {
        if (zeros < -6) {
            Report(Message::LeadingLimbOverflow, limb[lead]);
            x.error = -1;
        }
        zeros += 10;
        if (lead > 0) {
            // The excess moves into the zero limb before it.
            limb[lead - 1] = TruncDouble(limb[lead] / LIMB_BASE);
            limb[lead] -= limb[lead - 1] * LIMB_BASE;
            --lead;
        } else {
            for (int32_t k = last; k >= 1; --k) limb[k] = limb[k - 1];
            limb[0] = TruncDouble(limb[0] / LIMB_BASE);
            limb[1] -= limb[0] * LIMB_BASE;
            MoveExponent(x, 10);
        }
    }

    if (lead > 0) {
        for (int32_t k = 0; k <= last - lead; ++k) limb[k] = limb[k + lead];
        for (int32_t k = last - lead + 1; k <= last; ++k) limb[k] = 0.0;
        MoveExponent(x, -10 * static_cast<int64_t>(lead));
    }

    // Bring the exponent onto a multiple of 10: digits move toward the front when the leading
    // limb has room for them, toward the end otherwise.
    const int32_t m = x.exponent % 10;
    if (m != 0) {
        int32_t n;
        if (m > 0) {
            n = zeros >= m ? -m : 10 - m;
        } else {
            n = zeros >= m + 10 ? -(m + 10) : -m;
        }
        MoveExponent(x, n);
        if (n < 0) {
            ShiftDigitsUp(x, -n);
        } else {
            ShiftDigitsDown(x, n);
        }
    }

    // Each repeated pass moves at least ten digits of a finite leading limb out of it, so the
    // repetition ends after at most 31 passes.
    CarryPass(x);
    if (limb[0] >= LIMB_BASE) Normalize(x);
    return CheckExponentLimit(x);
}

}  // namespace ostrel2
