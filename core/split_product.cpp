// split_product.cpp -- the exact product of two limbs, as a high and a low limb, in doubles only.
#include <cmath>

#include "core/long_number.h"

namespace ostrel2 {

namespace {

// The upper five digits of a whole number below 2^53 / 10^5: floor(x / 10^5). The quotient is
// correctly rounded and a non-whole one lies at least 10^-5 from the next whole number, far more
// than its rounding error, so the floor is exact: a multiple of 10^5 splits into its exact halves.
// Plain double division keeps the split the same on every platform, with or without an x87 unit.
double UpperHalf(double x) { return FloorDouble(x / 1e5); }

}  // namespace

// The 20-digit product is built from 5-digit halves, so no partial value exceeds about 2 * 10^10
// and every step is exact in double precision. A low limb of exactly 10^10 is left for the
// callers' carries to absorb.
void SplitProduct(double x, double y, double& high, double& low) {
    const double x1 = UpperHalf(x);
    const double x0 = x - x1 * 1e5;
    const double y1 = UpperHalf(y);
    const double y0 = y - y1 * 1e5;

    double hi = x1 * y1;
    double lo = x0 * y0;
    const double mid = x1 * y0 + y1 * x0;
    const double m1 = UpperHalf(mid);
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

}  // namespace ostrel2
