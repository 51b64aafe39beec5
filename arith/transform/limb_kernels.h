// limb_kernels.h -- the scans of a record's limbs that Normalize makes on every call, written once
// over a lane type (arith/transform/lanes.h): whether a limb needs a carry, whether all are
// finite. The usual answer, no carry and all finite, is found without a branch per limb. Each
// loop takes whole registers from k on and returns where it stopped; a kernel set finishes at the
// narrower lane types (kernel_set_body.h).
#pragma once

#include "arith/transform/lanes.h"

namespace ostrel2 {
namespace {

// any |= whether some p[k ..] is at least bound.
template <class V>
int AnyAtLeast(int k, int count, const double* p, double bound, bool& any) {
    const Reg<V> b = V::Set1(bound);
    Reg<V> hit = V::Zero();
    for (; k + V::kDoubles - 1 < count; k += V::kDoubles) hit = V::Or(hit, V::GreaterEqual(V::Load(p + k), b));
    any = any || V::MoveMask(hit) != 0;
    return k;
}

// finite &= whether every p[k ..] is finite: x - x is 0 for a finite x, NaN otherwise.
template <class V>
int AllFinite(int k, int count, const double* p, bool& finite) {
    Reg<V> ok = V::AllBits();
    for (; k + V::kDoubles - 1 < count; k += V::kDoubles) {
        const Reg<V> x = V::Load(p + k);
        const Reg<V> d = V::Sub(x, x);
        ok = V::And(ok, V::Ordered(d, d));
    }
    finite = finite && V::MoveMask(ok) == V::kAllLanes;
    return k;
}

}  // namespace
}  // namespace ostrel2
