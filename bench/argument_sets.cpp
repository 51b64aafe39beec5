// argument_sets.cpp -- the arguments each export is measured on, shared by the counting, timing and
// profiling programs.
#include "argument_sets.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "records.h"
#include "text/decimal_text.h"

namespace ostrel2_bench {

namespace {

constexpr Operand kNone{Value::None, nullptr};
constexpr Operand kRandom{Value::Random, nullptr};
constexpr Operand kPositive{Value::Positive, nullptr};

constexpr Operand Short(const char* text) { return {Value::Short, text}; }
constexpr Operand Full(const char* text) { return {Value::Full, text}; }

// One argument x, short or full-length.
constexpr ArgumentSet One(const char* name, const char* label, Operand x) {
    return {name, label, x, kNone, 0.0, 0};
}

std::vector<ArgumentSet> BuildSets() {
    std::vector<ArgumentSet> sets = {
        // The arithmetic on random full-length operands; the integer-part functions on numbers
        // whose integer part covers half of the limbs.
        {"Add_XL", "random", kRandom, kRandom, 0.0, 0},
        {"Subtract_XL", "random", kRandom, kRandom, 0.0, 0},
        {"Multipl2_XL", "random", kRandom, kRandom, 0.0, 0},
        {"Multipl_XL", "random", kRandom, kRandom, 0.0, 0},
        {"Multipl_XL", "x*x", kRandom, {Value::SameAsX, nullptr}, 0.0, 0},
        {"Div2_XL", "random", kRandom, kRandom, 0.0, 0},
        {"Div_XL", "random", kRandom, kRandom, 0.0, 0},
        One("Abs_XL", "half integer", {Value::HalfInteger, nullptr}),
        One("Fix_XL", "half integer", {Value::HalfInteger, nullptr}),
        One("Round_XL", "half integer", {Value::HalfInteger, nullptr}),
        // The remainder by a short divisor: with a random full-length one the product n y of
        // a quotient of some 150 limbs would not fit its limbs, and the remainder fails.
        {"Mod_XL", "half integer, 7", {Value::HalfInteger, nullptr}, Short("7"), 0.0, 0},
        // Square root, powers, roots, pi and factorial.
        One("Sqr_XL", "random", kPositive),
        {"Root_XL", "random, n=7", kPositive, kNone, 7.0, 0},
        {"Power_XL", "random, n=12345", kPositive, kNone, 12345.0, 0},
        {"Pai_XL", "-", kNone, kNone, 0.0, 0},
        {"Factorial_XL", "n=1000", kNone, kNone, 0.0, 1000},
        {"Factorial_XL", "n=1000000", kNone, kNone, 0.0, 1000000},
    };
    for (const char* name : {"Cos_XL", "Sin_XL", "Tan_XL"}) {
        for (const char* angle : {"0.5", "1", "2", "100"}) {
            sets.push_back(One(name, angle, Short(angle)));
        }
    }
    for (const char* x : {"0.3", "0.9", "10"}) sets.push_back(One("Atn_XL", x, Short(x)));
    for (const char* name : {"Asn_XL", "Acs_XL"}) {
        for (const char* x : {"0.3", "0.9"}) sets.push_back(One(name, x, Short(x)));
    }
    // The exponential family on a short argument and on the same value at full length; the
    // inverse hyperbolic tangent needs |x| < 1, so it takes 0.5 instead of 1.5.
    for (const char* name : {"Exp_XL", "Loge_XL", "Log10_XL", "Sinh_XL", "Cosh_XL", "Tanh_XL",
                             "Asinh_XL", "Acosh_XL"}) {
        sets.push_back(One(name, "1.5", Short("1.5")));
        sets.push_back(One(name, "1.5 full", Full("1.5")));
    }
    sets.push_back(One("Atanh_XL", "0.5", Short("0.5")));
    sets.push_back(One("Atanh_XL", "0.5 full", Full("0.5")));
    sets.push_back({"PowerX_XL", "1.5^1.5", Short("1.5"), Short("1.5"), 0.0, 0});
    sets.push_back({"PowerX_XL", "1.5^1.5 full", Full("1.5"), Full("1.5"), 0.0, 0});
    // The greatest common divisor of whole numbers over every live limb: Euclid's steps.
    sets.push_back({"LCM_XL", "whole", {Value::WholeInteger, nullptr},
                    {Value::WholeInteger, nullptr}, 0.0, 0});
    return sets;
}

// A stable seed from the set and the precision (FNV-1a over the key), so that every program and
// every run draws the same operands.
uint64_t Seed(const std::string& key, int32_t precision) {
    uint64_t hash = 1469598103934665603ULL;
    for (const char c : key) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    return hash ^ (static_cast<uint64_t>(precision) * 0x9E3779B97F4A7C15ULL);
}

LongNumber Parsed(const char* text, int32_t precision) {
    LongNumber x;
    std::memset(&x, 0, sizeof x);
    const ostrel2::text::ParseStatus status = ostrel2::text::Parse(text, precision, x);
    if (status != ostrel2::text::ParseStatus::Ok) {
        std::fprintf(stderr, "argument set: cannot read \"%s\": %s\n", text,
                     ostrel2::text::ParseStatusText(status));
        std::exit(2);
    }
    return x;
}

LongNumber Make(const Operand& operand, int32_t precision, std::mt19937_64& rng) {
    switch (operand.value) {
        case Value::Short: return Parsed(operand.text, precision);
        case Value::Full: {
            LongNumber x = Parsed(operand.text, precision);
            std::uniform_int_distribution<int64_t> limb(0, 9999999999LL);
            int32_t k = LastBoundarySlot(precision);
            while (k > 0 && x.limbs[k] == 0.0) --k;
            for (++k; k <= LastBoundarySlot(precision); ++k) {
                x.limbs[k] = static_cast<double>(limb(rng));
            }
            return x;
        }
        case Value::Random: return RandomRecord(rng, precision, 0);
        case Value::Positive: {
            LongNumber x = RandomRecord(rng, precision, 0);
            x.sign = 1;
            return x;
        }
        case Value::HalfInteger: return RandomRecord(rng, precision, 10 * (precision / 2));
        case Value::WholeInteger: return RandomRecord(rng, precision, 10 * LastBoundarySlot(precision));
        case Value::None:
        case Value::SameAsX: break;
    }
    LongNumber zero;
    std::memset(&zero, 0, sizeof zero);
    return zero;
}

bool RandomPart(const Operand& operand) {
    return operand.value != Value::None && operand.value != Value::Short &&
           operand.value != Value::SameAsX;
}

}  // namespace

const std::vector<ArgumentSet>& ArgumentSets() {
    static const std::vector<ArgumentSet> sets = BuildSets();
    return sets;
}

const ostrel2::api::Export* FindExport(const char* name) {
    for (const ostrel2::api::Export& e : ostrel2::api::kExports) {
        if (std::strcmp(e.name, name) == 0) return &e;
    }
    return nullptr;
}

bool Varies(const ArgumentSet& set) { return RandomPart(set.x) || RandomPart(set.y); }

std::vector<Call> MakePool(const ArgumentSet& set, int32_t precision, int count) {
    std::vector<Call> pool;
    // Beyond the first kPoolSize calls, further operands are drawn from the seeds of the key with
    // "#1", "#2", ... appended, so that the first kPoolSize stay those of every other program.
    for (int round = 0; static_cast<int>(pool.size()) < count; ++round) {
        const std::string key = Key(set) + (round == 0 ? "" : "#" + std::to_string(round));
        std::mt19937_64 rng(Seed(key, precision));
        for (int k = 0; k < kPoolSize && static_cast<int>(pool.size()) < count; ++k) {
            Call call;
            call.x = Make(set.x, precision, rng);
            call.y = set.y.value == Value::SameAsX ? call.x : Make(set.y, precision, rng);
            pool.push_back(call);
        }
    }
    return pool;
}

BoundCalls::BoundCalls(const ArgumentSet& set, int32_t precision, int count)
    : export_(FindExport(set.exportName)),
      pool_(MakePool(set, precision, count)),
      work_(pool_),
      bound_(pool_.size()),
      distinct_(Varies(set) ? static_cast<int>(pool_.size()) : 1),
      writesArguments_(false) {
    if (export_ == nullptr) {
        std::fprintf(stderr, "argument set: no export %s\n", set.exportName);
        std::exit(2);
    }
    writesArguments_ = export_->kind == ostrel2::api::Kind::Cofactors;
    std::memset(&result_, 0, sizeof result_);
    const bool factorial = export_->kind == ostrel2::api::Kind::IntPrecision;
    for (size_t k = 0; k < pool_.size(); ++k) {
        ostrel2::api::Arguments& a = bound_[k];
        a.result = &result_;
        a.x = &work_[k].x;
        a.y = set.y.value == Value::SameAsX ? &work_[k].x : &work_[k].y;
        a.n = set.n;
        a.first = factorial ? set.count : precision;
        a.second = precision;
    }
}

void BoundCalls::Run(int k) {
    if (writesArguments_) work_[k] = pool_[k];
    export_->invoke(bound_[k]);
}

std::string Key(const ArgumentSet& set) { return std::string(set.exportName) + "|" + set.label; }

}  // namespace ostrel2_bench
