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

// Asks the processor (and the operating system) whether they run AVX instructions; false where
// the 256-bit loops are not built. Call CpuHasAvx instead.
bool AskCpuForAvx();

// Whether the 256-bit loops may run: asked once, on the first call (thread-safe), and remembered.
// Inline, because the transform product asks it at every stage.
inline bool CpuHasAvx() {
    static const bool avx = AskCpuForAvx();
    return avx;
}

// The vector loops a fast path takes: the widest the processor runs (what the library uses), or
// the two-lane ones alone, as on processors without AVX (for the tests, which compare both).
enum class VectorWidth { Widest, Narrow };

// Whether a fast path asked for width runs its four-lane loops.
inline bool RunsAvx(VectorWidth width) { return width == VectorWidth::Widest && CpuHasAvx(); }

}  // namespace ostrel2
