// gmp_reference.cpp -- exact rational references for the tests (see gmp_reference.h).
#include "support/gmp_reference.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <sstream>

namespace ostrel2 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Last live slot of a record, kept inside the slots it has.
int LastLiveSlot(int32_t precision, int slots) {
    const long last = static_cast<long>(precision) + GUARD_LIMBS;
    return static_cast<int>(std::clamp<long>(last, 0, slots - 1));
}

// sign * sum limbs[k] * 10^(exponent - 10k), k = 0 .. last.
mpq_class ValueOfLimbs(int32_t sign, int32_t exponent, const double* limbs, int last) {
    if (sign == 0) return 0;
    const mpq_class base(mpz_class("10000000000"));
    mpq_class acc = 0;
    for (int k = 0; k <= last; ++k) {
        acc *= base;
        acc += mpq_class(limbs[k]);
    }
    acc *= reference::Pow10(static_cast<long>(exponent) - 10L * last);
    return sign < 0 ? mpq_class(-acc) : acc;
}

// floor(log10(|v|)) for a non-zero rational.
long FloorLog10(const mpq_class& v) {
    const mpq_class a = abs(v);
    long e = static_cast<long>(mpz_sizeinbase(a.get_num_mpz_t(), 10)) -
             static_cast<long>(mpz_sizeinbase(a.get_den_mpz_t(), 10));
    while (a >= reference::Pow10(e + 1)) ++e;
    while (a < reference::Pow10(e)) --e;
    return e;
}

mpz_class FloorOf(const mpq_class& v) {
    mpz_class r;
    mpz_fdiv_q(r.get_mpz_t(), v.get_num_mpz_t(), v.get_den_mpz_t());
    return r;
}

void FillTail(WorkLong& x) {
    for (int k = LastLiveSlot(x.precision, WORK_LIMBS) + 1; k < WORK_LIMBS; ++k) x.limbs[k] = kNaN;
}

}  // namespace

void PrintTo(const WorkLong& x, std::ostream* os) { *os << reference::Describe(x); }

namespace reference {

mpq_class Pow10(long e) {
    mpz_class p;
    mpz_ui_pow_ui(p.get_mpz_t(), 10, static_cast<unsigned long>(e < 0 ? -e : e));
    if (e >= 0) return mpq_class(p);
    mpq_class r(mpz_class(1), p);
    r.canonicalize();
    return r;
}

mpq_class ExactValue(const WorkLong& x) {
    return ValueOfLimbs(x.sign, x.exponent, x.limbs, LastLiveSlot(x.precision, WORK_LIMBS));
}

mpq_class ExactValue(const LongNumber& x) {
    return ValueOfLimbs(x.sign, x.exponent, x.limbs,
                        LastLiveSlot(x.precision, OSTREL2_LIMB_SLOTS));
}

namespace {

// Parses [+-]digits[.digits][e[+-]digits]; false on malformed text.
bool ParseDecimalPart(const std::string& text, mpq_class& out) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string digits;
    long scale = 0;
    bool any = false;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        digits += text[i++];
        any = true;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            digits += text[i++];
            --scale;
            any = true;
        }
    }
    if (!any) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) expNegative = text[i++] == '-';
        if (i >= text.size()) return false;
        long e = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            e = e * 10 + (text[i++] - '0');
            if (e > 3000000000L) return false;  // beyond any record exponent
        }
        scale += expNegative ? -e : e;
    }
    if (i != text.size()) return false;
    out = mpq_class(mpz_class(digits, 10)) * Pow10(scale);
    if (negative) out = -out;
    return true;
}

}  // namespace

mpq_class ParseDecimal(const std::string& text) {
    mpq_class result;
    const size_t slash = text.find('/');
    if (slash == std::string::npos) {
        if (ParseDecimalPart(text, result)) return result;
    } else {
        mpq_class num, den;
        if (ParseDecimalPart(text.substr(0, slash), num) &&
            ParseDecimalPart(text.substr(slash + 1), den) && den != 0) {
            return num / den;
        }
    }
    ADD_FAILURE() << "malformed decimal text \"" << text << "\"";
    return 0;
}

WorkLong MakeLong(const mpq_class& value, int32_t precision, Rounding rounding) {
    WorkLong x;
    InitLong(x, precision, 0, 0, 0.0);
    FillTail(x);
    if (value == 0) return x;

    const int last = LastLiveSlot(precision, WORK_LIMBS);
    const mpq_class a = abs(value);
    // Exponent of the leading limb: the multiple of 10 at or below floor(log10 |value|).
    const long lead = FloorLog10(a);
    long exponent = lead >= 0 ? lead / 10 * 10 : -((-lead + 9) / 10 * 10);
    const mpq_class scaled = a * Pow10(10L * last - exponent);
    mpz_class n = rounding == Rounding::Nearest ? FloorOf(scaled + mpq_class(1, 2)) : FloorOf(scaled);
    mpz_class top;
    mpz_ui_pow_ui(top.get_mpz_t(), 10, static_cast<unsigned long>(10 * (last + 1)));
    if (n >= top) {  // rounding carried into a new leading limb
        n /= mpz_class("10000000000");
        exponent += 10;
    }
    const mpz_class base("10000000000");
    for (int k = last; k >= 0; --k) {
        mpz_class limb = n % base;
        x.limbs[k] = limb.get_d();
        n /= base;
    }
    x.sign = value < 0 ? -1 : 1;
    x.exponent = static_cast<int32_t>(exponent);
    return x;
}

WorkLong MakeLong(const std::string& text, int32_t precision, Rounding rounding) {
    return MakeLong(ParseDecimal(text), precision, rounding);
}

WorkLong MakeRaw(int32_t precision, int32_t sign, int32_t exponent,
                 std::initializer_list<double> limbs, int32_t error) {
    WorkLong x;
    x.sign = sign;
    x.exponent = exponent;
    x.precision = precision;
    x.error = error;
    const int last = LastLiveSlot(precision, WORK_LIMBS);
    for (int k = 0; k < WORK_LIMBS; ++k) x.limbs[k] = k <= last ? 0.0 : kNaN;
    int k = 0;
    for (double limb : limbs) {
        if (k < WORK_LIMBS) x.limbs[k] = limb;
        ++k;
    }
    return x;
}

LongNumber ToBoundary(const WorkLong& x) {
    LongNumber b;
    b.sign = x.sign;
    b.exponent = x.exponent;
    b.precision = x.precision;
    b.error = x.error;
    std::memcpy(b.limbs, x.limbs, sizeof b.limbs);
    return b;
}

WorkLong FromBoundary(const LongNumber& x) {
    WorkLong w;
    w.sign = x.sign;
    w.exponent = x.exponent;
    w.precision = x.precision;
    w.error = x.error;
    std::memcpy(w.limbs, x.limbs, sizeof x.limbs);
    w.limbs[WORK_LIMBS - 1] = 0.0;
    return w;
}

mpq_class LastLimbUnit(const WorkLong& x) {
    return Pow10(static_cast<long>(x.exponent) - 10L * LastLiveSlot(x.precision, WORK_LIMBS));
}

double ErrorInLastLimbUnits(const WorkLong& x, const mpq_class& exact) {
    if (x.sign == 0) return exact == 0 ? 0.0 : std::numeric_limits<double>::infinity();
    const mpq_class diff = abs(ExactValue(x) - exact) / LastLimbUnit(x);
    return diff.get_d();
}

double RelativeError(const WorkLong& x, const mpq_class& exact) {
    const mpq_class value = ExactValue(x);
    if (exact == 0) return value == 0 ? 0.0 : std::numeric_limits<double>::infinity();
    const mpq_class rel = abs(value - exact) / abs(exact);
    return rel.get_d();
}

double ScaledRelativeError(const WorkLong& x, const mpq_class& exact, long digits) {
    const mpq_class value = ExactValue(x);
    if (exact == 0) return value == 0 ? 0.0 : std::numeric_limits<double>::infinity();
    const mpq_class rel = abs(value - exact) / abs(exact) * Pow10(digits);
    return rel.get_d();
}

std::string ToScientific(const mpq_class& value, int digits) {
    if (value == 0) return "0";
    if (digits < 1) digits = 1;
    const long e = FloorLog10(value);
    const mpz_class m = FloorOf(abs(value) * Pow10(digits - 1 - e));
    std::string s = m.get_str();
    std::string out = value < 0 ? "-" : "";
    out += s.substr(0, 1);
    if (s.size() > 1) out += "." + s.substr(1);
    out += "e" + std::string(e < 0 ? "-" : "+") + std::to_string(e < 0 ? -e : e);
    return out;
}

std::string Describe(const WorkLong& x) {
    std::ostringstream os;
    os.precision(17);
    os << "{sign " << x.sign << ", exponent " << x.exponent << ", precision " << x.precision
       << ", error " << x.error << ", limbs [";
    const int last = LastLiveSlot(x.precision, WORK_LIMBS);
    for (int k = 0; k <= last; ++k) os << (k ? ", " : "") << x.limbs[k];
    os << "]";
    // The exact value of a record far from exponent 0 would take billions of digits to form.
    if (x.exponent >= -100000 && x.exponent <= 100000) {
        os << ", value " << ToScientific(ExactValue(x), 30);
    }
    os << "}";
    return os.str();
}

::testing::AssertionResult IsCanonical(const WorkLong& x) {
    if (x.sign == 0) {
        if (x.exponent != ZERO_EXPONENT)
            return ::testing::AssertionFailure() << "zero without ZERO_EXPONENT: " << Describe(x);
        return ::testing::AssertionSuccess();
    }
    if (x.sign != 1 && x.sign != -1)
        return ::testing::AssertionFailure() << "sign out of range: " << Describe(x);
    if (x.exponent % 10 != 0)
        return ::testing::AssertionFailure() << "exponent off the limb grid: " << Describe(x);
    const int last = LastLiveSlot(x.precision, WORK_LIMBS);
    for (int k = 0; k <= last; ++k) {
        const double limb = x.limbs[k];
        if (!(limb >= 0.0 && limb < LIMB_BASE && std::floor(limb) == limb))
            return ::testing::AssertionFailure() << "limb " << k << " not a whole number in [0, 10^10): "
                                                 << Describe(x);
    }
    if (x.limbs[0] < 1.0)
        return ::testing::AssertionFailure() << "zero leading limb: " << Describe(x);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult HasExactValue(const WorkLong& x, const mpq_class& exact) {
    const mpq_class value = ExactValue(x);
    if (value == exact) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "value " << ToScientific(value, 60) << " of "
                                         << Describe(x) << "\n  expected "
                                         << ToScientific(exact, 60);
}

::testing::AssertionResult WithinLastLimbUnits(const WorkLong& x, const mpq_class& exact,
                                               double units) {
    const double error = ErrorInLastLimbUnits(x, exact);
    if (error <= units) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "off by " << error << " last-limb units (allowed "
                                         << units << "): " << Describe(x) << "\n  expected "
                                         << ToScientific(exact, 60);
}

int64_t RandomLongs::Between(int64_t lo, int64_t hi) {
    return std::uniform_int_distribution<int64_t>(lo, hi)(engine_);
}

// Pattern 0: uniform; 1: 9,999,999,999; 2: zero; 3: small (below 100); 4: just under 10^10.
double RandomLongs::Limb(int pattern) {
    switch (pattern) {
        case 1: return 9999999999.0;
        case 2: return 0.0;
        case 3: return static_cast<double>(Between(0, 99));
        case 4: return static_cast<double>(Between(9999999900LL, 9999999999LL));
        default: return static_cast<double>(Between(0, 9999999999LL));
    }
}

WorkLong RandomLongs::Next(int32_t precision, int32_t minExponent, int32_t maxExponent,
                           bool allowNegative) {
    WorkLong x;
    InitLong(x, precision, 1, 0, 1.0);
    FillTail(x);
    const int last = LastLiveSlot(precision, WORK_LIMBS);
    // Runs: a limb keeps the pattern of the one before it with probability 0.7.
    int pattern = 0;
    for (int k = 1; k <= last; ++k) {
        if (Between(0, 9) >= 7) {
            const int64_t r = Between(0, 19);
            pattern = r < 12 ? 0 : r < 15 ? 1 : r < 18 ? 2 : r < 19 ? 3 : 4;
        }
        x.limbs[k] = Limb(pattern);
    }
    const int64_t leadKind = Between(0, 9);
    x.limbs[0] = leadKind == 0   ? 1.0
                 : leadKind == 1 ? 9999999999.0
                 : leadKind == 2 ? static_cast<double>(Between(1, 99))
                                 : static_cast<double>(Between(1, 9999999999LL));
    // Exponent range in limbs: ceil(minExponent / 10) .. floor(maxExponent / 10).
    const int64_t lo = minExponent >= 0 ? (minExponent + 9LL) / 10 : minExponent / 10LL;
    const int64_t hi = maxExponent >= 0 ? maxExponent / 10LL : (maxExponent - 9LL) / 10;
    x.exponent = static_cast<int32_t>(10 * Between(std::min(lo, hi), std::max(lo, hi)));
    x.sign = allowNegative && Between(0, 1) ? -1 : 1;
    return x;
}

}  // namespace reference
}  // namespace ostrel2

void PrintTo(const LongNumber& x, std::ostream* os) {
    *os << ostrel2::reference::Describe(ostrel2::reference::FromBoundary(x));
}
