// product_count.cpp -- counts the transform products and reciprocal divisions of one export call.
//
// Built as a counting program (product_counter.h): the entry points (api/exports.cpp) and a copy
// of the workers compiled with the counting hook are linked in statically, so that every call of
// MultiplLong, DivLong, MultiplSmall and DivSmall, whoever makes it, reaches the counters. The
// arithmetic is the library's own code. A DivLong
// call is counted as a division, and the products it makes inside are counted as products too
// (and apart, as products inside divisions), so "products" is every transform product the call
// made.
//
// Usage:
//   ostrel2_product_count [--precision=P[,P...]] [--filter=TEXT] [--tsv=FILE] [--samples=N]
//                         [--time[=ROUNDS]]
//       every argument set of argument_sets.cpp whose "export|arguments" contains TEXT, at each
//       precision (default 303). Sets with a random part are
//       counted over the pool the timing programs use (8 calls); --samples=N counts N calls.
//       --time runs the calls of each set with products again, ROUNDS times (default 3), and
//       gives the time of a call and its own time: the part outside the transform products, as
//       a share of the time inside them (steady clock read around every product: about 50 ns a
//       product on top, which matters only at the smallest precisions). The shortest round
//       counts.
//   ostrel2_product_count --export=NAME [--x=V] [--y=V] [--n=D] [--count=N] [--precision=P]
//       one export on arguments of your own; V is a decimal text (0.7), "full:TEXT" (the value
//       with random further limbs), "random" or "positive" (random full-length records).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "api/export_kinds.h"
#include "argument_sets.h"
#include "options.h"
#include "ostrel2.h"
#include "product_counter.h"

namespace {

using ostrel2_bench::ArgumentSet;
using ostrel2_bench::Option;
using ostrel2_bench::Operand;
using ostrel2_bench::Value;

// Counts over the calls of one set at one precision.
struct Tally {
    double products = 0;  // means per call
    double productsInDivisions = 0;
    double lowerProducts = 0;
    double divisions = 0;
    double smallProducts = 0;
    double smallDivisions = 0;
    int64_t fewest = INT64_MAX;  // products of the call with the fewest and the most
    int64_t most = 0;
    int32_t error = 0;           // the first non-zero error a call returned
    double callSeconds = 0;      // with --time: a call, and the products inside it
    double productSeconds = 0;
};

Tally CountSet(const ArgumentSet& set, int32_t precision, int samples, int rounds) {
    ostrel2_bench::BoundCalls bound(set, precision,
                                    ostrel2_bench::Varies(set) ? samples : 1);
    const int calls = bound.Distinct();
    Tally tally;
    for (int i = 0; i < calls; ++i) {
        ostrel2_bench::ResetCounts(precision);
        bound.Run(i);
        const ostrel2_bench::Counts& counts = ostrel2_bench::CurrentCounts();
        if (bound.Result().error != 0 && tally.error == 0) tally.error = bound.Result().error;
        tally.products += counts.products;
        tally.productsInDivisions += counts.productsInDivisions;
        tally.lowerProducts += counts.lowerProducts;
        tally.divisions += counts.divisions;
        tally.smallProducts += counts.smallProducts;
        tally.smallDivisions += counts.smallDivisions;
        tally.fewest = std::min(tally.fewest, counts.products);
        tally.most = std::max(tally.most, counts.products);
    }
    for (double* mean : {&tally.products, &tally.productsInDivisions, &tally.lowerProducts,
                         &tally.divisions, &tally.smallProducts, &tally.smallDivisions}) {
        *mean /= calls;
    }
    if (rounds > 0 && tally.products > 0) {
        // The calls once more, timed: the whole calls and the products inside them, in the round
        // least disturbed by other work on the machine (the shortest).
        ostrel2_bench::TimeProducts(true);
        double best = 1e300;
        for (int round = 0; round < rounds; ++round) {
            ostrel2_bench::ResetCounts(precision);
            const double start = ostrel2_bench::SteadySeconds();
            for (int i = 0; i < calls; ++i) bound.Run(i);
            const double total = ostrel2_bench::SteadySeconds() - start;
            if (total < best) {
                best = total;
                tally.callSeconds = total / calls;
                tally.productSeconds = ostrel2_bench::CurrentCounts().productSeconds / calls;
            }
        }
        ostrel2_bench::TimeProducts(false);
    }
    return tally;
}

void PrintHeader() {
    std::printf("%-5s %-14s %-22s %10s %13s %9s %9s %8s %10s %9s %12s %7s\n", "p", "export",
                "arguments", "products", "range", "divisions", "in div.", "lower p", "MulSmall",
                "DivSmall", "call us", "own");
}

void PrintRow(int32_t precision, const ArgumentSet& set, const Tally& t) {
    char range[32];
    std::snprintf(range, sizeof range, "%lld..%lld", static_cast<long long>(t.fewest),
                  static_cast<long long>(t.most));
    std::printf("%-5d %-14s %-22s %10.2f %13s %9.2f %9.2f %8.2f %10.1f %9.1f", precision,
                set.exportName, set.label, t.products, range, t.divisions, t.productsInDivisions,
                t.lowerProducts, t.smallProducts, t.smallDivisions);
    if (t.productSeconds > 0) {
        std::printf(" %12.3f %6.1f%%", t.callSeconds * 1e6,
                    100.0 * (t.callSeconds - t.productSeconds) / t.productSeconds);
    }
    if (t.error != 0) std::printf("  (error %d)", t.error);
    std::printf("\n");
}

void WriteRow(std::FILE* tsv, int32_t precision, const ArgumentSet& set, const Tally& t) {
    std::fprintf(tsv,
                 "%d\t%s\t%s\t%.4f\t%lld\t%lld\t%.4f\t%.4f\t%.4f\t%.2f\t%.2f\t%d\t%.6e\t%.6e\n",
                 precision, set.exportName, set.label, t.products,
                 static_cast<long long>(t.fewest), static_cast<long long>(t.most), t.divisions,
                 t.productsInDivisions, t.lowerProducts, t.smallProducts, t.smallDivisions,
                 t.error, t.callSeconds, t.productSeconds);
}

Operand OperandFrom(const char* text) {
    if (std::strcmp(text, "random") == 0) return {Value::Random, nullptr};
    if (std::strcmp(text, "positive") == 0) return {Value::Positive, nullptr};
    if (std::strncmp(text, "full:", 5) == 0) return {Value::Full, text + 5};
    return {Value::Short, text};
}

[[noreturn]] void Usage(const char* problem) {
    std::fprintf(stderr,
                 "ostrel2_product_count: %s\n"
                 "usage: ostrel2_product_count [--precision=P[,P...]] [--filter=TEXT] "
                 "[--tsv=FILE] [--samples=N] [--time[=ROUNDS]]\n"
                 "       ostrel2_product_count --export=NAME [--x=V] [--y=V] [--n=D] "
                 "[--count=N] [--precision=P]\n",
                 problem);
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int32_t> precisions;
    const char* filter = "";
    const char* tsvPath = nullptr;
    int samples = ostrel2_bench::kPoolSize;
    int rounds = 0;
    ArgumentSet own{nullptr, "own", {Value::None, nullptr}, {Value::None, nullptr}, 0.0, 0};
    std::string ownLabel;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* v = nullptr;
        if ((v = Option(arg, "--precision")) != nullptr) {
            if (!ostrel2_bench::ReadPrecisions(v, precisions)) Usage("bad precision");
        } else if ((v = Option(arg, "--filter")) != nullptr) {
            filter = v;
        } else if ((v = Option(arg, "--tsv")) != nullptr) {
            tsvPath = v;
        } else if ((v = Option(arg, "--time")) != nullptr) {
            rounds = std::max(0, std::atoi(v));
        } else if (std::strcmp(arg, "--time") == 0) {
            rounds = 3;
        } else if ((v = Option(arg, "--samples")) != nullptr) {
            samples = std::max(1, std::atoi(v));
        } else if ((v = Option(arg, "--export")) != nullptr) {
            own.exportName = v;
        } else if ((v = Option(arg, "--x")) != nullptr) {
            own.x = OperandFrom(v);
            ownLabel += std::string(ownLabel.empty() ? "" : ", ") + "x=" + v;
        } else if ((v = Option(arg, "--y")) != nullptr) {
            own.y = OperandFrom(v);
            ownLabel += std::string(ownLabel.empty() ? "" : ", ") + "y=" + v;
        } else if ((v = Option(arg, "--n")) != nullptr) {
            own.n = std::strtod(v, nullptr);
            ownLabel += std::string(ownLabel.empty() ? "" : ", ") + "n=" + v;
        } else if ((v = Option(arg, "--count")) != nullptr) {
            own.count = std::atoi(v);
            ownLabel += std::string(ownLabel.empty() ? "" : ", ") + "n=" + v;
        } else {
            Usage((std::string("unknown argument ") + arg).c_str());
        }
    }
    if (precisions.empty()) precisions.push_back(OSTREL2_MAX_PRECISION);

    std::vector<ArgumentSet> sets;
    if (own.exportName != nullptr) {
        if (ostrel2_bench::FindExport(own.exportName) == nullptr) {
            Usage((std::string(own.exportName) + " is not an export").c_str());
        }
        own.label = ownLabel.empty() ? "-" : ownLabel.c_str();
        sets.push_back(own);
    } else {
        for (const ArgumentSet& set : ostrel2_bench::ArgumentSets()) {
            if (ostrel2_bench::Key(set).find(filter) != std::string::npos) sets.push_back(set);
        }
    }

    std::FILE* tsv = nullptr;
    if (tsvPath != nullptr) {
        tsv = std::fopen(tsvPath, "w");
        if (tsv == nullptr) Usage("cannot write the TSV file");
        std::fprintf(tsv,
                     "p\texport\targuments\tproducts\tfewest\tmost\tdivisions\tin_divisions\t"
                     "lower\tmultipl_small\tdiv_small\terror\tcall_seconds\tproduct_seconds\n");
    }
    PrintHeader();
    for (int32_t p : precisions) {
        for (const ArgumentSet& set : sets) {
            const Tally tally = CountSet(set, p, samples, rounds);
            PrintRow(p, set, tally);
            if (tsv != nullptr) WriteRow(tsv, p, set, tally);
            std::fflush(stdout);
        }
    }
    if (tsv != nullptr) std::fclose(tsv);
    return 0;
}
