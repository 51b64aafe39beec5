// expression.h -- the ostrel2 program's expression mode: `ostrel2 -e 'sqrt(2) * pi / 3'`.
//
// An expression is numbers, the program's functions with their arguments in parentheses, pi
// (with or without "()"), parentheses and the operators + - * / % ^ (also **), with the usual
// precedence: ^ first and to the right (2^3^2 is 2^9; -2^2 is -4), then unary + and -, then
// * / % from left to right, then + and - from left to right. Every number is read at the
// precision asked for, and every operation is one call of an export -- + Add_XL, - Subtract_XL,
// * Multipl_XL, / Div_XL, % Mod_XL, ^ PowerX_XL, a function its own -- made in that order, left
// to right, with its result cut back to the precision asked for (the limbs beyond the asked
// precision's guard limbs dropped, as reading the result's full text back at that precision
// would). So an expression computes exactly what a chain of single calls with --all does.
// power(x, n) and root(x, n) take n as the nearest double, factorial(n) a whole n; gcd(x, y)
// gives g alone.
//
// The first failing operation stops the evaluation: its message, the expression and a caret
// under the offending operator or function name go to standard error, then "error: <value>",
// and the exit status is 1. A mistake in the expression itself gets its reason, the expression
// and a caret at the offset of the offending token, and exit status 2.
#pragma once

#include <cstdint>

#include "tools/calculator_output.h"

namespace ostrel2::calculator {

// Evaluates the expression at `precision` limbs and writes its value on standard output.
// Returns the exit status.
int EvaluateExpression(const char* expression, int32_t precision, const OutputStyle& style);

}  // namespace ostrel2::calculator
