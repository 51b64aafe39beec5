// kernel_set.h -- the engine's one dispatch point: the kernel sets and the choice among them.
//
// A kernel set holds every loop of the transform product (and the record scans of Normalize) at
// one instruction set: the portable set in plain C++, which every processor runs (ARM among
// them), the SSE2 set (two doubles per register) and the AVX set (four). All three are the same
// lane-generic bodies (kernel_set_body.h) instantiated at their own lane types, and give the same
// bits; the choice is one of speed only. The library takes the widest set the processor runs,
// chosen once (LibraryKernels); the tests run every set (RunnableKernelSets).
#pragma once

#include <cstdint>

namespace ostrel2 {

struct SharedTables;

enum class KernelSet { Portable, Sse2, Avx };

constexpr double ROUND_LIMIT = 1099511627776.0;            // 2^40: positions the carries take
constexpr double ROUND_SHIFT = 6755399441055744.0;         // 1.5 * 2^52
constexpr uint64_t ROUND_SHIFT_BITS = 0x4338000000000000;  // its encoding

// What the rounding pass of the carried digit conversion has found so far.
struct RoundState {
    bool near = true;  // every position so far below 2^40 and within 0.49 of a whole number
};

// The loops of one kernel set. Each does the work described, the same bits in every set.
struct TransformKernels {
    KernelSet set;
    // The complex transform of the n >= 8 doubles of a, bit-reversed on entry; backward: the
    // conjugating direction.
    void (*complexStages)(int n, double* a, const SharedTables& t, bool backward);
    // The forward complex transform, n >= 16, of the sequence whose lower half is d (bit-reversed
    // through the tables' gather offsets) and whose upper half is zero, into a.
    void (*complexStagesOfHalf)(int n, const double* d, double* a, const SharedTables& t);
    // The steps of the real-split pass of length n >= 8 (backward: without the sign changes of
    // a[1] before and a[n/2 + 1] after).
    void (*realSplit)(int n, double* a, const SharedTables& t, bool backward);
    // Complex products of the spectrum entries at 2 .. n - 1: V <- U (.) V, or S <- U (.) V + S.
    void (*spectrumProduct)(int n, const double* U, double* V);
    void (*spectrumProductAdd)(int n, const double* U, const double* V, double* S);
    // Limbs first .. last split into their high and low base-100,000 digits, limb j into
    // D[2 (j - first)] and the slot after it, as far as every quotient fits the 32-bit
    // truncation; returns the first limb not split.
    int (*splitLimbs)(int first, int last, const double* limbs, double* D);
    // Balances digits 2 .. filled - 1 of D (filled even, D[filled] = 0) into -50,000 .. 49,999
    // all at once, the last carry into D[1], and returns true; false, with D untouched, where a
    // digit 49,999 could pass a carry on and the serial pass must run.
    bool (*balanceAtOnce)(int filled, double* D);
    // Positions j .. end - 1 of x scaled: their encodings s + 1.5 * 2^52 into code, their
    // nearness into state, and where track is set their largest rounded magnitude into most.
    void (*roundPositions)(int j, int end, const double* x, double scale, uint64_t* code,
                           bool track, RoundState& state, double& most);
    // The two base-100,000 digits of each rests[i] (0 <= rests[i] < 10^10, i = 1 .. pairs) into
    // T[2i - 1] (high) and T[2i] (low).
    void (*pairDigits)(const uint64_t* rests, int pairs, double* T);
    // out[k] <- half sum over i of U[i] Vd[k - i] for k = 0 .. lu + lv - 2 (every term and sum
    // exact); Vd carries CONVOLUTION_PAD zeros on either side of its lv digits, out room for that
    // many positions past the last. Returns the first position not written.
    int (*convolve)(double half, const double* U, int lu, const double* Vd, int lv, double* out);
    // Whether any of p[0 .. count - 1] is at least bound; whether all are finite.
    bool (*anyAtLeast)(const double* p, int count, double bound);
    bool (*allFinite)(const double* p, int count);
};

// Zeros a padded convolution operand carries before its first digit and after its last.
constexpr int CONVOLUTION_PAD = 8;

// The widest set this build compiled and the processor runs: AVX where the AVX set is built and
// the processor (and the operating system) runs it, else SSE2 where it is compiled, else the
// portable set. Asked once, on the first call (thread-safe).
KernelSet WidestKernelSet();

// A set's loops, for a set the processor runs (a wider one falls back to the widest it runs).
const TransformKernels& KernelsFor(KernelSet set);

// The set the library runs: the widest, unless the environment variable OSTREL2_KERNELS names a
// narrower one ("portable", "sse2"), so that the narrower loops can be run through the whole
// library; a name the processor cannot run, or none, leaves the widest. Chosen once.
const TransformKernels& ChooseLibraryKernels();
inline const TransformKernels& LibraryKernels() {
    static const TransformKernels& kernels = ChooseLibraryKernels();
    return kernels;
}

// Every set the processor runs, narrowest first, for the tests that compare them.
struct KernelSetList {
    KernelSet sets[3];
    int count;
    const KernelSet* begin() const { return sets; }
    const KernelSet* end() const { return sets + count; }
};
KernelSetList RunnableKernelSets();

const char* KernelSetName(KernelSet set);

// The sets' tables (kernels_portable.cpp, kernels_sse2.cpp where SSE2 is compiled,
// kernels_avx.cpp where OSTREL2_AVX_PATHS is set), for the dispatch alone: ask KernelsFor.
extern const TransformKernels kPortableKernels;
extern const TransformKernels kSse2Kernels;
extern const TransformKernels kAvxKernels;

}  // namespace ostrel2
