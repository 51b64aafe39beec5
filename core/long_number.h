// long_number.h -- the working number record, its constants and the helpers every worker shares.
//
// A number is a sign, a decimal exponent, a precision p in limbs and an error flag, followed by
// limbs of ten decimal digits each (base 10^10), most significant first, held in doubles. The live
// limbs of a record of precision p are slots 0 .. p + 3.
//
// The record that crosses the library boundary (LongNumber in include/ostrel2.h) has 306 limb
// slots, so a record of the largest precision, 303, would need slot 306 one past its end. Inside
// the library every record is therefore a WorkLong: the same fields followed by 307 slots. The
// entry points copy the 306 boundary slots in, take slot 306 as 0, and drop it again on the way
// out; all arithmetic runs on the full p + 4 live limbs.
#pragma once

#include <cmath>
#include <cstdint>

namespace ostrel2 {

constexpr int32_t MAX_PRECISION = 303;          // largest precision accepted at the boundary
constexpr int32_t GUARD_LIMBS = 3;              // live limbs beyond the precision
constexpr double LIMB_BASE = 1e10;              // radix of a limb
constexpr int32_t ZERO_EXPONENT = -2100000000;  // exponent of the value zero
constexpr int32_t MAX_EXPONENT = 2000000000;    // largest exponent a result may carry

constexpr int BOUNDARY_LIMBS = MAX_PRECISION + GUARD_LIMBS;  // 306 slots in the boundary record
constexpr int WORK_LIMBS = BOUNDARY_LIMBS + 1;               // 307: room for slot 306

struct WorkLong {
    int32_t sign;      // +1, -1, or 0 for the value zero
    int32_t exponent;  // decimal exponent of the units digit of limbs[0]
    int32_t precision; // precision in limbs, 1 .. MAX_PRECISION
    int32_t error;     // 0 when valid, negative after a failure
    double limbs[WORK_LIMBS];
};

// Index of the last live limb of a record.
inline int32_t LastLimb(const WorkLong& x) { return x.precision + GUARD_LIMBS; }

// The limb slots of a boundary record of this precision that hold live limbs: precision + 4,
// within 0 .. the boundary's 306 for any precision a caller may write.
inline int32_t LiveSlots(int32_t precision) {
    const int64_t wanted = static_cast<int64_t>(precision) + GUARD_LIMBS + 1;
    return wanted < 0 ? 0 : (wanted > BOUNDARY_LIMBS ? BOUNDARY_LIMBS : static_cast<int32_t>(wanted));
}

// Fills sign, exponent (ZERO_EXPONENT when sign is 0), precision, error 0, limbs[0] = firstLimb
// and limbs 1 .. precision + 3 with 0. Slots above the live limbs keep what they held.
void InitLong(WorkLong& record, int32_t precision, int32_t sign, int32_t exponent,
              double firstLimb);

// The larger of the two records' precisions.
int32_t MaxPrecision(const WorkLong& a, const WorkLong& b);

// Brings a record into canonical form: limbs whole and below 10^10, limbs[0] non-zero, the
// exponent a multiple of 10, or the canonical zero. Status 0 on success, -1 for a negative limb
// ahead of the leading limb (record left part-way), -2 for an exponent above MAX_EXPONENT.
// Every failure prints its diagnostic and sets error to -1.
int32_t Normalize(WorkLong& record);

// Rounding of plain doubles to whole numbers: down, toward zero, away from zero, and to the
// nearest with ties to the even neighbour. The limb arithmetic makes these by the million, so
// they are done in place by double additions instead of calls of the math library: below 2^52 in
// magnitude, (m + 2^52) - 2^52 is m rounded to the nearest whole number, ties to even (the sum
// lies where doubles step by one). Each gives, for every double (signed zeros, values too large
// to hold a fraction, infinities and NaN included), the bits of the math library's rounding it
// stands for: FloorDouble those of std::floor, TruncDouble of std::trunc, AwayDouble of the
// rounding up of the magnitude with the sign kept, RoundHalfEven of the nearest whole number with
// ties to even (std::nearbyint in the default rounding mode).
namespace rounding {
constexpr double kTwo52 = 4503599627370496.0;
// A magnitude below 2^52 rounded to the nearest whole number, ties to even.
// (IEEE arithmetic, as the library is built: the sum is not folded away.)
inline double Nearest(double m) { return (m + kTwo52) - kTwo52; }
}  // namespace rounding

inline double FloorDouble(double x) {
    const double m = std::fabs(x);
    if (!(m < rounding::kTwo52)) return x;  // whole already, or no number
    const double r = std::copysign(rounding::Nearest(m), x);
    return r > x ? r - 1.0 : r;
}

inline double TruncDouble(double x) {
    const double m = std::fabs(x);
    if (!(m < rounding::kTwo52)) return x;
    const double r = rounding::Nearest(m);
    return std::copysign(r > m ? r - 1.0 : r, x);
}

inline double AwayDouble(double x) {
    const double m = std::fabs(x);
    if (!(m < rounding::kTwo52)) return x;
    const double r = rounding::Nearest(m);
    return std::copysign(r < m ? r + 1.0 : r, x);
}

inline double RoundHalfEven(double x) {
    const double m = std::fabs(x);
    if (!(m < rounding::kTwo52)) return x;
    return std::copysign(rounding::Nearest(m), x);
}

// A limb as its upper and lower five digits, x = upper * 10^5 + lower. The quotient x / 10^5 is
// correctly rounded and a non-whole one lies at least 10^-5 from the next whole number, far more
// than its rounding error, so its floor is exact for any whole x below 2^53 / 10^5. Plain double
// division keeps the split the same on every platform, with or without an x87 unit.
struct LimbHalves {
    double upper;
    double lower;
};

inline double UpperFiveDigits(double x) { return FloorDouble(x / 1e5); }

inline LimbHalves SplitLimb(double x) {
    const double upper = UpperFiveDigits(x);
    return {upper, x - upper * 1e5};
}

// Exact product of two limbs given as halves, as high * 10^10 + low, 0 <= high < 10^10,
// 0 <= low <= 10^10. The 20-digit product is built from 5-digit halves, so no partial value
// exceeds about 2 * 10^10 and every step is exact in double precision. A low limb of exactly
// 10^10 is left for the callers' carries to absorb. Inline, so that a loop that meets one limb
// in many products splits it once.
inline void SplitProductOfHalves(LimbHalves x, LimbHalves y, double& high, double& low) {
    double hi = x.upper * y.upper;
    double lo = x.lower * y.lower;
    const double mid = x.upper * y.lower + y.upper * x.lower;
    const double m1 = UpperFiveDigits(mid);
    const double m0 = (mid - m1 * 1e5) * 1e5;

    hi = RoundHalfEven(hi + m1);
    lo = RoundHalfEven(lo + m0);
    if (lo > LIMB_BASE) {
        hi += 1.0;
        lo -= LIMB_BASE;
    }
    high = hi;
    low = lo;
}

// Exact product of two limbs as high * 10^10 + low, 0 <= high < 10^10, 0 <= low <= 10^10.
inline void SplitProduct(double x, double y, double& high, double& low) {
    SplitProductOfHalves(SplitLimb(x), SplitLimb(y), high, low);
}

// Branch-free forms for the limb kernels. Whether a floor of random digits rounds down, or a
// difference of them borrows, goes either way at random, so a branch on it mispredicts about half
// the time; these select by arithmetic instead and give the same bits as the forms above.

// 1.0 when c holds, 0.0 otherwise.
inline double Indicator(bool c) { return static_cast<double>(c); }

// FloorDouble with the step down selected rather than branched: the same bits for every double
// (r - 0.0 is r, signed zeros included). The branch left is the rare one for magnitudes of 2^52
// and beyond.
inline double FloorDoubleSelect(double x) {
    const double m = std::fabs(x);
    if (!(m < rounding::kTwo52)) return x;
    const double r = std::copysign(rounding::Nearest(m), x);
    return r - Indicator(r > x);
}

// SplitLimb for a whole x from 0 to 9 * 10^10 (10^16 / 10^5 fits with room), without the
// division: x * 10^-5 lies within 10^-9 of x / 10^5, whose fraction is a whole number of 10^-5,
// so its nearest whole number is the floor or one above it, and the remainder's sign tells which.
// The same halves as SplitLimb, whose floor is exact on this range.
inline LimbHalves SplitWholeLimb(double x) {
    const double upper = rounding::Nearest(x * 1e-5);
    const double lower = x - upper * 1e5;
    const double under = Indicator(lower < 0.0);
    return {upper - under, lower + under * 1e5};
}

// SplitProductOfHalves for the halves of whole numbers x below 3 * 10^10 and y at most 10^10: every
// partial value is then a whole number below 2^52 (mid below 4 * 10^10), so both roundings to a
// whole number there are exact and drop out, the split of mid needs no division, and the carry of
// a low part above 10^10 is selected. The same high and low parts, bit for bit.
inline void SplitWholeProduct(LimbHalves x, LimbHalves y, double& high, double& low) {
    const double mid = x.upper * y.lower + y.upper * x.lower;
    const LimbHalves m = SplitWholeLimb(mid);
    const double hi = x.upper * y.upper + m.upper;
    const double lo = x.lower * y.lower + m.lower * 1e5;
    const double over = Indicator(lo > LIMB_BASE);
    high = hi + over;
    low = lo - over * LIMB_BASE;
}

// Whether x is a whole number from +0 to 10^10 - 1: a canonical limb (a negative zero is not one).
inline bool IsWholeLimb(double x) {
    return x >= 0.0 && x < LIMB_BASE && x == rounding::Nearest(x) && !std::signbit(x);
}

// The header and live limbs of from into to; the slots above to's last live limb keep what they
// held (no worker reads a slot beyond its record's last live limb).
inline void CopyLive(WorkLong& to, const WorkLong& from) {
    to.sign = from.sign;
    to.exponent = from.exponent;
    to.precision = from.precision;
    to.error = from.error;
    const int32_t count = from.precision + GUARD_LIMBS + 1;
    for (int32_t k = 0; k < count; ++k) to.limbs[k] = from.limbs[k];
}

// The double estimate of a record: (limbs[0] + limbs[1] * 10^-10) * 10^exponent. Workers use it
// for branch decisions and starting values only.
double EstimateDouble(const WorkLong& x);

// Stop rule of the Newton iterations and series: the loop ends once the running value's
// exponent exceeds the last correction's (or term's) exponent by more than (precision + 1.9) * 10
// decimal digits. A zero correction carries ZERO_EXPONENT and so always ends it.
bool IterationDone(int32_t precision, int32_t valueExponent, int32_t correctionExponent);

// Most Newton steps an iteration may take. Each step doubles the correct digits, and every start
// holds at least ten of them, so an iteration on a valid number settles within ten steps at the
// largest precision. One still unsettled after this many steps works on a record that is no valid
// number (a limb the normalisation leaves negative, read one way by the sums and another by the
// products); it ends with a failure instead of looping for ever.
constexpr int32_t NEWTON_STEP_LIMIT = 64;

// Truncation of a double toward zero to a 32-bit integer, saturating at the int32 limits (NaN
// gives 0), so that no out-of-range value is ever converted.
int32_t TruncToInt32(double x);

// The sum of error values, held within the 32-bit range. Errors add up along long chains of
// operations (Euclid's steps, Newton's iterations, series), so a sum that would leave the range
// stays at its end instead of wrapping round to a value that could read as valid.
int32_t SumErrors(int32_t a, int32_t b, int32_t c = 0);

// The exponents a record may carry into the arithmetic. The entry points refuse records outside
// them and Normalize holds its results inside them (reporting it), so a worker may move an
// exponent by a few thousand digits in 32 bits without leaving the range.
constexpr int32_t EXPONENT_CEILING = 2147000000;
constexpr int32_t EXPONENT_FLOOR = -2147000000;

}  // namespace ostrel2
