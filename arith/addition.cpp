// addition.cpp -- exact addition and subtraction of records, limb by limb after aligning the
// operands by their exponents; carries and the final form are left to Normalize.
#include "arith/addition.h"

#include <algorithm>
#include <cmath>

namespace ostrel2 {

// Sum at MaxPrecision(a, b), cut at the shorter-reaching operand's last live position counted
// from the leading operand's first limb (nothing is rounded). a and b are normalised in place.
// A zero operand makes the result a whole copy of the other, two zeros the zero of precision p;
// either way, as on the general path, the result's error is its own plus a.error + b.error, so
// a zero that stands for a failure passes that failure on.
WorkLong& AddLong(WorkLong& result, WorkLong& a, WorkLong& b) {
    const int32_t p = MaxPrecision(a, b);
    WorkLong w;
    InitLong(w, p, 0, 0, 0.0);

    Normalize(a);
    Normalize(b);

    if (a.sign == 0 || b.sign == 0) {
        if (a.sign == 0 && b.sign != 0) {
            w = b;
        } else if (b.sign == 0 && a.sign != 0) {
            w = a;
        }
        w.error = SumErrors(a.error, b.error);
        result = w;
        return result;
    }

    // Exponent difference in limbs; exact for exponents on the limb grid.
    const int32_t d = a.exponent / 10 - b.exponent / 10;
    const WorkLong& lead = d >= 0 ? a : b;
    const WorkLong& other = d >= 0 ? b : a;
    const int64_t shift = d >= 0 ? static_cast<int64_t>(d) : -static_cast<int64_t>(d);
    const int32_t leadLast = LastLimb(lead);
    const int32_t otherLast = LastLimb(other);
    const int32_t last = p + GUARD_LIMBS;

    for (int32_t k = 0; k <= leadLast; ++k) w.limbs[k] = lead.limbs[k];
    w.sign = lead.sign;
    w.exponent = lead.exponent;

    const bool sameSigns = (a.sign > 0) == (b.sign > 0);
    if (sameSigns) {
        for (int64_t k = shift; k <= otherLast; ++k) w.limbs[k] += other.limbs[k - shift];
    } else {
        for (int64_t k = shift; k <= otherLast; ++k) w.limbs[k] -= other.limbs[k - shift];

        // The first non-zero limb decides the sign of the difference: when it is negative the
        // whole difference is negated from there on.
        for (int32_t k = 0; k <= last; ++k) {
            if (w.limbs[k] > 0) break;
            if (w.limbs[k] < 0) {
                for (int32_t j = k; j <= last; ++j) w.limbs[j] = -w.limbs[j];
                w.sign = -w.sign;
                break;
            }
        }

        // Borrows, each followed by a look at the limb that lent. With the leading non-zero limb
        // positive no borrow reaches past it; limb 0 has nothing to borrow from, so the scan
        // never steps below limb 1 (a negative limb 0, possible only with operands that
        // normalisation rejected, is reported by Normalize below).
        int32_t k = 1;
        while (k <= last) {
            if (w.limbs[k] < 0) {
                // As many units of 10^10 as make the limb non-negative: exactly one for any
                // difference of limbs below 10^10, more only for operands far outside that range
                // (which would otherwise take one pass per unit).
                const double units = std::ceil(-w.limbs[k] / LIMB_BASE);
                w.limbs[k] = std::max(0.0, w.limbs[k] + units * LIMB_BASE);
                w.limbs[k - 1] -= units;
                if (k > 1) --k;
            } else {
                ++k;
            }
        }
    }

    Normalize(w);
    w.error = SumErrors(w.error, a.error, b.error);
    result = w;
    return result;
}

// Difference as a + (-b) on a private copy of b, so the caller's b is left untouched.
WorkLong& SubtractLong(WorkLong& result, WorkLong& a, const WorkLong& b) {
    WorkLong n = b;
    n.sign = -n.sign;
    AddLong(n, a, n);
    result = n;
    return result;
}

}  // namespace ostrel2
