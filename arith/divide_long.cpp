// divide_long.cpp -- long division one quotient limb at a time with quotient limbs estimated in
// double arithmetic, division by a small number, and the alignment of a leading limb to ten digits.
#include "arith/divide_long.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/call_counting.h"
#include "core/diagnostics.h"
#include "core/worker_helpers.h"

namespace ostrel2 {

namespace {

constexpr double kNudge = 1e-11;       // lifts a quotient a hair below a whole number onto it
constexpr double kInverseBase = 1e-10;  // 1 / LIMB_BASE
constexpr uint64_t kWholeLimbBase = 10000000000;  // LIMB_BASE as a whole number

// A whole double from 0 to 2^52 - 1 as an integer and back, through the bits of x + 2^52: there
// the doubles step by one and the integer stands in the low bits of the mantissa. Exact, with no
// conversion instruction (a 32-bit processor has none for 64-bit integers).
constexpr uint64_t kTwo52Bits = 0x4330000000000000;  // the bits of 2^52

uint64_t WholeToInteger(double x) {
    const double shifted = x + rounding::kTwo52;
    uint64_t bits;
    std::memcpy(&bits, &shifted, sizeof bits);
    return bits - kTwo52Bits;
}

double IntegerToWhole(uint64_t n) {
    const uint64_t bits = n | kTwo52Bits;
    double shifted;
    std::memcpy(&shifted, &bits, sizeof shifted);
    return shifted - rounding::kTwo52;
}

// floor(v) - 1, but not below 0, for 0 <= v < 2^52: the plain estimate's FloorDouble and its
// lowering by one, on the integer of v's nearest whole number.
uint64_t LoweredFloor(double v) {
    const double shifted = v + rounding::kTwo52;
    uint64_t bits;
    std::memcpy(&bits, &shifted, sizeof bits);
    const uint64_t nearest = bits - kTwo52Bits;
    const uint64_t floor = nearest - static_cast<uint64_t>(shifted - rounding::kTwo52 > v);
    return floor - static_cast<uint64_t>(floor > 0);
}

// Positions 0 .. P + 4 of a division's working arrays, for P up to MAX_PRECISION.
constexpr int kPositions = MAX_PRECISION + GUARD_LIMBS + 2;

// A remainder array: positions 0 .. P + 4, plus one slot in front of position 0 so that a borrow
// out of position 0 (which only an overshooting estimate could cause) lands in storage of its own.
struct Remainder {
    double slots[kPositions + 1];
    double& operator[](int32_t k) { return slots[k + 1]; }
};

// Fills the remainder: W[0] = 0, W[k] = limb k - 1 of the aligned dividend for k = 1 .. its
// precision + 4, every further position up to P + 4 zero.
void FillRemainder(Remainder& w, const WorkLong& dividend, int32_t P) {
    for (int32_t k = -1; k <= P + 4; ++k) w[k] = 0.0;
    for (int32_t k = 1; k <= dividend.precision + 4 && k <= P + 4; ++k)
        w[k] = dividend.limbs[k - 1];
}

// Estimate of quotient position i: the remainder around position i over the divisor's top,
// lowered by one so that it stays at or below the true quotient limb.
double EstimateQuotient(Remainder& w, int32_t i, int32_t P, double divisorTop) {
    double num = w[i];
    if (i > 0 && w[i - 1] > 0) num += w[i - 1] * LIMB_BASE;
    if (i < P + 4) num += w[i + 1] * kInverseBase;
    double q = FloorDouble(num / divisorTop * LIMB_BASE);
    if (q > 0) q -= 1.0;
    return q;
}

// Subtracts part from position k; a negative result borrows the least whole number of units
// from position k - 1 that makes it non-negative (the 0.1 keeps an exact multiple of 10^10 from
// taking one unit too many).
void SubtractWithBorrow(Remainder& w, int32_t k, double part) {
    w[k] -= part;
    if (w[k] < 0) {
        const double u = TruncDouble((w[k] + 0.1) * kInverseBase);
        const double borrow = 1.0 - u;
        w[k] += borrow * LIMB_BASE;
        w[k - 1] -= borrow;
    }
}

// Subtracts the low part from position k + 1 with a single borrow from position k, which is not
// tested again.
void SubtractLowPart(Remainder& w, int32_t k, double low) {
    w[k + 1] -= low;
    if (w[k + 1] < 0) {
        w[k + 1] += LIMB_BASE;
        w[k] -= 1.0;
    }
}

// Moves the quotient into r. A zero top position (quotient below 2 * 10^exponent, since every
// estimate is one short) shifts the quotient up one limb, cut off after position P + 4, and
// lowers the exponent by ten; otherwise the last kept limb is rounded by the limb below it.
void GatherQuotient(WorkLong& r, const double* q, int32_t P, double& exponent) {
    if (q[0] == 0.0) {
        for (int32_t k = 0; k <= P + 3; ++k) r.limbs[k] = q[k + 1];
        exponent -= 10.0;
    } else {
        for (int32_t k = 0; k <= P + 3; ++k) r.limbs[k] = q[k];
        r.limbs[P + 3] += RoundHalfEven(q[P + 4] * kInverseBase);
    }
}

bool LeadingLimbInRange(const WorkLong& x) {
    return x.limbs[0] >= 1.0 && x.limbs[0] < LIMB_BASE;
}

bool FractionalLeadingLimb(const WorkLong& x) {
    return x.sign != 0 && x.limbs[0] > 0.0 && x.limbs[0] < 1.0;
}

// A leading limb between 0 and 1 on the limb grid passes normalisation's quick path unchanged
// (its general path keeps one between 0.9 and 1): it holds no whole unit, only a fraction of one.
// The fraction is read to the 15 significant digits a double holds as written (0.34 reads as 0.34,
// not as the binary value 0.34000000000000002442...), and its digits are added to the limbs after
// it where they belong: the digit at 10^-t of limb 0's unit to limb ceil(t / 10). Digits beyond
// the last live limb are dropped. The leading limb becomes 0, so normalisation can take the
// record on.
void SpreadFractionalLeadingLimb(WorkLong& x) {
    const double fraction = x.limbs[0];
    // The fraction as a whole number m of 15 digits times 10^(lead - 14), lead being the power of
    // ten of its first digit (the logarithm may miss it by one next to a power of ten).
    int32_t lead = TruncToInt32(std::floor(std::log10(fraction)));
    double m = 0.0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int32_t shift = 14 - lead;  // 15 .. 338: scaled in two steps to stay finite
        const int32_t first = std::min(shift, 300);
        m = RoundHalfEven(fraction * std::pow(10.0, first) * std::pow(10.0, shift - first));
        if (m >= 1e15) {
            ++lead;
        } else if (m < 1e14) {
            --lead;
        } else {
            break;
        }
    }
    x.limbs[0] = 0.0;
    const int32_t last = LastLimb(x);
    int32_t power = lead - 14;  // of the last of the 15 digits
    for (int64_t digits = static_cast<int64_t>(m); digits > 0; digits /= 10, ++power) {
        const int32_t k = (9 - power) / 10;
        const double digit = static_cast<double>(digits % 10);
        if (k <= last) x.limbs[k] += digit * std::pow(10.0, power + 10 * k);
    }
}

}  // namespace

// Copy of a with the leading limb filled to ten digits and the exponent lowered by the digits
// moved; zero is copied unchanged. A leading limb outside 1 .. 10^10 - 1 (a record not in
// canonical form) is normalised first, and one below 1 spread over the limbs after it; if
// normalisation rejects the record the copy stays unaligned with error -1.
WorkLong& AlignLeadingLimb(WorkLong& result, const WorkLong& a) {
    WorkLong x;
    CopyLive(x, a);
    if (x.sign != 0 && !LeadingLimbInRange(x)) {
        Normalize(x);
        // Each pass empties a leading limb, so the passes end within the live limbs.
        for (int32_t pass = 0; pass <= LastLimb(x) && FractionalLeadingLimb(x); ++pass) {
            SpreadFractionalLeadingLimb(x);
            Normalize(x);
        }
    }
    if (x.sign == 0 || !LeadingLimbInRange(x)) {
        CopyLive(result, x);
        return result;
    }

    // Digits of the leading limb less one; a fractional limb a hair below 10^10 counts as ten
    // digits.
    const int32_t n = std::min(9, TruncToInt32(std::log10(x.limbs[0]) + kNudge));
    const int32_t s = 9 - n;
    const double f = std::pow(10.0, s);
    const double g = LIMB_BASE / f;
    const int32_t last = LastLimb(x);
    // The floors of random digits go either way: selected, not branched.
    for (int32_t i = 0; i < last; ++i) {
        const double q = FloorDoubleSelect(x.limbs[i + 1] / g + kNudge);
        x.limbs[i] = f * x.limbs[i] + q;
        x.limbs[i + 1] -= q * g;
    }
    x.limbs[last] *= f;
    x.exponent -= s;
    CopyLive(result, x);
    return result;
}

// Quotient at P = MaxPrecision(a, b): P + 5 quotient limbs are developed; the last kept limb is
// rounded half-even by the fifth unless the quotient shifts up, when it is cut off. The result's
// error is A.error + B.error of the aligned operands (plus a normalisation error); failures give
// a zero-limbed record with error -1. A zero operand that carries an error is a failure passed
// on: the result is zero with the operands' errors and no message. A zero dividend otherwise
// gives zero with the operands' errors, zero over zero the division-by-zero failure.
WorkLong& Div2Long(WorkLong& result, const WorkLong& a, const WorkLong& b) {
    const int32_t P = MaxPrecision(a, b);
    WorkLong A;
    WorkLong B;
    AlignLeadingLimb(A, a);
    AlignLeadingLimb(B, b);
    WorkLong r;
    InitLong(r, P, A.sign * B.sign, 0, 0.0);

    const bool zeroDivisor = B.sign == 0 || B.limbs[0] + B.limbs[1] * kInverseBase == 0.0;
    if ((A.sign == 0 && Failed(A)) || (zeroDivisor && Failed(B))) {
        r.error = SumErrors(A.error, B.error);
        return CopyOut(result, r);
    }
    if (A.sign == 0) {
        if (zeroDivisor) return FailWith(result, r, Message::DivisionByZero);
        r.error = SumErrors(A.error, B.error);
        return CopyOut(result, r);
    }

    double t = static_cast<double>(A.exponent) - static_cast<double>(B.exponent);
    if (std::fabs(t) > MAX_EXPONENT) {
        // A zero divisor's exponent lands here too: its English text says what it is.
        Report(zeroDivisor ? Message::DivisionByZeroAsOverflow
                           : t > 0 ? Message::Overflow : Message::Underflow);
        r.error = -1;
        result = r;
        return result;
    }

    double q[kPositions] = {};
    double d[kPositions] = {};
    Remainder w;
    FillRemainder(w, A, P);
    const int32_t bLast = LastLimb(B);
    for (int32_t j = 0; j <= bLast; ++j) d[j] = B.limbs[j];

    const double divisorTop = d[0] + d[1] * kInverseBase;
    if (divisorTop == 0.0 || B.sign == 0) {
        r.error = -1;
        Report(Message::DivisionByZero);
        result = r;
        return result;
    }

    // Each divisor limb meets every quotient limb: its halves are formed once.
    LimbHalves dHalves[kPositions];
    for (int32_t j = 0; j <= bLast; ++j) dHalves[j] = SplitLimb(d[j]);
    for (int32_t i = 0; i <= P + 4; ++i) {
        q[i] = EstimateQuotient(w, i, P, divisorTop);
        if (q[i] == 0.0) continue;
        const LimbHalves qHalves = SplitLimb(q[i]);
        for (int32_t j = 0; j <= bLast; ++j) {
            const int32_t k = i + j;
            if (k > P + 4) break;
            double high = 0.0;
            double low = 0.0;
            if (d[j] != 0.0) SplitProductOfHalves(qHalves, dHalves[j], high, low);
            SubtractWithBorrow(w, k, high);
            if (k == P + 4) break;
            SubtractLowPart(w, k, low);
        }
        // A position above the current one left at -1 means the estimate overshot.
        if (i > 0 && w[i - 1] == -1.0) {
            Report(Message::DivisionFailed);
            ReportDivisionHeader(i, a.exponent, b.exponent, TruncToInt32(t));
            for (int32_t s = 0; s <= P + 1; ++s) {
                const double dividendLimb = s <= LastLimb(A) ? A.limbs[s] : 0.0;
                ReportDivisionRow(s, dividendLimb, d[s], q[s], w[s]);
            }
            InitLong(r, P, A.sign * B.sign, 0, 0.0);
            r.error = -1;
            result = r;
            return result;
        }
    }

    GatherQuotient(r, q, P, t);
    r.exponent = TruncToInt32(t);
    r.error = SumErrors(A.error, B.error);
    Normalize(r);
    result = r;
    return result;
}

namespace {

// The quotient positions 0 .. P + 4 of the short division, limb by limb as Div2Long develops
// them, with the remainder folded forward: W filled from the aligned dividend A, each position's
// estimate as EstimateQuotient makes it, its product with d subtracted from the folded position
// with the multi-unit borrow and from the next with the single one. Any record and any d.
void ShortQuotientPlain(double* q, const WorkLong& A, int32_t P, double d) {
    Remainder w;
    FillRemainder(w, A, P);
    const LimbHalves dHalves = SplitLimb(d);
    for (int32_t i = 0; i <= P + 4; ++i) {
        q[i] = EstimateQuotient(w, i, P, d);
        if (q[i] == 0.0) continue;
        double high = 0.0;
        double low = 0.0;
        SplitProductOfHalves(SplitLimb(q[i]), dHalves, high, low);
        // The position above is folded into this one whatever its sign; it is not read again.
        if (i > 0) w[i] = w[i - 1] * LIMB_BASE + w[i];
        SubtractWithBorrow(w, i, high);
        if (i == P + 4) break;
        SubtractLowPart(w, i, low);
    }
}

// Whether ShortQuotientWhole gives the bits of ShortQuotientPlain: every live limb of A a whole
// number from 0 to 10^10 - 1 and the scaled d a whole number from 10^9 to 10^10.
bool WholeQuotientApplies(const WorkLong& A, double d) {
    bool whole = d >= 1e9 && d <= LIMB_BASE && d == rounding::Nearest(d);
    for (int32_t k = 0; k <= LastLimb(A); ++k) whole &= IsWholeLimb(A.limbs[k]);
    return whole;
}

// ShortQuotientPlain on whole limbs, without its branches and its remainder array. On whole limbs
// every estimate q lies at most two units below the quotient of the three remainder positions it
// reads, never above it (its rounding errors come to far less than a unit, and it is lowered by
// one), so what a position leaves, V = (folded remainder) * 10^10 + next position - q d, lies in
// 0 .. 3 d - 1: the folded position never borrows, the one after it ends in 0 .. 10^10 - 1 with at
// most its single borrow, and the remainder carried on to the next position, V itself once
// folded, is below 3 * 10^10. So every estimate stays below 3 * 10^10, every value is a whole
// number, and the plain loop's branches fall away:
// - a zero estimate, which the plain loop skips, finds the position above it at 0 (any unit
//   there makes the estimate at least 10^10 - 2) and subtracts nothing, so it needs no skip;
// - the position above is read into the estimate whatever its sign: it is never negative;
// - the estimate's floor and its lowering by one (not below 0) are selected.
// The estimate reads the folded remainder as one double, exactly the sum the plain loop forms.
// The remainder itself is kept as a whole number: V is computed modulo 2^64, where the products
// may wrap but V, far below 2^64, comes out exact; that replaces the split of q d into its high
// and low limbs and their borrows, whose long chain of roundings each position would wait on.
void ShortQuotientWhole(double* q, const WorkLong& A, int32_t P, double d) {
    const uint64_t divisor = WholeToInteger(d);
    const int32_t last = P + 4;
    uint64_t remainder = 0;  // the folded W[i - 1] * 10^10 + W[i], below 3 * 10^10
    for (int32_t i = 0; i <= last; ++i) {
        double num = IntegerToWhole(remainder);
        if (i < last) num += A.limbs[i] * kInverseBase;
        const double v = num / d * LIMB_BASE;
        const uint64_t estimate = LoweredFloor(v);
        q[i] = IntegerToWhole(estimate);
        // W[i + 1], untouched so far; the last position has no position after it, and its
        // remainder is not needed.
        if (i < last) {
            const uint64_t next = WholeToInteger(A.limbs[i]);
            remainder = remainder * kWholeLimbBase + next - estimate * divisor;
        }
    }
}

// How the gathering of a short division ended: with the final record (a zero dividend, a zero
// divisor, an exponent beyond the int32 range), or with quotient limbs still to be normalised.
enum class Gathered { Final, Quotient };

// DivSmall up to its normalisation: the quotient limbs of the plain loop or, where it gives the
// same bits, the whole-limb one, gathered into r with their exponent and error. `whole` tells
// which loop ran.
Gathered GatherShortQuotient(WorkLong& r, const WorkLong& a, double d, bool wholeKernel,
                             bool& whole) {
    const int32_t P = a.precision;
    WorkLong A;
    AlignLeadingLimb(A, a);
    InitLong(r, P, A.sign, 0, 0.0);
    if (d < 0) {
        r.sign = -A.sign;
        d = -d;
    }
    whole = false;

    // Zero dividend first: zero over zero is zero, without a message (the callers never divide
    // by zero).
    if (A.sign == 0) {
        Normalize(r);
        r.error = A.error;
        return Gathered::Final;
    }

    if (d == 0) {
        r.error = -1;
        Report(Message::DivisionByZero);
        return Gathered::Final;
    }

    // Scale the divisor to ten digits: d * 10^(9 - s) lies in [10^9, 10^10].
    const int32_t s = TruncToInt32(std::floor(std::log(d) / std::log(10.0)));
    d *= std::pow(10.0, 9 - s);
    double e = static_cast<double>(A.exponent) + 9.0 - static_cast<double>(s);
    // An exponent past the int32 range cannot be represented, let alone normalised; it lies far
    // beyond the exponent limit, so it is reported as that limit.
    if (e > static_cast<double>(INT32_MAX) - 20.0) {
        Report(Message::ExponentLimit);
        r.error = -1;
        return Gathered::Final;
    }

    double q[kPositions];  // positions 0 .. P + 4, each written by the loop
    whole = wholeKernel && WholeQuotientApplies(A, d);
    if (whole) {
        ShortQuotientWhole(q, A, P, d);
    } else {
        ShortQuotientPlain(q, A, P, d);
    }

    GatherQuotient(r, q, P, e);
    r.exponent = TruncToInt32(e);
    r.error = A.error;
    return Gathered::Quotient;
}

WorkLong& ShortDivision(WorkLong& result, const WorkLong& a, double d, bool wholeKernel) {
    WorkLong r;
    bool whole;
    if (GatherShortQuotient(r, a, d, wholeKernel, whole) == Gathered::Quotient) Normalize(r);
    CopyLive(result, r);
    return result;
}

// Whether two records agree in sign, exponent, error and their first `limbs` limbs.
bool SameLeadingLimbs(const WorkLong& x, const WorkLong& y, int32_t limbs) {
    if (x.sign != y.sign || x.exponent != y.exponent || x.error != y.error) return false;
    for (int32_t k = 0; k < limbs; ++k) {
        if (x.limbs[k] != y.limbs[k]) return false;
    }
    return true;
}

// The leading limbs of a short division from the leading limbs of its dividend, when they are
// provably those of the whole division (see DivSmallLeading). Returns false, with result not
// written, where it cannot tell.
bool LeadingShortQuotient(WorkLong& result, const WorkLong& a, double d, int32_t limbs) {
    // The dividend's first limbs + 4 limbs as a record of precision `limbs`. Its alignment is that
    // of a, except in its last limb, which the next limb of a would have filled.
    WorkLong head;
    head.sign = a.sign;
    head.exponent = a.exponent;
    head.precision = limbs;
    head.error = a.error;
    for (int32_t k = 0; k <= LastLimb(head); ++k) head.limbs[k] = a.limbs[k];

    WorkLong low;
    bool whole;
    if (GatherShortQuotient(low, head, d, true, whole) != Gathered::Quotient || !whole)
        return false;
    // Far from both ends of the exponent range, so that no normalisation below prints a message.
    if (low.exponent < -2000000000 || low.exponent > 1900000000) return false;

    // Quotient positions 0 .. limbs + 2 read the aligned limbs 0 .. limbs + 2 only, which are a's;
    // after the gathering (which may move them up one place) limbs 0 .. limbs + 1 are the whole
    // division's. Every later limb of the whole division's gathered quotient lies in
    // 0 .. 3 * 10^10 + 2, so all of them together come to less than 4 units of limb limbs + 1:
    // the whole division's value lies between `low`, its first limbs + 2 limbs alone, and `high`,
    // those with 4 units more.
    const int32_t exact = limbs + 1;
    for (int32_t k = exact + 1; k <= LastLimb(low); ++k) low.limbs[k] = 0.0;
    WorkLong high = low;
    high.limbs[exact] += 4.0;
    // Normalisation reads its digit shift off limb 0, the same in all three, and then keeps the
    // value's leading digits, cut off (never rounded) after its last limb. So the leading limbs
    // and the exponent it gives grow with the value: where `low` and `high` agree on them, the
    // whole division, which lies between the two, gives them too.
    Normalize(low);
    Normalize(high);
    if (!SameLeadingLimbs(low, high, limbs)) return false;

    result.sign = low.sign;
    result.exponent = low.exponent;
    result.precision = a.precision;
    result.error = low.error;
    for (int32_t k = 0; k < limbs; ++k) result.limbs[k] = low.limbs[k];
    for (int32_t k = limbs; k <= LastLimb(result); ++k) result.limbs[k] = 0.0;
    return true;
}

}  // namespace

// Quotient at a's precision for a non-zero d of at most ten significant digits (scaled to a whole
// number in [10^9, 10^10]); rounded or cut off as in Div2Long. The result's error is the aligned
// dividend's error (plus a normalisation error), also for a zero dividend, which gives zero at
// once; division of a non-zero dividend by zero gives error -1. Whole limbs and a whole scaled d
// (every canonical record and every divisor the library passes) take the branch-free loop, any
// other record the plain one; both give the same bits.
WorkLong& DivSmall(WorkLong& result, const WorkLong& a, double d) {
    OSTREL2_COUNTED_CALL(SmallDivision, a.precision);
    return ShortDivision(result, a, d, true);
}

WorkLong& DivSmallPlain(WorkLong& result, const WorkLong& a, double d) {
    return ShortDivision(result, a, d, false);
}

// Taken where the leading limbs are few enough to pay for the two short normalisations: at most
// the precision less this many.
constexpr int32_t kLeadingSaving = 8;

WorkLong& DivSmallLeading(WorkLong& result, const WorkLong& a, double d, int32_t limbs) {
    if (limbs < 1) limbs = 1;
    bool leading = a.sign != 0 && a.limbs[0] >= 1.0 && limbs <= a.precision - kLeadingSaving;
    // Every limb whole (the leading one in 1 .. 10^10 - 1), so that the whole division takes the
    // whole-limb loop and its quotient limbs keep the bounds the shortcut relies on.
    for (int32_t k = 0; leading && k <= LastLimb(a); ++k) leading = IsWholeLimb(a.limbs[k]);
    if (leading && LeadingShortQuotient(result, a, d, limbs)) return result;
    return DivSmall(result, a, d);
}

}  // namespace ostrel2
