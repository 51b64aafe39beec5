// argument_sets.h -- the arguments each export is measured on, shared by the counting, timing and
// profiling programs.
//
// An argument set names an export of api/export_table.h and says what it is called with: one or
// two records (a short decimal value, the same value with every further live limb random, or a
// random full-length record), the double of Power_XL and Root_XL, the n of Factorial_XL. At a
// precision p a set gives a pool of kPoolSize calls; sets with a random part differ from call to
// call, the others repeat one call.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "api/export_kinds.h"
#include "ostrel2.h"

namespace ostrel2_bench {

// Calls in the pool of each set at each precision: the operands every program cycles through.
constexpr int kPoolSize = 8;

// What an argument record holds.
enum class Value {
    None,          // the export takes no such record
    Short,         // the decimal text alone, e.g. 0.5
    Full,          // the decimal text with every live limb after its last non-zero one random
    Random,        // a random full-length record between 1 and 10^10 in magnitude, either sign
    Positive,      // the same, positive
    HalfInteger,   // random full-length, its integer part over half of the live limbs
    WholeInteger,  // random full-length, every live limb in its integer part
    SameAsX,       // the x record once more (a square)
};

struct Operand {
    Value value;
    const char* text;  // for Short and Full
};

struct ArgumentSet {
    const char* exportName;  // a name of api/export_table.h
    const char* label;       // the arguments as the tables show them
    Operand x;
    Operand y;
    double n;       // the double of Power_XL and Root_XL
    int32_t count;  // the n of Factorial_XL
};

// Every argument set, in the order of the tables.
const std::vector<ArgumentSet>& ArgumentSets();

// The export of the table with this name, or nullptr for an unknown name.
const ostrel2::api::Export* FindExport(const char* name);

// Whether the set's calls differ from one another (a random part in x or y).
bool Varies(const ArgumentSet& set);

// The records of one call of a set at precision p.
struct Call {
    LongNumber x;
    LongNumber y;
};

// The calls of a set at precision p, the same on every run and in every program: kPoolSize of
// them, or `count` where more are asked for (further operands drawn the same way).
std::vector<Call> MakePool(const ArgumentSet& set, int32_t precision, int count = kPoolSize);

// The pool of a set at precision p bound to its export's arguments, ready to be called.
class BoundCalls {
public:
    BoundCalls(const ArgumentSet& set, int32_t precision, int count = kPoolSize);
    BoundCalls(const BoundCalls&) = delete;
    BoundCalls& operator=(const BoundCalls&) = delete;

    // Makes call k of the pool (k below Distinct()). An export that writes into its arguments
    // (LCM_XL's cofactors) gets fresh copies of the call's records first; the copies (about
    // 5 kB) are negligible beside its Euclid steps.
    void Run(int k);
    // Calls that differ: the pool's size for a set with a random part, else 1.
    int Distinct() const { return distinct_; }
    const LongNumber& Result() const { return result_; }
    const std::vector<Call>& Pool() const { return pool_; }
    const ostrel2::api::Export& Export() const { return *export_; }

private:
    const ostrel2::api::Export* export_;
    std::vector<Call> pool_;
    std::vector<Call> work_;
    std::vector<ostrel2::api::Arguments> bound_;
    LongNumber result_;
    int distinct_;
    bool writesArguments_;
};

// The set's key in the files the programs write: "Sin_XL|0.5".
std::string Key(const ArgumentSet& set);

}  // namespace ostrel2_bench
