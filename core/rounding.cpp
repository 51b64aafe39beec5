// rounding.cpp -- rounding of plain doubles to whole numbers: toward zero, away from zero, and to
// the nearest with ties to even. The limb arithmetic uses them to turn quotients and product
// halves into exact whole limbs.
#include <cmath>

#include "core/long_number.h"

namespace ostrel2 {

double TruncDouble(double x) { return x >= 0 ? std::floor(x) : std::ceil(x); }

double AwayDouble(double x) { return x >= 0 ? std::ceil(x) : std::floor(x); }

// The decision is taken on the magnitude and applied to x with its sign, so negative ties also
// go to the even neighbour. A tie is only a fraction of exactly one half.
double RoundHalfEven(double x) {
    double whole = 0.0;
    const double fraction = std::modf(std::fabs(x), &whole);
    if (fraction < 0.5) return TruncDouble(x);
    if (fraction > 0.5) return AwayDouble(x);
    return std::fmod(whole, 2.0) == 0.0 ? TruncDouble(x) : AwayDouble(x);
}

}  // namespace ostrel2
