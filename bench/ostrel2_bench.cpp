// ostrel2_bench.cpp -- timings of every export at several precisions beside MPFR, with ratio tables.
//
// One run measures the exports through the public C interface on random full-length records,
// MPFR's add, sub, mul and div on the very same values at the same number of decimal digits, and
// the precision sweep 1 .. 60 of the two multiplications. At the end it prints, from the CPU times
// of that run: the time table, the ratios to MPFR and the crossover precision of Multipl2_XL and
// Multipl_XL. (The products and overhead of every export, and the other peers, come from
// ostrel2_product_count and ostrel2_peers: bench/report.sh.)
//
// The goal cases time the dear exports on fixed arguments (Exp_XL(1.5), Sin_XL(1), ...) after a
// warm-up call; with --baseline=OLD/libOstrel2.so the same cases of that library are timed in the
// same run and a table of new/old per call is printed (for alternating runs add
// --benchmark_enable_random_interleaving=true --benchmark_repetitions=N), e.g.
//   ostrel2_bench --baseline=/path/to/old/libOstrel2.so --benchmark_filter=goal/
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <mpfr.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "api/export_kinds.h"
#include "ostrel2.h"
#include "options.h"
#include "records.h"

namespace {

using ostrel2_bench::BinaryDigits;
using ostrel2_bench::DecimalText;
using ostrel2_bench::kPrecisions;
using ostrel2_bench::LastBoundarySlot;
using ostrel2_bench::RandomRecord;

using ostrel2::api::Arguments;
using ostrel2::api::Export;
using ostrel2::api::kExports;
using ostrel2::api::Kind;

using TwoRecordExport = LongNumber* (*)(LongNumber*, const LongNumber*, const LongNumber*);
using MpfrOperation = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);

constexpr int kPoolSize = 8;          // operand pairs each benchmark cycles through
constexpr int kSweepLast = 60;        // the multiplication sweep covers precisions 1 .. 60

struct Pair {
    LongNumber x;
    LongNumber y;
};
using Pool = std::shared_ptr<const std::vector<Pair>>;

// Exponents of the operands: where the integer part ends decides how much work truncation,
// rounding, remainder and gcd do.
enum class Shape {
    Fraction,      // both operands between 1 and 10^10 in magnitude: full overlap in a sum
    HalfInteger,   // x has its integer part over half of the limbs, y below 10^10
    WholeInteger,  // every live limb of x and y belongs to the integer part
};

Pool MakePool(int32_t precision, Shape shape, uint64_t seed) {
    std::mt19937_64 rng(seed * 1000003u + static_cast<uint64_t>(precision));
    int32_t xExponent = 0;
    int32_t yExponent = 0;
    if (shape == Shape::HalfInteger) xExponent = 10 * (precision / 2);
    if (shape == Shape::WholeInteger) {
        xExponent = 10 * LastBoundarySlot(precision);
        yExponent = xExponent;
    }
    auto pool = std::make_shared<std::vector<Pair>>();
    for (int i = 0; i < kPoolSize; ++i) {
        Pair pair;
        pair.x = RandomRecord(rng, precision, xExponent);
        pair.y = RandomRecord(rng, precision, yExponent);
        pool->push_back(pair);
    }
    return pool;
}

// A failed call means the export is not usable at this precision: skip rather than time it.
bool Failed(benchmark::State& state, const LongNumber& result, const char* name) {
    if (result.error == 0) return false;
    char text[96];
    std::snprintf(text, sizeof text, "%s returned error %d", name, result.error);
    state.SkipWithError(text);
    return true;
}

void TimeTwo(benchmark::State& state, TwoRecordExport function, const char* name, Pool pool) {
    LongNumber result;
    if (Failed(state, *function(&result, &(*pool)[0].x, &(*pool)[0].y), name)) return;
    unsigned i = 0;
    for (auto _ : state) {
        const Pair& pair = (*pool)[i++ % kPoolSize];
        benchmark::DoNotOptimize(function(&result, &pair.x, &pair.y));
        benchmark::ClobberMemory();
    }
}

// Any export of the table on the pool's operands; a double argument is 3, Pai_XL's precision
// and Factorial_XL's precision are the benchmark's, Factorial_XL's n is 1000. LCM_XL writes its
// cofactors into its arguments, so every call of it gets fresh copies; the two copies (about
// 5 kB) are timed with it and are negligible beside Euclid's steps.
void TimeExport(benchmark::State& state, const Export* e, int32_t precision, Pool pool) {
    LongNumber result;
    Pair work = (*pool)[0];
    Arguments a;
    a.result = &result;
    a.x = &work.x;
    a.y = &work.y;
    a.n = 3.0;
    a.first = e->kind == Kind::IntPrecision ? 1000 : precision;
    a.second = precision;
    e->invoke(a);
    if (Failed(state, result, e->name)) return;
    const bool writesArguments = e->kind == Kind::Cofactors;
    unsigned i = 0;
    for (auto _ : state) {
        const Pair& pair = (*pool)[i++ % kPoolSize];
        if (writesArguments) {
            work = pair;
        } else {
            a.x = const_cast<LongNumber*>(&pair.x);
            a.y = const_cast<LongNumber*>(&pair.y);
        }
        e->invoke(a);
        benchmark::DoNotOptimize(a.returned);
        benchmark::ClobberMemory();
    }
}

// MPFR on the same values, every number at the binary precision that holds 10 (p + 4) digits.
class MpfrNumber {
public:
    MpfrNumber(int64_t bits, const std::string& text) {
        mpfr_init2(value_, static_cast<mpfr_prec_t>(bits));
        mpfr_set_str(value_, text.c_str(), 10, MPFR_RNDN);
    }
    ~MpfrNumber() { mpfr_clear(value_); }
    MpfrNumber(const MpfrNumber&) = delete;
    MpfrNumber& operator=(const MpfrNumber&) = delete;
    mpfr_ptr get() { return value_; }

private:
    mpfr_t value_;
};

void TimeMpfr(benchmark::State& state, MpfrOperation operation, int32_t precision, Pool pool) {
    const int64_t bits = BinaryDigits(precision);
    std::vector<std::unique_ptr<MpfrNumber>> x;
    std::vector<std::unique_ptr<MpfrNumber>> y;
    for (const Pair& pair : *pool) {
        x.push_back(std::make_unique<MpfrNumber>(bits, DecimalText(pair.x)));
        y.push_back(std::make_unique<MpfrNumber>(bits, DecimalText(pair.y)));
    }
    MpfrNumber result(bits, "0");
    unsigned i = 0;
    for (auto _ : state) {
        const unsigned k = i++ % kPoolSize;
        operation(result.get(), x[k]->get(), y[k]->get(), MPFR_RNDN);
        benchmark::DoNotOptimize(result.get());
        benchmark::ClobberMemory();
    }
}

std::string Name(const char* what, int32_t precision) {
    return std::string(what) + "/" + std::to_string(precision);
}

// The operands each export is timed on: the integer-part exports get an integer part over half
// of the limbs, the greatest common divisor whole numbers, the others fractions.
Shape ShapeOf(const Export& e) {
    if (e.kind == Kind::Cofactors) return Shape::WholeInteger;
    for (const char* name : {"Abs_XL", "Fix_XL", "Round_XL", "Mod_XL"}) {
        if (std::strcmp(e.name, name) == 0) return Shape::HalfInteger;
    }
    return Shape::Fraction;
}

// The goal cases: an export on a fixed argument x = first + second * 10^-10 at a precision (for
// Pai_XL the precision alone), and the most its time may be of the time before pi, e and ln 10
// were kept and the short kernels rewritten.
struct Goal {
    const char* name;
    int32_t precision;
    double first;
    double second;
    double ratio;
};
constexpr Goal kGoals[] = {
    {"Pai_XL", 303, 0, 0, 0.02},        {"Pai_XL", 3, 0, 0, 0.05},
    {"Exp_XL", 303, 1, 5e9, 0.25},      {"Exp_XL", 10, 1, 5e9, 0.75},
    {"Sin_XL", 303, 1, 0, 0.65},        {"Sin_XL", 3, 1, 0, 0.35},
    {"Loge_XL", 303, 1, 5e9, 0.75},     {"Log10_XL", 303, 1, 5e9, 0.45},
    {"Sinh_XL", 303, 1, 5e9, 0.35},
};

std::string GoalName(const char* library, const Goal& g) {
    std::string argument;
    if (std::strcmp(g.name, "Pai_XL") != 0) argument = g.second == 0 ? "(1)" : "(1.5)";
    return std::string("goal/") + library + "/" + g.name + argument + "/" + std::to_string(g.precision);
}

// One goal case through an export's address (of the library linked in, or of the baseline).
void TimeGoal(benchmark::State& state, void* address, Goal g) {
    using PrecisionFunction = LongNumber* (*)(LongNumber*, int32_t);
    using RecordFunction = LongNumber* (*)(LongNumber*, const LongNumber*);
    const bool pi = std::strcmp(g.name, "Pai_XL") == 0;
    LongNumber x;
    std::memset(&x, 0, sizeof x);
    x.sign = 1;
    x.precision = g.precision;
    x.limbs[0] = g.first;
    x.limbs[1] = g.second;
    LongNumber result;
    auto call = [&] {
        return pi ? reinterpret_cast<PrecisionFunction>(address)(&result, g.precision)
                  : reinterpret_cast<RecordFunction>(address)(&result, &x);
    };
    call();  // the warm-up: constants met for the first time are computed here
    if (Failed(state, result, g.name)) return;
    for (auto _ : state) {
        benchmark::DoNotOptimize(call());
        benchmark::ClobberMemory();
    }
}

// The goal cases of the library linked in and, when one is given, of the baseline library, one
// after the other for each case.
void RegisterGoals(void* baseline) {
    for (const Goal& g : kGoals) {
        if (baseline != nullptr) {
            void* old = dlsym(baseline, g.name);
            if (old != nullptr) {
                benchmark::RegisterBenchmark(GoalName("old", g).c_str(), TimeGoal, old, g)
                    ->Unit(benchmark::kMicrosecond);
            }
        }
        benchmark::RegisterBenchmark(GoalName("new", g).c_str(), TimeGoal,
                                     dlsym(RTLD_DEFAULT, g.name), g)
            ->Unit(benchmark::kMicrosecond);
    }
}

void RegisterAll() {
    const std::pair<const char*, MpfrOperation> mpfr[] = {
        {"mpfr_add", mpfr_add}, {"mpfr_sub", mpfr_sub}, {"mpfr_mul", mpfr_mul},
        {"mpfr_div", mpfr_div}};

    for (int32_t p : kPrecisions) {
        const Pool fraction = MakePool(p, Shape::Fraction, 1);
        const Pool halfInteger = MakePool(p, Shape::HalfInteger, 2);
        const Pool wholeInteger = MakePool(p, Shape::WholeInteger, 3);
        for (const Export& e : kExports) {
            if (e.kind == Kind::Version) continue;
            const Shape shape = ShapeOf(e);
            const Pool pool = shape == Shape::Fraction      ? fraction
                              : shape == Shape::HalfInteger ? halfInteger
                                                            : wholeInteger;
            benchmark::RegisterBenchmark(Name(e.name, p).c_str(), TimeExport, &e, p, pool)
                ->Unit(benchmark::kMicrosecond);
        }
        for (const auto& row : mpfr) {
            benchmark::RegisterBenchmark(Name(row.first, p).c_str(), TimeMpfr, row.second, p,
                                         fraction)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    for (int32_t p = 1; p <= kSweepLast; ++p) {
        const Pool pool = MakePool(p, Shape::Fraction, 4);
        benchmark::RegisterBenchmark(Name("sweep/Multipl2_XL", p).c_str(), TimeTwo, Multipl2_XL,
                                     "Multipl2_XL", pool)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(Name("sweep/Multipl_XL", p).c_str(), TimeTwo, Multipl_XL,
                                     "Multipl_XL", pool)
            ->Unit(benchmark::kMicrosecond);
    }
}

// Prints the usual console lines and keeps each benchmark's CPU time per call (the median when
// the run is repeated) for the tables printed at the end.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool aggregate = run.run_type == Run::RT_Aggregate;
            if (aggregate && run.aggregate_name != "median") continue;
            const std::string name = run.run_name.str();
            if (!aggregate && seconds_.count(name) != 0) continue;  // repeated: the median wins
            seconds_[name] =
                run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::FILE* out = stdout;
        std::fflush(out);
        PrintTimes(out);
        PrintRatios(out);
        PrintCrossover(out);
        PrintGoals(out);
        std::fflush(out);
    }

private:
    // CPU time in microseconds, or a negative value when the benchmark did not run.
    double Micro(const std::string& name) const {
        const auto found = seconds_.find(name);
        return found == seconds_.end() ? -1.0 : found->second * 1e6;
    }

    static void Cell(std::FILE* out, double value, const char* format) {
        if (value < 0) {
            std::fprintf(out, " %10s", "-");
        } else {
            std::fprintf(out, format, value);
        }
    }

    static void Header(std::FILE* out, const char* title) {
        std::fprintf(out, "\n%-22s", title);
        for (int32_t p : kPrecisions) std::fprintf(out, " %10s", ("p=" + std::to_string(p)).c_str());
        std::fprintf(out, "\n");
    }

    void PrintTimes(std::FILE* out) const {
        std::vector<const char*> rows;
        for (const Export& e : kExports) {
            if (e.kind != Kind::Version) rows.push_back(e.name);
        }
        for (const char* mpfr : {"mpfr_add", "mpfr_sub", "mpfr_mul", "mpfr_div"}) rows.push_back(mpfr);
        Header(out, "CPU time per call (us)");
        for (const char* row : rows) {
            std::fprintf(out, "%-22s", row);
            for (int32_t p : kPrecisions) Cell(out, Micro(Name(row, p)), " %10.3f");
            std::fprintf(out, "\n");
        }
    }

    void PrintRatios(std::FILE* out) const {
        static const char* const rows[][2] = {
            {"Add_XL", "mpfr_add"},     {"Subtract_XL", "mpfr_sub"}, {"Multipl_XL", "mpfr_mul"},
            {"Multipl2_XL", "mpfr_mul"}, {"Div_XL", "mpfr_div"},     {"Div2_XL", "mpfr_div"}};
        Header(out, "Ratio to MPFR");
        for (const auto& row : rows) {
            const std::string title = std::string(row[0]) + "/" + row[1];
            std::fprintf(out, "%-22s", title.c_str());
            for (int32_t p : kPrecisions) {
                const double ours = Micro(Name(row[0], p));
                const double theirs = Micro(Name(row[1], p));
                Cell(out, ours < 0 || theirs <= 0 ? -1.0 : ours / theirs, " %10.2f");
            }
            std::fprintf(out, "\n");
        }
        const double ours = Micro(Name("Multipl_XL", 303));
        const double theirs = Micro(Name("mpfr_mul", 303));
        if (ours > 0 && theirs > 0) {
            std::fprintf(out, "Multipl_XL/mpfr_mul at p=303: %.2f (goal: at most 3) %s\n",
                         ours / theirs, ours / theirs <= 3.0 ? "met" : "NOT met");
        }
    }

    void PrintCrossover(std::FILE* out) const {
        int32_t lastSchoolbookWin = 0;
        int32_t firstTransformWin = 0;
        bool any = false;
        for (int32_t p = 1; p <= kSweepLast; ++p) {
            const double schoolbook = Micro(Name("sweep/Multipl2_XL", p));
            const double transform = Micro(Name("sweep/Multipl_XL", p));
            if (schoolbook < 0 || transform < 0) continue;
            if (!any) {
                std::fprintf(out, "\nMultiplication sweep (us)\n  %2s %10s %10s %7s\n", "p",
                             "Multipl2", "Multipl", "ratio");
            }
            any = true;
            std::fprintf(out, "  %2d %10.3f %10.3f %7.2f\n", p, schoolbook, transform,
                         schoolbook / transform);
            if (schoolbook <= transform) lastSchoolbookWin = p;
            if (schoolbook > transform && firstTransformWin == 0) firstTransformWin = p;
        }
        if (!any) return;
        std::fprintf(out,
                     "Crossover: Multipl_XL first faster at p=%d; Multipl2_XL last faster at "
                     "p=%d\n",
                     firstTransformWin, lastSchoolbookWin);
    }

    // new/old per call of the goal cases timed for both libraries.
    void PrintGoals(std::FILE* out) const {
        bool any = false;
        for (const Goal& g : kGoals) {
            const double fresh = Micro(GoalName("new", g));
            const double old = Micro(GoalName("old", g));
            if (fresh < 0 || old <= 0) continue;
            if (!any) {
                std::fprintf(out, "\nGoals, new/old per call (us)\n  %-22s %12s %12s %8s %6s\n",
                             "", "old", "new", "new/old", "goal");
            }
            any = true;
            const std::string row = GoalName("", g).substr(std::strlen("goal//"));
            std::fprintf(out, "  %-22s %12.1f %12.1f %8.3f %6.2f %s\n", row.c_str(), old, fresh,
                         fresh / old, g.ratio, fresh / old <= g.ratio ? "met" : "NOT met");
        }
    }

    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    // --baseline=PATH: an older build of the library, loaded beside the one linked in (its symbols
    // kept to itself) for the goal cases.
    void* baseline = nullptr;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const char* path = ostrel2_bench::Option(argv[i], "--baseline");
        if (path == nullptr) {
            argv[kept++] = argv[i];
            continue;
        }
        baseline = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (baseline == nullptr) {
            std::fprintf(stderr, "ostrel2_bench: cannot load %s: %s\n", path, dlerror());
            return 1;
        }
    }
    argc = kept;
    RegisterAll();
    RegisterGoals(baseline);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
