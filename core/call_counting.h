// call_counting.h -- a hook at the entry of the workers whose calls the benchmarks count: the
// transform products, the reciprocal division and the short product and division.
//
// OSTREL2_COUNTED_CALL(kind, precision) stands first in each such worker. In the library it
// expands to nothing, so the workers' machine code is the same with or without the line. The
// benchmarks' counting build compiles a copy of the workers with OSTREL2_CALL_COUNTING defined;
// there the line becomes a scope object that tells the counting program (bench/product_counter.cpp
// defines Enter and Leave) when the call starts and ends, whoever the caller is.
#pragma once

#if defined(OSTREL2_CALL_COUNTING)

#include <cstdint>

namespace ostrel2::counting {

enum class Counted { Product, Division, SmallProduct, SmallDivision };

// A counted call starts: its kind and the precision of its operands (the larger of two).
void Enter(Counted kind, int32_t precision);
// The call of this kind that started last ends.
void Leave(Counted kind);

class Scope {
public:
    Scope(Counted kind, int32_t precision) : kind_(kind) { Enter(kind, precision); }
    ~Scope() { Leave(kind_); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

private:
    Counted kind_;
};

}  // namespace ostrel2::counting

#define OSTREL2_COUNTED_CALL(kind, precision)                   \
    const ::ostrel2::counting::Scope ostrel2CountedCall(         \
        ::ostrel2::counting::Counted::kind, static_cast<int32_t>(precision))

#else

#define OSTREL2_COUNTED_CALL(kind, precision) static_cast<void>(0)

#endif
