// cpu_features.h -- which vector instruction sets the library's fast paths may use: the 128-bit
// SSE2 set, known when compiling, and the 256-bit AVX set, asked of the processor once.
//
// Every fast path gives the plain algorithm's bits whichever set it runs on, so the choice is one
// of speed only.
#pragma once

// OSTREL2_SSE2: 1 where the compiler targets SSE2 (every x86-64 build, and 32-bit x86 builds with
// -msse2), else 0; the 128-bit loops are compiled only then.
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define OSTREL2_SSE2 1
#else
#define OSTREL2_SSE2 0
#endif

// OSTREL2_AVX_PATHS: 1 where the build compiles the 256-bit loops (the files *_avx.cpp, built
// for AVX; the build defines it for the workers where the compiler takes -mavx), else 0.
#if !defined(OSTREL2_AVX_PATHS)
#define OSTREL2_AVX_PATHS 0
#endif

namespace ostrel2 {

// The loops the fast paths run: plain scalar code, which every processor runs, the two-lane SSE2
// loops, or the four-lane AVX loops.
enum class KernelSet { Portable, Sse2, Avx };

// The widest set this build compiled and the processor runs: AVX where the 256-bit loops are built
// and the processor (and the operating system) runs them, else SSE2 where it is compiled, else the
// portable one. Asked once, on the first call (thread-safe), and remembered.
KernelSet WidestKernelSet();

// The set the library runs: the widest, unless the environment variable OSTREL2_KERNELS names a
// narrower one ("portable", "sse2"), so that the narrower loops can be checked on the whole suite.
// A name the processor cannot run, or none, leaves the widest. Read once and remembered. Inline,
// because the transform product asks it at every stage.
KernelSet ChooseKernelSet();
inline KernelSet LibraryKernelSet() {
    static const KernelSet kernels = ChooseKernelSet();
    return kernels;
}

// Whether the 256-bit loops may run on this processor.
inline bool CpuHasAvx() { return WidestKernelSet() == KernelSet::Avx; }

// The vector loops a fast path takes: those the library runs (Widest), the two-lane ones alone, as
// on processors without AVX (Narrow), or none (Portable), as on processors without SSE2; the tests
// compare all three.
enum class VectorWidth { Widest, Narrow, Portable };

// Whether a fast path asked for width runs its four-lane loops, and whether its two-lane ones.
inline bool RunsAvx(VectorWidth width) {
    return width == VectorWidth::Widest && LibraryKernelSet() == KernelSet::Avx;
}
inline bool RunsSse2(VectorWidth width) {
    return OSTREL2_SSE2 && (width == VectorWidth::Narrow ||
                            (width == VectorWidth::Widest && LibraryKernelSet() != KernelSet::Portable));
}

}  // namespace ostrel2
