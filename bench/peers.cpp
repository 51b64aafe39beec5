// peers.cpp -- every argument set of every export beside MPFR and Boost's cpp_dec_float, in one
// run, at the same number of decimal digits.
//
// For each precision p and each argument set, the program times the export
// through the shared library, MPFR and Boost on the same values (the records' exact decimal text,
// which MPFR and Boost round to their own precision): 10 p decimal digits, the digits the result
// promises (p limbs of ten), which is ceil(10 p log2 10) bits for MPFR. The contestants take turns
// within each round, and each one's time is the median over the rounds of its CPU time per call
// (thread CPU time; a round calls one contestant for at least --min-time seconds, cycling
// through the set's 8 calls). A row gets as many rounds as fit --row-budget seconds (default 20)
// at the time its first calls took, at least one and at most --rounds: the factorial of 10^6 at
// p = 303 takes seconds a call. --dear=S gives a row whose first calls take more than S seconds
// together a single round of a single call per contestant (a sampled run at large precisions). Before timing, the first calls' results are compared on their
// leading 12 digits, so that a peer computing something else is noticed. Multipl_XL on random
// operands takes its turns in every row too ("product"): the unit of the row's overhead.
//
// Usage: ostrel2_peers [--precision=P,...] [--filter=TEXT] [--rounds=N] [--min-time=S]
//                      [--tsv=FILE] [--arguments=FILE] [--row-budget=S] [--dear=S]
//   --tsv        writes one line per set, precision and contestant: the seconds per call
//   --arguments  writes the operands of every set and precision as decimal text and stops: the
//                input of peers_decimal.py, which times Python's decimal on the same values
#include <mpfr.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "api/export_kinds.h"
#include "argument_sets.h"
#include "options.h"
#include "ostrel2.h"
#include "peers.h"
#include "records.h"
#include "text/decimal_text.h"

namespace ostrel2_bench {

Op OpOf(const ArgumentSet& set) {
    static const struct {
        const char* name;
        Op op;
    } ops[] = {
        {"Add_XL", Op::Add},       {"Subtract_XL", Op::Subtract}, {"Multipl2_XL", Op::Multiply},
        {"Multipl_XL", Op::Multiply}, {"Div2_XL", Op::Divide},    {"Div_XL", Op::Divide},
        {"Abs_XL", Op::Abs},       {"Fix_XL", Op::Trunc},         {"Round_XL", Op::Round},
        {"Mod_XL", Op::Fmod},      {"Sqr_XL", Op::Sqrt},          {"Root_XL", Op::Root},
        {"Power_XL", Op::PowerInt}, {"Pai_XL", Op::Pi},           {"Factorial_XL", Op::Factorial},
        {"Cos_XL", Op::Cos},       {"Sin_XL", Op::Sin},           {"Tan_XL", Op::Tan},
        {"Asn_XL", Op::Asin},      {"Acs_XL", Op::Acos},          {"Atn_XL", Op::Atan},
        {"Exp_XL", Op::Exp},       {"Loge_XL", Op::Log},          {"Log10_XL", Op::Log10},
        {"Sinh_XL", Op::Sinh},     {"Cosh_XL", Op::Cosh},         {"Tanh_XL", Op::Tanh},
        {"Asinh_XL", Op::Asinh},   {"Acosh_XL", Op::Acosh},       {"Atanh_XL", Op::Atanh},
        {"PowerX_XL", Op::Power},
    };
    for (const auto& row : ops) {
        if (std::strcmp(row.name, set.exportName) != 0) continue;
        if (row.op == Op::Multiply && set.y.value == Value::SameAsX) return Op::Square;
        return row.op;
    }
    return Op::None;
}

}  // namespace ostrel2_bench

namespace {

using ostrel2_bench::ArgumentSet;
using ostrel2_bench::Option;
using ostrel2_bench::Call;
using ostrel2_bench::Op;

double ThreadSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// Seconds per call of run(k), k cycling through 0 .. poolSize - 1, over at least minTime seconds
// and at least one call (batches double, so the clock is read rarely).
double PerCall(const std::function<void(int)>& run, int poolSize, double minTime) {
    int64_t calls = 0;
    int64_t batch = 1;
    const double start = ThreadSeconds();
    double elapsed = 0;
    do {
        for (int64_t i = 0; i < batch; ++i, ++calls) run(static_cast<int>(calls % poolSize));
        elapsed = ThreadSeconds() - start;
        batch *= 2;
    } while (elapsed < minTime);
    return elapsed / static_cast<double>(calls);
}

// A participant of one row: its name in the files, how to make one call, and its result as
// scientific text for the check of values.
struct Contestant {
    std::string name;
    std::function<void(int)> run;
    std::function<std::string()> result;
    std::vector<double> seconds;
};

// MPFR numbers for one row: operands from the records' decimal text and a result, at `bits`.
class MpfrPool {
public:
    MpfrPool(mpfr_prec_t bits, const std::vector<std::string>& x, const std::vector<std::string>& y)
        : x_(x.size()), y_(y.size()) {
        for (size_t i = 0; i < x.size(); ++i) Init(x_[i], bits, x[i]);
        for (size_t i = 0; i < y.size(); ++i) Init(y_[i], bits, y[i]);
        mpfr_init2(result_, bits);
        mpfr_set_ui(result_, 0, MPFR_RNDN);
    }
    ~MpfrPool() {
        for (auto& v : x_) mpfr_clear(v.value);
        for (auto& v : y_) mpfr_clear(v.value);
        mpfr_clear(result_);
    }
    MpfrPool(const MpfrPool&) = delete;
    MpfrPool& operator=(const MpfrPool&) = delete;

    // Computes op on the k-th operands; keepPi leaves MPFR's cache of pi in place.
    void Run(Op op, int k, double n, int32_t count, bool keepPi) {
        mpfr_srcptr x = x_.empty() ? result_ : x_[k % x_.size()].value;
        mpfr_srcptr y = y_.empty() ? result_ : y_[k % y_.size()].value;
        const mpfr_rnd_t rnd = MPFR_RNDN;
        switch (op) {
            case Op::Add: mpfr_add(result_, x, y, rnd); break;
            case Op::Subtract: mpfr_sub(result_, x, y, rnd); break;
            case Op::Multiply: mpfr_mul(result_, x, y, rnd); break;
            case Op::Square: mpfr_sqr(result_, x, rnd); break;
            case Op::Divide: mpfr_div(result_, x, y, rnd); break;
            case Op::Abs: mpfr_abs(result_, x, rnd); break;
            case Op::Trunc: mpfr_trunc(result_, x); break;
            case Op::Round: mpfr_round(result_, x); break;
            case Op::Fmod: mpfr_fmod(result_, x, y, rnd); break;
            case Op::Sqrt: mpfr_sqrt(result_, x, rnd); break;
            case Op::Root: mpfr_rootn_ui(result_, x, static_cast<unsigned long>(n), rnd); break;
            case Op::PowerInt: mpfr_pow_si(result_, x, static_cast<long>(n), rnd); break;
            case Op::Pi:
                if (!keepPi) mpfr_free_cache();
                mpfr_const_pi(result_, rnd);
                break;
            case Op::Factorial: mpfr_fac_ui(result_, static_cast<unsigned long>(count), rnd); break;
            case Op::Cos: mpfr_cos(result_, x, rnd); break;
            case Op::Sin: mpfr_sin(result_, x, rnd); break;
            case Op::Tan: mpfr_tan(result_, x, rnd); break;
            case Op::Asin: mpfr_asin(result_, x, rnd); break;
            case Op::Acos: mpfr_acos(result_, x, rnd); break;
            case Op::Atan: mpfr_atan(result_, x, rnd); break;
            case Op::Exp: mpfr_exp(result_, x, rnd); break;
            case Op::Log: mpfr_log(result_, x, rnd); break;
            case Op::Log10: mpfr_log10(result_, x, rnd); break;
            case Op::Sinh: mpfr_sinh(result_, x, rnd); break;
            case Op::Cosh: mpfr_cosh(result_, x, rnd); break;
            case Op::Tanh: mpfr_tanh(result_, x, rnd); break;
            case Op::Asinh: mpfr_asinh(result_, x, rnd); break;
            case Op::Acosh: mpfr_acosh(result_, x, rnd); break;
            case Op::Atanh: mpfr_atanh(result_, x, rnd); break;
            case Op::Power: mpfr_pow(result_, x, y, rnd); break;
            case Op::None: break;
        }
    }

    std::string Result(int significant) const {
        std::vector<char> buffer(significant + 64);
        mpfr_snprintf(buffer.data(), buffer.size(), "%.*Re", significant - 1, result_);
        return buffer.data();
    }

private:
    struct Number {
        mpfr_t value;
    };
    static void Init(Number& number, mpfr_prec_t bits, const std::string& text) {
        mpfr_init2(number.value, bits);
        mpfr_set_str(number.value, text.c_str(), 10, MPFR_RNDN);
    }
    std::vector<Number> x_;
    std::vector<Number> y_;
    mpfr_t result_;
};

// Our result as scientific text with `significant` digits, from the record's exact text.
std::string OurResult(const LongNumber& r, int significant) {
    if (r.error != 0) return "error";
    static char text[ostrel2::text::kTextCapacity];
    if (ostrel2::text::Format(r, ostrel2::text::FormatMode::AllLimbs, text, sizeof text) !=
        ostrel2::text::FormatStatus::Ok) {
        return "unformattable";
    }
    mpfr_t value;
    mpfr_init2(value, 4 * 3200);
    mpfr_set_str(value, text, 10, MPFR_RNDN);
    std::vector<char> buffer(significant + 64);
    mpfr_snprintf(buffer.data(), buffer.size(), "%.*Re", significant - 1, value);
    mpfr_clear(value);
    return buffer.data();
}

// Whether two scientific texts agree to about `digits` significant digits (relative difference of
// their mantissas, exponents equal after alignment).
bool Agree(const std::string& a, const std::string& b, int digits) {
    mpfr_t x, y;
    mpfr_inits2(256, x, y, static_cast<mpfr_ptr>(nullptr));
    const bool read = mpfr_set_str(x, a.c_str(), 10, MPFR_RNDN) == 0 &&
                      mpfr_set_str(y, b.c_str(), 10, MPFR_RNDN) == 0;
    bool agree = false;
    if (read) {
        if (mpfr_zero_p(x) || mpfr_zero_p(y)) {
            agree = mpfr_zero_p(x) && mpfr_zero_p(y);
        } else {
            mpfr_sub(y, x, y, MPFR_RNDN);
            mpfr_div(y, y, x, MPFR_RNDN);
            agree = std::fabs(mpfr_get_d(y, MPFR_RNDN)) < std::pow(10.0, -digits);
        }
    }
    mpfr_clears(x, y, static_cast<mpfr_ptr>(nullptr));
    return agree;
}

[[noreturn]] void Usage(const std::string& problem) {
    std::fprintf(stderr,
                 "ostrel2_peers: %s\nusage: ostrel2_peers [--precision=P,...] [--filter=TEXT] "
                 "[--rounds=N] [--min-time=S] [--tsv=FILE] [--arguments=FILE] "
                 "[--row-budget=S] [--dear=S]\n",
                 problem.c_str());
    std::exit(2);
}

struct Texts {
    std::vector<std::string> x;
    std::vector<std::string> y;
};

// The operands of the pool as exact decimal text (none for the kinds without records).
Texts TextsOf(const ArgumentSet& set, const std::vector<Call>& pool) {
    Texts texts;
    const bool oneCall = !ostrel2_bench::Varies(set);
    for (const Call& call : pool) {
        if (set.x.value != ostrel2_bench::Value::None) {
            texts.x.push_back(ostrel2_bench::DecimalText(call.x));
        }
        if (set.y.value != ostrel2_bench::Value::None) {
            texts.y.push_back(ostrel2_bench::DecimalText(
                set.y.value == ostrel2_bench::Value::SameAsX ? call.x : call.y));
        }
        if (oneCall) break;
    }
    return texts;
}

void WriteArguments(const char* path, const std::vector<int32_t>& precisions,
                    const std::vector<const ArgumentSet*>& sets) {
    std::FILE* out = std::fopen(path, "w");
    if (out == nullptr) Usage(std::string("cannot write ") + path);
    std::fprintf(out, "p\texport\targuments\tcall\tx\ty\tn\tcount\n");
    for (int32_t p : precisions) {
        for (const ArgumentSet* set : sets) {
            const std::vector<Call> pool = ostrel2_bench::MakePool(*set, p);
            const Texts texts = TextsOf(*set, pool);
            const size_t calls = std::max({texts.x.size(), texts.y.size(), size_t{1}});
            for (size_t k = 0; k < calls; ++k) {
                std::fprintf(out, "%d\t%s\t%s\t%zu\t%s\t%s\t%.17g\t%d\n", p, set->exportName,
                             set->label, k, k < texts.x.size() ? texts.x[k].c_str() : "-",
                             k < texts.y.size() ? texts.y[k].c_str() : "-", set->n, set->count);
            }
        }
    }
    std::fclose(out);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int32_t> precisions;
    const char* filter = "";
    const char* tsvPath = nullptr;
    const char* argumentsPath = nullptr;
    int rounds = 5;
    double rowBudget = 20.0;
    double dear = 1e300;
    double minTime = 0.05;
    for (int i = 1; i < argc; ++i) {
        const char* v = nullptr;
        if ((v = Option(argv[i], "--precision")) != nullptr) {
            if (!ostrel2_bench::ReadPrecisions(v, precisions)) Usage("bad precision");
        } else if ((v = Option(argv[i], "--filter")) != nullptr) {
            filter = v;
        } else if ((v = Option(argv[i], "--rounds")) != nullptr) {
            rounds = std::max(1, std::atoi(v));
        } else if ((v = Option(argv[i], "--min-time")) != nullptr) {
            minTime = std::strtod(v, nullptr);
        } else if ((v = Option(argv[i], "--tsv")) != nullptr) {
            tsvPath = v;
        } else if ((v = Option(argv[i], "--arguments")) != nullptr) {
            argumentsPath = v;
        } else if ((v = Option(argv[i], "--row-budget")) != nullptr) {
            rowBudget = std::strtod(v, nullptr);
        } else if ((v = Option(argv[i], "--dear")) != nullptr) {
            dear = std::strtod(v, nullptr);
        } else {
            Usage(std::string("unknown argument ") + argv[i]);
        }
    }
    if (precisions.empty()) precisions = {3, 10, 30, 303};

    std::vector<const ArgumentSet*> sets;
    for (const ArgumentSet& set : ostrel2_bench::ArgumentSets()) {
        if (ostrel2_bench::Key(set).find(filter) == std::string::npos) continue;
        sets.push_back(&set);
    }
    if (argumentsPath != nullptr) {
        WriteArguments(argumentsPath, precisions, sets);
        return 0;
    }

    std::FILE* tsv = nullptr;
    if (tsvPath != nullptr) {
        tsv = std::fopen(tsvPath, "w");
        if (tsv == nullptr) Usage(std::string("cannot write ") + tsvPath);
        std::fprintf(tsv, "p\texport\targuments\tcontestant\tseconds\tfastest\tslowest\n");
    }
    std::printf("%-5s %-13s %-21s %12s %12s %12s %12s %9s %9s %9s\n", "p", "export", "arguments",
                "ours us", "MPFR us", "MPFR kept", "Boost us", "ours/MPFR", "ours/Boost",
                "ours/mul");
    // Multipl_XL on its random operands: timed in the turns of every other row, so that each
    // row's overhead is measured against a product of the same moments.
    const ArgumentSet* productSet = nullptr;
    for (const ArgumentSet* set : sets) {
        if (ostrel2_bench::Key(*set) == "Multipl_XL|random") productSet = set;
    }
    if (productSet == nullptr) {
        for (const ArgumentSet& set : ostrel2_bench::ArgumentSets()) {
            if (ostrel2_bench::Key(set) == "Multipl_XL|random") productSet = &set;
        }
    }
    int mismatches = 0;
    for (int32_t p : precisions) {
        const int64_t digits = 10 * static_cast<int64_t>(p);
        const auto bits = static_cast<mpfr_prec_t>(std::ceil(static_cast<double>(digits) *
                                                             std::log2(10.0)));
        ostrel2_bench::BoundCalls product(*productSet, p);
        for (const ArgumentSet* set : sets) {
            const Op op = ostrel2_bench::OpOf(*set);
            ostrel2_bench::BoundCalls ours(*set, p);
            const int poolSize = ours.Distinct();
            std::vector<Contestant> contestants;
            contestants.push_back({"ours", [&](int k) { ours.Run(k); },
                                   [&] { return OurResult(ours.Result(), 16); }, {}});
            // The transform product in the same turns, the unit of the overhead tables.
            if (set != productSet) {
                contestants.push_back({"product", [&](int k) { product.Run(k); }, nullptr, {}});
            }

            const Texts texts = TextsOf(*set, ours.Pool());
            std::unique_ptr<MpfrPool> mpfr;
            std::unique_ptr<ostrel2_bench::BoostCall> boost;
            if (op != Op::None) {
                mpfr = std::make_unique<MpfrPool>(bits, texts.x, texts.y);
                MpfrPool* m = mpfr.get();
                contestants.push_back({"mpfr",
                                       [=](int k) { m->Run(op, k, set->n, set->count, false); },
                                       [=] { return m->Result(16); }, {}});
                if (op == Op::Pi) {
                    contestants.push_back({"mpfr_kept",
                                           [=](int k) { m->Run(op, k, set->n, set->count, true); },
                                           [=] { return m->Result(16); }, {}});
                }
                boost = ostrel2_bench::MakeBoostCall(op, digits, texts.x, texts.y, set->n,
                                                     set->count);
                if (boost != nullptr) {
                    ostrel2_bench::BoostCall* b = boost.get();
                    contestants.push_back({"boost", [=](int k) { b->Run(k); },
                                           [=] { return b->Result(16); }, {}});
                }
            }

            // The first call of each, and the check that all computed the same value.
            std::string reference;
            const double firstStart = ThreadSeconds();
            for (Contestant& c : contestants) {
                c.run(0);
                if (!c.result) continue;
                const std::string value = c.result();
                if (reference.empty()) {
                    reference = value;
                } else if (!Agree(reference, value, 12)) {
                    ++mismatches;
                    std::printf("!! p=%d %s %s: %s gives %s, %s %s\n", p, set->exportName,
                                set->label, c.name.c_str(), value.c_str(),
                                contestants.front().name.c_str(), reference.c_str());
                }
            }
            // Rows whose calls take seconds (the factorial of 10^6 at p = 303) get fewer rounds.
            const double firstCalls = ThreadSeconds() - firstStart;
            const bool dearRow = firstCalls > dear;
            const int rowRounds = dearRow ? 1 : std::max(
                1, std::min(rounds, static_cast<int>(rowBudget / std::max(firstCalls, 1e-9))));
            for (int r = 0; r < rowRounds; ++r) {
                for (Contestant& c : contestants) {
                    c.seconds.push_back(PerCall(c.run, poolSize, dearRow ? 0.0 : minTime));
                }
            }

            double median[5] = {-1, -1, -1, -1, -1};  // ours, mpfr, mpfr_kept, boost, product
            for (Contestant& c : contestants) {
                std::vector<double> s = c.seconds;
                std::sort(s.begin(), s.end());
                const double m = s[s.size() / 2];
                const int column = c.name == "ours"        ? 0
                                   : c.name == "mpfr"      ? 1
                                   : c.name == "mpfr_kept" ? 2
                                   : c.name == "boost"     ? 3
                                                           : 4;
                median[column] = m;
                if (tsv != nullptr) {
                    std::fprintf(tsv, "%d\t%s\t%s\t%s\t%.6e\t%.6e\t%.6e\n", p, set->exportName,
                                 set->label, c.name.c_str(), m, s.front(), s.back());
                }
            }
            std::printf("%-5d %-13s %-21s", p, set->exportName, set->label);
            for (int column = 0; column < 4; ++column) {
                const double m = median[column];
                if (m < 0) {
                    std::printf(" %12s", "-");
                } else {
                    std::printf(" %12.3f", m * 1e6);
                }
            }
            for (int column : {1, 3, 4}) {
                if (median[column] > 0 && median[0] > 0) {
                    std::printf(" %9.2f", median[0] / median[column]);
                } else {
                    std::printf(" %9s", "-");
                }
            }
            std::printf("\n");
            std::fflush(stdout);
            if (tsv != nullptr) std::fflush(tsv);
        }
    }
    if (tsv != nullptr) std::fclose(tsv);
    if (mismatches > 0) {
        std::printf("%d rows whose peers computed another value (marked !!)\n", mismatches);
    }
    return 0;
}
