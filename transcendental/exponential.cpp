// exponential.cpp -- e^x as the series of e raised to x by the real power; ln x from e^m and the
// series of ln(1 + u); log10 x as ln x / ln 10.
#include "transcendental/exponential.h"

#include <cmath>
#include <cstdint>

#include "arith/addition.h"
#include "arith/divide_long.h"
#include "arith/divide_reciprocal.h"
#include "arith/multiply_schoolbook.h"
#include "arith/transform/multiply_transform.h"
#include "core/diagnostics.h"
#include "core/worker_helpers.h"
#include "powers/real_power.h"
#include "transcendental/constants.h"

namespace ostrel2 {

namespace {

constexpr int32_t kMaxETerms = 10000;        // last k of the series e = sum 1/k!
// Last k of the series of ln(1 + u). With |u| below 0.476 every term gains more than 0.32 digits
// on the last, so the sum settles within 10 (P + 2) / 0.32 + 2 terms (about 9,500 at the largest
// precision); twice that bound leaves room and still ends, with the series' failure, a sum whose u
// is no valid remainder (a record whose limbs the sums and products read differently), where the
// reference bound of 100,000,000 terms would run for minutes.
int32_t MaxLogTerms(int32_t precision) { return 64 * (precision + 4); }
constexpr double kFoldShift = 0.14384;       // centres u = e^m / X - 1 in about (-0.475, 0.428)
constexpr int32_t kMaxFoldedExponent = 930000000;

// |x| up to about 1.01 x 10^12: exponent below 10, or 10 with a leading limb of at most 100.
bool WithinExpRange(const WorkLong& x) {
    return x.exponent < 10 || (x.exponent == 10 && x.limbs[0] <= 100.0);
}

}  // namespace

// e = 2 + sum_{k >= 2} 1/k! at the given precision: each term the last one divided by k (a short
// division, truncated), added until the term lies beyond the stop rule. About 1,160 terms at
// precision 303. Unfinished after kMaxETerms terms, it reports and comes back with error -1.
WorkLong& ELong(WorkLong& result, int32_t precision) {
    WorkLong e;
    InitLong(e, precision, 1, 0, 2.0);
    WorkLong t;
    InitLong(t, precision, 1, 0, 1.0);
    for (int32_t k = 2; k <= kMaxETerms; ++k) {
        DivSmall(t, t, k);
        AddLong(e, e, t);
        if (IterationDone(e.precision, e.exponent, t.exponent)) return CopyOut(result, e);
    }
    Report(Message::ENotConverged);
    e.error = -1;
    return CopyOut(result, e);
}

// e^x at x.precision (at least 5 once a power is taken), x normalised in place. A flagged x gives
// zero with error -1 and |x| beyond about 1.01 x 10^12 the range message; e^0 is 1 and e^1 is the
// series' e itself. Otherwise e, truncated term by term at x.precision, is raised to x by
// PowerXLong, which reports powers whose decimal exponent it estimates beyond 2 x 10^9. e comes
// from the holder, and the first 10^10-th root the power takes of it from the kept constants:
// both are summed or iterated once per process and precision.
WorkLong& ExpLongWith(WorkLong& result, WorkLong& x, ConstantHolder& e) {
    WorkLong r;
    InitLong(r, x.precision, 0, 0, 0.0);
    if (Failed(x)) return FailQuietly(result, r);

    if (Normalize(x) != 0) return FailQuietly(result, r);  // reported by the normalisation
    if (!WithinExpRange(x)) return FailWith(result, r, Message::ExpRange);
    if (x.sign == 0) {
        InitLong(r, x.precision, 1, 0, 1.0);
        return CopyOut(result, r);
    }

    WorkLong& base = e.At(x.precision);
    WorkLong one;
    InitLong(one, x.precision, 1, 0, 1.0);
    WorkLong d;
    SubtractLong(d, x, one);
    if (d.sign == 0) return CopyOut(result, base);
    PowerXLongWith(r, base, x, KeptRootOfE);
    return CopyOut(result, r);
}

WorkLong& ExpLong(WorkLong& result, WorkLong& x) {
    ConstantHolder e(Constant::E);
    return ExpLongWith(result, x, e);
}

// ln(m 10^shift) = ln m + shift ln 10 for a canonical m of exponent 0 or 10 (1 <= m < 10^20) and
// a shift that is a multiple of 10 within the record's exponents, at m's precision (at least 5):
// ln m by LogeLongWith, ln 10 likewise, shift ln 10 by a short product (|shift| < 10^10, one
// truncation) and the sum truncated. On every path that comes here |shift ln 10| is above
// 2 x 10^9 and ln m between 0 and 47, so the sum loses nothing to cancellation, whatever the
// shift's sign. Both logarithms take e from the holder.
WorkLong& LogeOfScaledLong(WorkLong& result, WorkLong& m, int64_t shift, ConstantHolder& e) {
    WorkLong sum;
    LogeLongWith(sum, m, e);
    WorkLong ln10;
    InitLong(ln10, m.precision, 1, 0, 10.0);
    LogeLongWith(ln10, ln10, e);
    MultiplSmall(ln10, ln10, static_cast<double>(shift));
    return AddLong(result, sum, ln10);
}

namespace {

// ln x from x's mantissa and exponent, for an x whose folded argument X lies beyond the fold's
// exponent limit: ln x = ln(x / 10^e) + e ln 10, e = x's exponent (x canonical).
WorkLong& LogeOfFarArgument(WorkLong& result, const WorkLong& x, ConstantHolder& e) {
    WorkLong m = x;
    m.exponent = 0;
    return LogeOfScaledLong(result, m, x.exponent, e);
}

}  // namespace

// ln x at x.precision (at least 5), x normalised in place. A flagged x gives zero with error -1;
// x <= 0 its message; ln 1 is 0. x < 1 is folded to X = 1/x (the sign of the result then -1).
// ln X = m - ln(1 + u) with the whole m nearest ln X - 0.14384 (a double estimate), e^m by
// ExpLong and u = e^m / X - 1; the series u - u^2/2 + u^3/3 - ... (one transform product and one
// short division per term, each truncated) runs to the stop rule. Unfinished after
// 100,000,000 terms it reports and gives the partial sum with error -1. e^m takes e from the
// holder. An X whose exponent passes 930,000,000 (where m, ln 10 times that exponent, would near
// the 32-bit range and e^m the exponent range) is not folded: ln x comes from x's own mantissa
// and exponent (LogeOfScaledLong), for every x from 10^-2,147,000,000 to 10^2,147,000,010.
WorkLong& LogeLongWith(WorkLong& result, WorkLong& x, ConstantHolder& e) {
    WorkLong sum;
    InitLong(sum, x.precision, 0, 0, 0.0);
    WorkLong one;
    InitLong(one, x.precision, 1, 0, 1.0);
    if (Failed(x)) return FailQuietly(result, sum);

    if (Normalize(x) != 0) return FailQuietly(result, sum);  // reported by the normalisation
    if (x.sign <= 0) return FailWith(result, sum, Message::LogNotPositive);

    int32_t sign = 1;
    WorkLong folded = x;
    WorkLong u;
    SubtractLong(u, folded, one);
    // A record whose leading limb is positive passes the normalisation above with limbs it has
    // not looked at (a negative one below a tiny leading limb); the subtraction meets them,
    // reports them and fails, and the logarithm stops there rather than read them as a number.
    if (Failed(u)) return FailQuietly(result, sum);
    if (u.sign == 0) return CopyOut(result, sum);
    if (u.sign < 0) {
        sign = -1;
        // 1/x has an exponent of at least -10 - x's exponent: beyond the fold's limit here.
        if (x.exponent < -kMaxFoldedExponent - 10) return LogeOfFarArgument(result, x, e);
        DivLong(folded, one, folded);
        // 1/x beyond the largest exponent: the division reported it and left a failed zero.
        if (Failed(folded)) return FailQuietly(result, sum);
    }
    if (Normalize(folded) != 0) return FailQuietly(result, sum);  // reported by the normalisation
    if (folded.exponent > kMaxFoldedExponent) return LogeOfFarArgument(result, x, e);

    // m >= 0 since X > 1; below ln 10 x 930,000,000 + 1, inside 32 bits.
    const double lnX =
        std::log(10.0) * folded.exponent + std::log(folded.limbs[0] + folded.limbs[1] * 1e-10);
    const int32_t m = static_cast<int32_t>(RoundHalfEven(lnX - kFoldShift));
    InitLong(sum, x.precision, 1, 0, m);  // m = 0 leaves a signed zero, which ExpLong normalises

    ExpLongWith(u, sum, e);   // e^m
    DivLong(u, u, folded);    // e^m / X
    SubtractLong(u, u, one);  // u
    WorkLong power = u;
    SubtractLong(sum, sum, power);

    WorkLong& term = folded;  // X is no longer needed
    // u enters every term's product: its spectra are made once and kept (the same bits as fresh
    // transforms).
    KeptSpectra keptU;
    bool finished = false;
    for (int32_t k = 2, last = MaxLogTerms(sum.precision); k <= last; ++k) {
        MultiplLongKept(power, power, u, nullptr, &keptU);  // u^k
        // The sum reads the term down to its own last limb only: that lies at least as many
        // limbs into the term as the sum's leading limb lies above u^k's (the term u^k / k is no
        // larger than u^k). The term's limbs beyond it need not be divided out.
        const int32_t below = sum.exponent / 10 - power.exponent / 10;
        const int32_t reach = LastLimb(power) + 1 - (below > 0 ? below : 0);
        DivSmallLeading(term, power, k, reach);
        if (k % 2 == 0) term.sign = -term.sign;
        SubtractLong(sum, sum, term);
        if (IterationDone(sum.precision, sum.exponent, term.exponent)) {
            finished = true;
            break;
        }
    }
    if (!finished) {
        Report(Message::LogNotConverged);
        sum.error = -1;
    }
    sum.sign = sign;
    return CopyOut(result, sum);
}

WorkLong& LogeLong(WorkLong& result, WorkLong& x) {
    ConstantHolder e(Constant::E);
    return LogeLongWith(result, x, e);
}

// ln 10 at the given precision (at least 5), as LogeLong of the record 10.
WorkLong& Ln10Long(WorkLong& result, int32_t precision) {
    WorkLong ten;
    InitLong(ten, precision, 1, 0, 10.0);
    return LogeLong(result, ten);
}

// log10 x = ln x / ln 10 at x.precision (at least 5), ln 10 from the kept constants (Ln10Long at
// that precision). No checks of its own: LogeLong reports an invalid x, and its zero with error -1
// then meets the division, which reports an overflow of the exponent difference.
WorkLong& Log10Long(WorkLong& result, WorkLong& x) {
    const int32_t precision = x.precision;
    WorkLong a;
    LogeLong(a, x);
    WorkLong ln10;
    ConstantLong(ln10, Constant::Ln10, precision);
    return DivLong(result, a, ln10);
}

}  // namespace ostrel2
