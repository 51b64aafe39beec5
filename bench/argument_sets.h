// argument_sets.h -- the arguments each export is measured on, shared by the counting, timing and
// profiling programs.
//
// An argument set names an export of api/export_table.h and says what it is called with: one or
// two records (a short decimal value, the same value with every further live limb random, or a
// random full-length record), the double of Power_XL and Root_XL, the n of Factorial_XL. At a
// precision p a set gives a pool of kPoolSize calls; sets with a random part differ from call to
// call, the others repeat one call. Sets whose export is still planned are skipped by every
// program, so a new export is measured as soon as its row is marked built.
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

// The built export of the table with this name, or nullptr while it is planned (or unknown).
const ostrel2::api::Export* BuiltExport(const char* name);

// Whether the set's calls differ from one another (a random part in x or y).
bool Varies(const ArgumentSet& set);

// The records of one call of a set at precision p.
struct Call {
    LongNumber x;
    LongNumber y;
};

// The kPoolSize calls of a set at precision p, the same on every run and in every program.
std::vector<Call> MakePool(const ArgumentSet& set, int32_t precision);

// Points a's argument fields at the call's records and fills the plain arguments of the set
// (n, the precision of Pai_XL and Factorial_XL). a.result is left as it is.
void Bind(ostrel2::api::Arguments& a, const ArgumentSet& set, int32_t precision, Call& call);

// The set's key in the files the programs write: "Sin_XL|0.5".
std::string Key(const ArgumentSet& set);

}  // namespace ostrel2_bench
