// dft_kernels.h -- the kernels of the shared-table real transform, written once over a lane type
// (arith/transform/lanes.h): radix-4 butterflies, the first stage read through the bit reversal,
// the last stage, the real-split pass and the spectrum products.
//
// Every lane performs the reference transform's operation (tests/support/transform_reference.cpp)
// on the same operands, so every kernel set gives its bits. Where a form differs from the
// reference's it is the same IEEE operation: a - b computed as a + (-b), a sign flipped by an
// exclusive or, one alternating subtract-add for (pr - qr, pi + qi). Compilation keeps
// -ffp-contract=off: no fused multiply-add.
#pragma once

#include <cstdint>

#include "arith/transform/lanes.h"
#include "arith/transform/tables.h"

namespace ostrel2 {
namespace {

template <class V>
struct Quarter {
    Reg<V> x0, x2, x1, x3;  // y0 + y2, y0 - y2, y1 + i y3, y1 - i y3
};

template <class V>
struct Rotations {
    Reg<V> w1r, w1i, w2r, w2i, w3r, w3i;
};

// The radix-4 combinations of y0 = x0 + x1, y1 = x0 - x1, y2 = x2 + x3, y3 = x2 - x3:
// y1 + i y3 = y1 + t and y1 - i y3 = y1 - t with t = (-y3i, y3r).
template <class V>
inline Quarter<V> CombineHalves(Reg<V> y0, Reg<V> y1, Reg<V> y2, Reg<V> y3) {
    const Reg<V> t = V::Xor(V::SwapParts(y3), V::RealSigns());
    return {V::Add(y0, y2), V::Sub(y0, y2), V::Add(y1, t), V::Sub(y1, t)};
}

template <class V>
inline Quarter<V> Combine(Reg<V> x0, Reg<V> x1, Reg<V> x2, Reg<V> x3) {
    const Reg<V> y0 = V::Add(x0, x1);
    const Reg<V> y1 = V::Sub(x0, x1);
    const Reg<V> y2 = V::Add(x2, x3);
    const Reg<V> y3 = V::Sub(x2, x3);
    return CombineHalves<V>(y0, y1, y2, y3);
}

// Combine where x1 and x3 are the entry +0: x0 + 0 is still added (it turns -0 into +0, as the
// full butterfly does), x0 - 0 is x0 itself for every x0.
template <class V>
inline Quarter<V> CombineWithZeros(Reg<V> x0, Reg<V> x2) {
    const Reg<V> zero = V::Zero();
    const Reg<V> y0 = V::Add(x0, zero);
    const Reg<V> y2 = V::Add(x2, zero);
    return CombineHalves<V>(y0, x0, y2, x2);
}

// Where the four quarters of a butterfly lie. Span: quarter c at a + j + c l, kEntries
// consecutive entries. Blocks: the first stage's blocks of 8 doubles, one block per entry of the
// register: quarter c of block i at a + 8i + 2c.
template <class V>
struct Span {
    double* a;
    int j;
    int l;
    Reg<V> Load(int c) const { return V::Load(a + j + c * l); }
    void Store(int c, Reg<V> x) const { V::Store(a + j + c * l, x); }
};

template <class V>
struct Blocks {
    double* a;
    Reg<V> Load(int c) const {
        return V::LoadEntries([this, c](int i) { return a + 8 * i + 2 * c; });
    }
    void Store(int c, Reg<V> x) const {
        V::StoreEntries([this, c](int i) { return a + 8 * i + 2 * c; }, x);
    }
};

template <class V, class Place>
inline Quarter<V> LoadCombined(const Place& p) {
    const Reg<V> x0 = p.Load(0);
    const Reg<V> x1 = p.Load(1);
    const Reg<V> x2 = p.Load(2);
    const Reg<V> x3 = p.Load(3);
    return Combine<V>(x0, x1, x2, x3);
}

// (wr xr - wi xi, wr xi + wi xr)
template <class V>
inline Reg<V> Rotate(Reg<V> x, Reg<V> wr, Reg<V> wi) {
    return V::SubAdd(V::Mul(wr, x), V::Mul(wi, V::SwapParts(x)));
}

// A value stored by the last stage; with kConjugate the backward direction's conjugation
// (imaginary parts negated) is applied as it is stored.
template <class V, bool kConjugate>
inline void Put(double* at, Reg<V> x) {
    V::Store(at, kConjugate ? V::Xor(x, V::ImagSigns()) : x);
}

// The butterfly's stores with unit rotations.
template <class V, bool kConjugate = false>
inline void StoreUnit(const Span<V>& s, const Quarter<V>& q) {
    Put<V, kConjugate>(s.a + s.j, q.x0);
    Put<V, kConjugate>(s.a + s.j + s.l, q.x1);
    Put<V, kConjugate>(s.a + s.j + 2 * s.l, q.x2);
    Put<V, kConjugate>(s.a + s.j + 3 * s.l, q.x3);
}

// The block rotated by the eighth root r = (c, c), i = r^2 and r^3 = (-c, c).
template <class V, class Place>
inline void StoreEighth(const Place& p, const Quarter<V>& q, Reg<V> c) {
    p.Store(0, q.x0);
    p.Store(2, V::Xor(V::SwapParts(q.x2), V::RealSigns()));
    // c (x1r - x1i, x1r + x1i)
    p.Store(1, V::Mul(c, V::Add(V::RealTwice(q.x1), V::Xor(V::ImagTwice(q.x1), V::RealSigns()))));
    // c (-(x3r + x3i), x3r - x3i)
    const Reg<V> v = V::Add(V::RealTwice(q.x3), V::Xor(V::ImagTwice(q.x3), V::ImagSigns()));
    p.Store(3, V::Mul(c, V::Xor(v, V::RealSigns())));
}

template <class V, class Place>
inline void StoreRotated(const Place& p, const Quarter<V>& q, const Rotations<V>& t) {
    p.Store(0, q.x0);
    p.Store(2, Rotate<V>(q.x2, t.w2r, t.w2i));
    p.Store(1, Rotate<V>(q.x1, t.w1r, t.w1i));
    p.Store(3, Rotate<V>(q.x3, t.w3r, t.w3i));
}

// The rotations of the blocks a register holds, from the pair's entry r of the rotation table
// (r + 2: from the second block on): in the first stage each entry of the register is a block of
// its own, in the later stages every entry takes the same block's rotation.
template <class V>
inline Rotations<V> BlockRotations(const double* r) {
    return {V::Load(r),      V::Load(r + 4),  V::Load(r + 8),
            V::Load(r + 12), V::Load(r + 16), V::Load(r + 20)};
}

template <class V>
inline Rotations<V> SpanRotations(const double* r) {
    return {V::EntryEverywhere(r),      V::EntryEverywhere(r + 4),  V::EntryEverywhere(r + 8),
            V::EntryEverywhere(r + 12), V::EntryEverywhere(r + 16), V::EntryEverywhere(r + 20)};
}

// The first radix-4 stage (span 2) over blocks of 8 doubles: block 0 unrotated and block 1 by the
// eighth root, one entry per register (a block's quarters are single entries: V::Entry); then the
// rotated blocks, kEntries blocks per register.
// combine(lanes, at) gives the combined quarters of the blocks from double at on.
template <class V, class Combiner>
void FirstStage(int n, double* a, const double* w, const double* rot, Combiner combine) {
    using E = typename V::Entry;
    StoreUnit<E>(Span<E>{a, 0, 2}, combine(E{}, 0));
    StoreEighth<E>(Span<E>{a, 8, 2}, combine(E{}, 8), E::Set1(w[2]));
    for (int k = 16; k < n; k += 16) {
        const double* r = rot + ROTATION_STRIDE * (k / 16 - 1);
        for (int b = 0; b < 2; b += V::kEntries) {
            const int at = k + 8 * b;
            StoreRotated<V>(Blocks<V>{a + at}, combine(V{}, at), BlockRotations<V>(r + 2 * b));
        }
    }
}

// The blocks read from the array itself.
struct InPlaceBlocks {
    double* a;
    template <class L>
    Quarter<L> operator()(L, int at) const { return LoadCombined<L>(Blocks<L>{a + at}); }
};

// The first stage of a transform whose input had its upper half zero, read from that input's
// lower half d through the bit reversal: after the permutation every odd complex entry is zero,
// and the even entry 2e holds d's entry at double offset g[e]. The block at double `at` holds the
// even entries at/4 and at/4 + 1.
struct HalfBlocks {
    const double* d;
    const uint16_t* g;
    template <class L>
    Quarter<L> operator()(L, int at) const {
        const uint16_t* e = g + at / 4;
        const Reg<L> x0 = L::LoadEntries([this, e](int i) { return d + e[2 * i]; });
        const Reg<L> x2 = L::LoadEntries([this, e](int i) { return d + e[2 * i + 1]; });
        return CombineWithZeros<L>(x0, x2);
    }
};

// Radix-4 stage of span l >= 2 kEntries over blocks of m = 4l doubles: block 0 unrotated, block 1
// by the eighth root, and each later pair of blocks with rotations from the rotation table.
template <class V>
void Radix4Stage(int n, int l, double* a, const double* w, const double* rot) {
    const int m = 4 * l;
    for (int j = 0; j < l; j += V::kDoubles) {
        const Span<V> s{a, j, l};
        StoreUnit<V>(s, LoadCombined<V>(s));
    }
    if (m < n) {
        const Reg<V> c = V::Set1(w[2]);
        for (int j = m; j < l + m; j += V::kDoubles) {
            const Span<V> s{a, j, l};
            StoreEighth<V>(s, LoadCombined<V>(s), c);
        }
    }
    const double* r = rot;
    for (int k = 2 * m; k < n; k += 2 * m, r += ROTATION_STRIDE) {
        const Rotations<V> r1 = SpanRotations<V>(r);
        const Rotations<V> r2 = SpanRotations<V>(r + 2);
        for (int j = k; j < l + k; j += V::kDoubles) {
            const Span<V> s{a, j, l};
            StoreRotated<V>(s, LoadCombined<V>(s), r1);
        }
        for (int j = k + m; j < l + k + m; j += V::kDoubles) {
            const Span<V> s{a, j, l};
            StoreRotated<V>(s, LoadCombined<V>(s), r2);
        }
    }
}

// The last stage (span l, with 4l = n radix 4, else 2l = n radix 2), which covers every entry
// once; kConjugate: the backward direction's conjugation as the values are stored.
template <class V, bool kConjugate>
void LastStage(int n, int l, double* a) {
    if (4 * l == n) {
        for (int j = 0; j < l; j += V::kDoubles) {
            const Span<V> s{a, j, l};
            StoreUnit<V, kConjugate>(s, LoadCombined<V>(s));
        }
    } else {
        for (int j = 0; j < l; j += V::kDoubles) {
            const Reg<V> x0 = V::Load(a + j);
            const Reg<V> x1 = V::Load(a + j + l);
            Put<V, kConjugate>(a + j, V::Add(x0, x1));
            Put<V, kConjugate>(a + j + l, V::Sub(x0, x1));
        }
    }
}

// Every stage after the first, ending with the last one, for n >= 16.
template <class V>
void LaterStages(int n, double* a, const double* w, const double* rot, bool backward) {
    int l = 8;
    while (4 * l < n) {
        Radix4Stage<V>(n, l, a, w, rot);
        l *= 4;
    }
    if (backward) {
        LastStage<V, true>(n, l, a);
    } else {
        LastStage<V, false>(n, l, a);
    }
}

// The complex transform of n >= 16 doubles, bit-reversed on entry.
template <class V>
void ComplexStages(int n, double* a, const double* w, const double* rot, bool backward) {
    FirstStage<V>(n, a, w, rot, InPlaceBlocks{a});
    LaterStages<V>(n, a, w, rot, backward);
}

// The forward complex transform of the n >= 16 doubles whose first stage reads the half d
// through the gather table g (see HalfBlocks), into a.
template <class V>
void ComplexStagesOfHalf(int n, const double* d, const uint16_t* g, double* a, const double* w,
                         const double* rot) {
    FirstStage<V>(n, a, w, rot, HalfBlocks{d, g});
    LaterStages<V>(n, a, w, rot, false);
}

// Steps j, j + 2, ... of a real-split pass below n/2, kEntries steps per register; returns the
// first step not taken. Step j pairs the entry at j with the one at n - j; in a register of steps
// j, j + 2 those partners lie in the opposite order, so they are reversed. wr[j - 2], wr[j - 1]
// (and wi) hold step j's rotation twice. Forward: y = (wr xr - wi xi, wr xi + wi xr) from
// x = (a[j] - a[k], a[j+1] + a[k+1]); a[j] -= y, a[k] += conj(y). Backward:
// y = (wr xr + wi xi, wr xi - wi xr); a[j] <- (a[j] - yr, yi - a[j+1]),
// a[k] <- (a[k] + yr, yi - a[k+1]).
template <class V, bool kBackward>
int RealSplit(int j, int n, double* a, const double* wr, const double* wi) {
    const int m = n >> 1;
    const int reach = 2 * (V::kEntries - 1);  // from the register's first step to its last
    for (; j + reach < m; j += V::kDoubles) {
        const int k = n - j - reach;
        const Reg<V> aj = V::Load(a + j);
        const Reg<V> ak = V::ReverseEntries(V::Load(a + k));
        const Reg<V> x = V::SubAdd(aj, ak);
        const Reg<V> p = V::Mul(V::Load(wr + j - 2), x);
        const Reg<V> q = V::Mul(V::Load(wi + j - 2), V::SwapParts(x));
        Reg<V> newJ;
        Reg<V> newK;
        if (!kBackward) {
            const Reg<V> y = V::SubAdd(p, q);
            newJ = V::Sub(aj, y);
            newK = V::Add(ak, V::Xor(y, V::ImagSigns()));
        } else {
            const Reg<V> y = V::Add(p, V::Xor(q, V::ImagSigns()));
            newJ = V::Add(V::Xor(aj, V::ImagSigns()), V::Xor(y, V::RealSigns()));
            newK = V::Add(V::Xor(ak, V::ImagSigns()), y);
        }
        V::Store(a + j, newJ);
        V::Store(a + k, V::ReverseEntries(newK));
    }
    return j;
}

// (ur vr - ui vi, ur vi + ui vr) for each entry.
template <class V>
inline Reg<V> ComplexProduct(Reg<V> u, Reg<V> v) {
    return V::SubAdd(V::Mul(V::RealTwice(u), v), V::Mul(V::ImagTwice(u), V::SwapParts(v)));
}

// Complex products of the spectrum entries from position k on, Vs <- U (.) Vs, while whole
// registers last; returns the first position not taken.
template <class V>
int SpectrumProduct(int k, int n, const double* U, double* Vs) {
    for (; k + V::kDoubles - 1 < n; k += V::kDoubles)
        V::Store(Vs + k, ComplexProduct<V>(V::Load(U + k), V::Load(Vs + k)));
    return k;
}

// The same products added to S: S[i] <- product + S[i].
template <class V>
int SpectrumProductAdd(int k, int n, const double* U, const double* Vs, double* S) {
    for (; k + V::kDoubles - 1 < n; k += V::kDoubles)
        V::Store(S + k, V::Add(ComplexProduct<V>(V::Load(U + k), V::Load(Vs + k)), V::Load(S + k)));
    return k;
}

}  // namespace
}  // namespace ostrel2
