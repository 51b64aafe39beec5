// multiply_schoolbook.cpp -- limb-by-limb products: the schoolbook product of two records and the
// product of a record and a small whole number, every limb product split exactly by SplitProduct.
#include "arith/multiply_schoolbook.h"

#include <cmath>
#include <cstdint>

#include "core/diagnostics.h"

namespace ostrel2 {

namespace {

// Adds a part into limb k and carries once into limb k - 1 when the limb passes 10^10. The
// carried-into limb is not looked at again; Normalize finishes the carries. Limb 0 has nowhere to
// carry to and is left for Normalize as well.
void AddWithCarry(WorkLong& r, int32_t k, double part) {
    r.limbs[k] += part;
    if (r.limbs[k] > LIMB_BASE && k > 0) {
        r.limbs[k - 1] += 1.0;
        r.limbs[k] -= LIMB_BASE;
    }
}

}  // namespace

// Product at MaxPrecision(a, b), cut off after limb p + 3 without rounding: partial products
// beyond it are never formed and a low part landing on p + 4 is dropped. a and b are normalised
// in place; the result's error is a.error + b.error plus its own normalisation error. A zero
// operand gives the zero of precision p, with the operands' errors, and no message.
WorkLong& Multipl2Long(WorkLong& result, WorkLong& a, WorkLong& b) {
    const int32_t p = MaxPrecision(a, b);
    const int32_t last = p + GUARD_LIMBS;

    // The sign is taken from the normalised operands, so that a record with a sign but only zero
    // limbs multiplies as the zero it is.
    Normalize(a);
    Normalize(b);
    WorkLong r;
    InitLong(r, p, a.sign * b.sign, 0, 0.0);

    // A zero operand, also one that carries an earlier failure, gives zero; the failure's error
    // travels on and needs no second message.
    if (r.sign == 0) {
        r.error = SumErrors(a.error, b.error);
        result = r;
        return result;
    }

    const double t = static_cast<double>(a.exponent) + static_cast<double>(b.exponent) + 10.0;
    if (std::fabs(t) > MAX_EXPONENT) {
        Report(Message::Overflow);
        r.error = -1;
        result = r;
        return result;
    }
    r.exponent = static_cast<int32_t>(t);

    const int32_t aLast = LastLimb(a);
    const int32_t bLast = LastLimb(b);
    for (int32_t i = 0; i <= aLast; ++i) {
        if (a.limbs[i] == 0.0) continue;
        for (int32_t j = 0; j <= bLast; ++j) {
            if (b.limbs[j] == 0.0) continue;
            const int32_t k = i + j;
            if (k > last) break;
            double high = 0.0;
            double low = 0.0;
            SplitProduct(a.limbs[i], b.limbs[j], high, low);
            AddWithCarry(r, k, high);
            if (k == last) break;
            AddWithCarry(r, k + 1, low);
        }
    }

    Normalize(r);
    r.error = SumErrors(a.error, r.error, b.error);
    result = r;
    return result;
}

// Product at a's precision for a whole |m| < 10^10; the low part of the last limb's product is
// dropped. a is only read; the result's error is a.error plus its own normalisation error, also
// when a zero operand or multiplier gives zero at once.
WorkLong& MultiplSmall(WorkLong& result, const WorkLong& a, double m) {
    WorkLong r;
    InitLong(r, a.precision, a.sign, 0, 0.0);
    if (m < 0) {
        r.sign = -a.sign;
        m = -m;
    } else if (m == 0) {
        InitLong(r, a.precision, 0, 0, 0.0);
    }

    if (r.sign == 0) {
        r.error = a.error;
        result = r;
        return result;
    }

    // An exponent this close to the int32 limit leaves no room for the product's extra limb and
    // normalisation's digit shifts; it is far beyond the exponent limit anyway.
    if (a.exponent > INT32_MAX - 20) {
        Report(Message::ExponentLimit);
        r.error = -1;
        result = r;
        return result;
    }
    r.exponent = a.exponent + 10;

    const int32_t aLast = LastLimb(a);
    for (int32_t i = 0; i <= aLast; ++i) {
        if (a.limbs[i] == 0.0) continue;
        double high = 0.0;
        double low = 0.0;
        SplitProduct(a.limbs[i], m, high, low);
        AddWithCarry(r, i, high);
        if (i == aLast) break;
        AddWithCarry(r, i + 1, low);
    }

    Normalize(r);
    r.error = SumErrors(r.error, a.error);
    result = r;
    return result;
}

}  // namespace ostrel2
