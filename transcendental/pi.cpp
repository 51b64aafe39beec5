// pi.cpp -- PaiLong: pi by the Borweins' quartically convergent iteration; HalfPiLong: pi / 2.
#include "transcendental/pi.h"

#include <cmath>
#include <cstdint>

#include "arith/addition.h"
#include "arith/divide_long.h"
#include "arith/divide_reciprocal.h"
#include "arith/transform/multiply_transform.h"
#include "core/worker_helpers.h"
#include "powers/integer_power.h"
#include "powers/square_root.h"

namespace ostrel2 {

namespace {

constexpr int32_t kLargestPrecision = 1000000;  // the iteration's own limit, in limbs
constexpr int32_t kMaxIterations = 25;

}  // namespace

// pi at the given precision (a product's 5 limbs at least), as 1/a of the iteration
//   y_k = (1 - r) / (1 + r),  r = (1 - y_(k-1)^4)^(1/4),
//   a_k = a_(k-1) (1 + y_k)^4 - 2^(2k+1) y_k (1 + y_k + y_k^2),
// from y_0 = sqrt(2) - 1 and a_0 = 6 - 4 sqrt(2). Each iteration roughly quadruples the correct
// digits and costs one reciprocal division, five transform products, a fourth power and a fourth
// root; it ends once the term 2^(2k+1) y_k (1 + y_k + y_k^2) lies below 10^-(10 p + 35). Every
// step runs at full precision and truncates as its products and quotients do. The precision is
// one a record holds, 1 .. MAX_PRECISION (the entry points refuse any other). A precision above
// 1,000,000 gives its message and zero with error -1 (iterations not written); an iteration that
// has not ended by the 25th gives its message and 1/a with error -1.
WorkLong& PaiLong(WorkLong& result, int32_t precision, int32_t& iterations) {
    WorkLong pi;
    if (precision > kLargestPrecision) {
        InitLong(pi, MAX_PRECISION, 0, 0, 0.0);
        return FailWith(result, pi, Message::PiPrecisionTooLarge);
    }
    InitLong(pi, precision, 0, 0, 0.0);

    WorkLong y;  // the y-sequence
    WorkLong a;  // the a-sequence
    WorkLong r;  // the fourth root (1 - y^4)^(1/4), and the term of a
    WorkLong e;  // 1 - r, and y^2 within an iteration
    WorkLong d;  // scratch
    WorkLong w = WholeNumber(precision, 2.0);
    SqrLong(y, w);  // sqrt(2)
    r = WholeNumber(precision, 4.0);
    w = WholeNumber(precision, 6.0);
    MultiplLong(d, r, y);
    SubtractLong(a, w, d);  // a_0 = 6 - 4 sqrt(2)
    w = WholeNumber(precision, 1.0);
    SubtractLong(d, y, w);  // y_0 = sqrt(2) - 1
    PowerLong(d, d, 4.0);
    SubtractLong(d, w, d);
    RootLong(r, d, 4.0);  // (1 - y_0^4)^(1/4)
    SubtractLong(e, w, r);

    const double stopExponent = -10.0 * (precision + 3.5);
    iterations = 0;
    while (iterations < kMaxIterations) {
        const int32_t k = ++iterations;
        AddLong(d, w, r);
        DivLong(y, e, d);  // y_k = (1 - r) / (1 + r)
        MultiplLong(e, y, y);
        AddLong(d, y, e);
        AddLong(d, w, d);
        MultiplLong(r, y, d);  // y_k (1 + y_k + y_k^2)
        w = WholeNumber(precision, std::pow(2.0, 2 * k + 1));
        MultiplLong(r, w, r);  // the term t_k
        w = WholeNumber(precision, 1.0);
        AddLong(d, w, y);
        PowerLong(d, d, 4.0);
        MultiplLong(d, a, d);
        SubtractLong(a, d, r);  // a_k = a_(k-1) (1 + y_k)^4 - t_k
        if (r.exponent < stopExponent) break;
        MultiplLong(d, e, e);  // y_k^4
        SubtractLong(d, w, d);
        RootLong(r, d, 4.0);
        SubtractLong(e, w, r);
    }
    const bool converged = iterations < kMaxIterations;
    if (!converged) Report(Message::PiNotConverged);

    DivLong(pi, w, a);  // pi = 1 / a
    if (!converged) pi.error = -1;
    return CopyOut(result, pi);
}

// pi / 2 at the given precision: pi from PaiLong halved by the short division, which keeps pi's
// precision and truncates after its last live limb.
WorkLong& HalfPiLong(WorkLong& result, int32_t precision) {
    int32_t iterations = 0;
    WorkLong pi;
    PaiLong(pi, precision, iterations);
    return DivSmall(result, pi, 2.0);
}

}  // namespace ostrel2
