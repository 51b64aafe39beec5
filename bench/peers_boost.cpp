// peers_boost.cpp -- the Boost.Multiprecision side of the peer benchmark: cpp_dec_float at the
// digits of each benchmark precision.
//
// Boost has no n-th root: the root is pow(x, 1 / n). Its pi is a constant computed once per type
// and kept. The factorial is the running product 2 * 3 * ... * n, each step a product by a machine
// integer (what the library does too); Boost.Math's factorial goes through the gamma function
// beyond its table.
#include <boost/math/constants/constants.hpp>
#include <boost/multiprecision/cpp_dec_float.hpp>

#include <ios>

#include "peers.h"

namespace ostrel2_bench {

namespace {

namespace mp = boost::multiprecision;

template <unsigned Digits>
class Calls : public BoostCall {
public:
    using Number = mp::number<mp::cpp_dec_float<Digits>, mp::et_off>;

    Calls(Op op, const std::vector<std::string>& x, const std::vector<std::string>& y, double n,
          int32_t count)
        : op_(op), n_(n), count_(count) {
        for (const std::string& text : x) x_.emplace_back(text);
        for (const std::string& text : y) y_.emplace_back(text);
        if (x_.empty()) x_.emplace_back(0);
        if (y_.empty()) y_.emplace_back(0);
    }

    void Run(int k) override {
        const Number& x = x_[k % x_.size()];
        const Number& y = y_[k % y_.size()];
        switch (op_) {
            case Op::Add: result_ = x + y; break;
            case Op::Subtract: result_ = x - y; break;
            case Op::Multiply: result_ = x * y; break;
            case Op::Square: result_ = x * x; break;
            case Op::Divide: result_ = x / y; break;
            case Op::Abs: result_ = abs(x); break;
            case Op::Trunc: result_ = trunc(x); break;
            case Op::Round: result_ = round(x); break;
            case Op::Fmod: result_ = fmod(x, y); break;
            case Op::Sqrt: result_ = sqrt(x); break;
            case Op::Root: result_ = pow(x, Number(1) / Number(n_)); break;
            case Op::PowerInt: result_ = pow(x, static_cast<long long>(n_)); break;
            case Op::Pi: result_ = boost::math::constants::pi<Number>(); break;
            case Op::Factorial:
                result_ = 1;
                for (int32_t i = 2; i <= count_; ++i) result_ *= static_cast<unsigned long long>(i);
                break;
            case Op::Cos: result_ = cos(x); break;
            case Op::Sin: result_ = sin(x); break;
            case Op::Tan: result_ = tan(x); break;
            case Op::Asin: result_ = asin(x); break;
            case Op::Acos: result_ = acos(x); break;
            case Op::Atan: result_ = atan(x); break;
            case Op::Exp: result_ = exp(x); break;
            case Op::Log: result_ = log(x); break;
            case Op::Log10: result_ = log10(x); break;
            case Op::Sinh: result_ = sinh(x); break;
            case Op::Cosh: result_ = cosh(x); break;
            case Op::Tanh: result_ = tanh(x); break;
            case Op::Asinh: result_ = asinh(x); break;
            case Op::Acosh: result_ = acosh(x); break;
            case Op::Atanh: result_ = atanh(x); break;
            case Op::Power: result_ = pow(x, y); break;
            case Op::None: break;
        }
    }

    std::string Result(int significant) const override {
        return result_.str(significant, std::ios_base::scientific);
    }

private:
    Op op_;
    double n_;
    int32_t count_;
    std::vector<Number> x_;
    std::vector<Number> y_;
    Number result_;
};

}  // namespace

bool BoostHasDigits(int64_t digits) {
    return digits == 30 || digits == 100 || digits == 300 || digits == 1000 || digits == 3030;
}

std::unique_ptr<BoostCall> MakeBoostCall(Op op, int64_t digits, const std::vector<std::string>& x,
                                         const std::vector<std::string>& y, double n,
                                         int32_t count) {
    if (op == Op::None) return nullptr;
    switch (digits) {
        case 30: return std::make_unique<Calls<30>>(op, x, y, n, count);
        case 100: return std::make_unique<Calls<100>>(op, x, y, n, count);
        case 300: return std::make_unique<Calls<300>>(op, x, y, n, count);
        case 1000: return std::make_unique<Calls<1000>>(op, x, y, n, count);
        case 3030: return std::make_unique<Calls<3030>>(op, x, y, n, count);
        default: return nullptr;
    }
}

}  // namespace ostrel2_bench
