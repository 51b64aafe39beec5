// perfmul_calls.cpp -- the calls the product's speed work is measured on: the products and
// quotients through the exports, the square, the short division, and MPFR's and Boost's products
// and quotients on the same values, repeated for callgrind or timed.
//
// Usage:
//   ostrel2_perfmul_calls count <kind> <precision> <calls>
//       makes <calls> calls of one kind inside RunOnce (callgrind: --toggle-collect='*RunOnce*');
//   ostrel2_perfmul_calls time [precision ...]
//       prints microseconds per call of every kind at each precision (default 5 30 100 303),
//       the median of seven runs of the same loop, and the ratios the goals are stated in.
// Kinds: Multipl_XL, Square_XL (Multipl_XL with both arguments the same record), Div_XL,
// Multipl2_XL, Div2_XL, DivSmall (the worker, by counters 7 .. 1006 as a series divides),
// mpfr_mul, mpfr_sqr, mpfr_div, boost_mul, boost_div. MPFR works at the 10 (p + 4) digits a
// record carries (bits = ceil(10 (p + 4) log2 10)); Boost's cpp_dec_float at 10 p digits.
#include <mpfr.h>

#include <algorithm>
#include <boost/multiprecision/cpp_dec_float.hpp>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "arith/divide_long.h"
#include "core/long_number.h"
#include "ostrel2.h"
#include "records.h"

namespace {

namespace mp = boost::multiprecision;

constexpr int kPool = 8;  // operand pairs each kind cycles through

// Boost numbers of 10 p digits, for the precisions measured.
template <unsigned kDigits>
using Dec = mp::number<mp::cpp_dec_float<kDigits>, mp::et_off>;

struct BoostOperands {
    virtual ~BoostOperands() = default;
    virtual void Multiply(int i) = 0;
    virtual void Divide(int i) = 0;
};

template <unsigned kDigits>
struct BoostOf : BoostOperands {
    std::vector<Dec<kDigits>> x, y;
    Dec<kDigits> r;
    void Multiply(int i) override { r = x[i] * y[i]; }
    void Divide(int i) override { r = x[i] / y[i]; }
};

std::unique_ptr<BoostOperands> MakeBoost(int32_t p) {
    switch (p) {
        case 1: return std::make_unique<BoostOf<10>>();
        case 5: return std::make_unique<BoostOf<50>>();
        case 10: return std::make_unique<BoostOf<100>>();
        case 30: return std::make_unique<BoostOf<300>>();
        case 100: return std::make_unique<BoostOf<1000>>();
        case 303: return std::make_unique<BoostOf<3030>>();
        default: return nullptr;
    }
}

template <unsigned kDigits>
void FillBoost(BoostOperands& b, const std::vector<std::string>& xs,
               const std::vector<std::string>& ys) {
    auto& d = static_cast<BoostOf<kDigits>&>(b);
    for (size_t i = 0; i < xs.size(); ++i) {
        d.x.emplace_back(xs[i]);
        d.y.emplace_back(ys[i]);
    }
}

struct Operands {
    int32_t precision;
    LongNumber x[kPool], y[kPool], result;
    ostrel2::WorkLong wx[kPool], wr;
    mpfr_t mx[kPool], my[kPool], mr;
    std::unique_ptr<BoostOperands> boost;

    explicit Operands(int32_t p) : precision(p) {
        std::mt19937_64 rng(7 * 1000003u + static_cast<uint64_t>(p));
        std::vector<std::string> xs, ys;
        const auto bits = static_cast<mpfr_prec_t>(ostrel2_bench::BinaryDigits(p));
        mpfr_init2(mr, bits);
        for (int i = 0; i < kPool; ++i) {
            x[i] = ostrel2_bench::RandomRecord(rng, p, 0);
            y[i] = ostrel2_bench::RandomRecord(rng, p, 0);
            std::memset(&wx[i], 0, sizeof wx[i]);
            std::memcpy(&wx[i], &x[i], sizeof x[i]);
            xs.push_back(ostrel2_bench::DecimalText(x[i]));
            ys.push_back(ostrel2_bench::DecimalText(y[i]));
            mpfr_init2(mx[i], bits);
            mpfr_init2(my[i], bits);
            mpfr_set_str(mx[i], xs.back().c_str(), 10, MPFR_RNDN);
            mpfr_set_str(my[i], ys.back().c_str(), 10, MPFR_RNDN);
        }
        boost = MakeBoost(p);
        if (boost) {
            switch (p) {
                case 1: FillBoost<10>(*boost, xs, ys); break;
                case 5: FillBoost<50>(*boost, xs, ys); break;
                case 10: FillBoost<100>(*boost, xs, ys); break;
                case 30: FillBoost<300>(*boost, xs, ys); break;
                case 100: FillBoost<1000>(*boost, xs, ys); break;
                case 303: FillBoost<3030>(*boost, xs, ys); break;
            }
        }
    }
    ~Operands() {
        for (int i = 0; i < kPool; ++i) {
            mpfr_clear(mx[i]);
            mpfr_clear(my[i]);
        }
        mpfr_clear(mr);
    }
};

const char* const kKinds[] = {"Multipl_XL", "Square_XL", "Div_XL", "Multipl2_XL", "Div2_XL",
                              "DivSmall",   "mpfr_mul",  "mpfr_sqr", "mpfr_div", "boost_mul",
                              "boost_div"};
constexpr int kKindCount = sizeof kKinds / sizeof kKinds[0];

int KindIndex(const char* name) {
    for (int k = 0; k < kKindCount; ++k)
        if (std::strcmp(name, kKinds[k]) == 0) return k;
    return -1;
}

// One call of kind k on pair call % kPool.
inline void Call(int k, Operands& o, long call) {
    const int i = static_cast<int>(call % kPool);
    switch (k) {
        case 0: Multipl_XL(&o.result, &o.x[i], &o.y[i]); break;
        case 1: Multipl_XL(&o.result, &o.x[i], &o.x[i]); break;
        case 2: Div_XL(&o.result, &o.x[i], &o.y[i]); break;
        case 3: Multipl2_XL(&o.result, &o.x[i], &o.y[i]); break;
        case 4: Div2_XL(&o.result, &o.x[i], &o.y[i]); break;
        case 5: ostrel2::DivSmall(o.wr, o.wx[i], static_cast<double>(7 + call % 1000)); break;
        case 6: mpfr_mul(o.mr, o.mx[i], o.my[i], MPFR_RNDN); break;
        case 7: mpfr_sqr(o.mr, o.mx[i], MPFR_RNDN); break;
        case 8: mpfr_div(o.mr, o.mx[i], o.my[i], MPFR_RNDN); break;
        case 9: o.boost->Multiply(i); break;
        case 10: o.boost->Divide(i); break;
    }
}

// The counted call, kept out of line so that callgrind can count it alone, and the uncounted
// first call (tables built once per process are not part of a call's cost).
__attribute__((noinline)) void RunOnce(int k, Operands& o, long call) { Call(k, o, call); }
__attribute__((noinline)) void WarmUp(int k, Operands& o) { Call(k, o, 0); }

bool Available(int k, const Operands& o) { return k < 9 || o.boost != nullptr; }

// Microseconds per call: median of seven timed loops of about 20 ms each.
double Time(int k, Operands& o) {
    long calls = 1;
    for (;;) {
        const auto start = std::chrono::steady_clock::now();
        for (long c = 0; c < calls; ++c) RunOnce(k, o, c);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds > 0.02) break;
        calls *= 2;
    }
    std::vector<double> runs;
    for (int r = 0; r < 7; ++r) {
        const auto start = std::chrono::steady_clock::now();
        for (long c = 0; c < calls; ++c) RunOnce(k, o, c);
        runs.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(runs.begin(), runs.end());
    return runs[3] / static_cast<double>(calls) * 1e6;
}

int TimeAll(const std::vector<int32_t>& precisions) {
    std::printf("%-12s", "us/call");
    for (const int32_t p : precisions) std::printf(" %10s", ("p=" + std::to_string(p)).c_str());
    std::printf("\n");
    std::vector<std::vector<double>> t(kKindCount, std::vector<double>(precisions.size(), 0.0));
    for (size_t j = 0; j < precisions.size(); ++j) {
        Operands o(precisions[j]);
        for (int k = 0; k < kKindCount; ++k) t[k][j] = Available(k, o) ? Time(k, o) : 0.0;
    }
    for (int k = 0; k < kKindCount; ++k) {
        std::printf("%-12s", kKinds[k]);
        for (size_t j = 0; j < precisions.size(); ++j) std::printf(" %10.3f", t[k][j]);
        std::printf("\n");
    }
    const struct {
        const char* name;
        int ours, theirs;
    } ratios[] = {{"Multipl/mpfr_mul", 0, 6},  {"Square/mpfr_sqr", 1, 7},
                  {"Multipl/boost", 0, 9},     {"Multipl2/boost", 3, 9},
                  {"Div/boost", 2, 10},        {"Div2/boost", 4, 10},
                  {"Div/Multipl", 2, 0},       {"Square/Multipl", 1, 0}};
    for (const auto& r : ratios) {
        std::printf("%-18s", r.name);
        for (size_t j = 0; j < precisions.size(); ++j)
            std::printf(" %8.2f", t[r.theirs][j] > 0 ? t[r.ours][j] / t[r.theirs][j] : 0.0);
        std::printf("\n");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "count") == 0 && argc == 5) {
        const int k = KindIndex(argv[2]);
        const auto p = static_cast<int32_t>(std::strtol(argv[3], nullptr, 10));
        const long calls = std::strtol(argv[4], nullptr, 10);
        if (k < 0) {
            std::fprintf(stderr, "unknown kind %s\n", argv[2]);
            return 2;
        }
        Operands o(p);
        if (!Available(k, o)) {
            std::fprintf(stderr, "%s is not built for precision %d\n", argv[2], p);
            return 2;
        }
        WarmUp(k, o);
        for (long c = 0; c < calls; ++c) RunOnce(k, o, c);
        std::printf("%ld calls of %s at precision %d, error %d\n", calls, argv[2], p,
                    o.result.error);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "time") == 0) {
        std::vector<int32_t> precisions;
        for (int a = 2; a < argc; ++a)
            precisions.push_back(static_cast<int32_t>(std::strtol(argv[a], nullptr, 10)));
        if (precisions.empty()) precisions = {5, 30, 100, 303};
        return TimeAll(precisions);
    }
    std::fprintf(stderr,
                 "usage: %s count <kind> <precision> <calls> | time [precision ...]\n", argv[0]);
    return 2;
}
