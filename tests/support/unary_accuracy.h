// unary_accuracy.h -- one argument through a one-argument worker and against MPFR's function.
#pragma once

#include <mpfr.h>

#include <cstdint>

#include "core/long_number.h"

namespace ostrel2 {
namespace reference {

using UnaryWorker = WorkLong& (*)(WorkLong&, WorkLong&);
using MpfrUnary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

// Runs worker(y, x) on a copy of x and expects no message, error 0 and the first p limbs of y
// correct against f(x) from MPFR; returns y's correct digits. Failures name x and p.
double CheckUnaryAgainstMpfr(UnaryWorker worker, MpfrUnary f, const WorkLong& x, int32_t p);

}  // namespace reference
}  // namespace ostrel2
