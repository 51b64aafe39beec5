/* export_table.h -- every export of the library, one line each: the single source of its facts.
 *
 * OSTREL2_EXPORTS(ROW) expands ROW(...) once for each export, in ordinal order. The columns:
 *
 *   ordinal  the export's ordinal in the Windows DLL (1 .. 33)
 *   name     the export
 *   kind     what the export takes after its result record and how it hands it to the worker
 *            (OSTREL2_EXPORT_KINDS below)
 *   bytes    what the 32-bit standard-call function removes from the stack
 *   cost     what one call may cost at precision 303 (OSTREL2_EXPORT_COSTS below)
 *   command  the name of the function in the ostrel2 program
 *   summary  one line on what it computes, for the program's usage text
 *   worker   the worker the entry point calls (namespace ostrel2)
 *
 * Derived from it: the entry points (api/exports.cpp), the module definition of the DLL (written
 * at configure time, cmake/Ostrel2ExportTable.cmake), the list of the ostrel2 program, the fuzz
 * targets, the robustness, interface and Windows tests and the benchmarks. The public header,
 * the macro module and the README's function table are written by hand and checked against it
 * (tests/exports). Adding an export: README.md, "Adding an export".
 *
 * Usable from C and C++. One row per line: the build and the checks read the rows as text too.
 */
#ifndef OSTREL2_EXPORT_TABLE_H
#define OSTREL2_EXPORT_TABLE_H

/* The argument kinds: what an export takes after its hidden result record, and how its entry
 * point hands that to the worker. "Own result" is a private record the worker writes into;
 * "over x" means the worker's result record is the private copy of x itself.
 *
 *   Version           nothing, and no result record; returns the version number
 *   OneRecord         x; worker(own result, x)
 *   OneRecordOverX    x; worker(x, x)
 *   TwoRecords        x, y; worker(own result, x, y)
 *   TwoRecordsOverX   x, y; worker(x, x, y)
 *   RecordDouble      x, n: double; worker(x, x, n), x alone guarded
 *   Precision         precision: int; worker(own result, precision, own counter)
 *   IntPrecision      n: int, precision: int; worker(own result, n, precision), precision guarded
 *   Cofactors         x, y; worker(own result, x, y) on copies that go back into the caller's
 *                     x and y when the worker replaced them (the greatest common divisor)
 */
#define OSTREL2_EXPORT_KINDS(KIND) \
    KIND(Version)                  \
    KIND(OneRecord)                \
    KIND(OneRecordOverX)           \
    KIND(TwoRecords)               \
    KIND(TwoRecordsOverX)          \
    KIND(RecordDouble)             \
    KIND(Precision)                \
    KIND(IntPrecision)             \
    KIND(Cofactors)

/* The costs: what one call may take at precision 303, for the tests that call every export and
 * must keep their running time (they call the dear ones at a sample of precisions).
 *
 *   Cheap   up to some tens of milliseconds in a release build: the arithmetic, the roots and
 *           whole powers, pi, the factorial, the greatest common divisor of ordinary operands
 *   Dear    series, or Newton steps over series: from a tenth of a second to seconds on a
 *           full-length argument (the trigonometric and hyperbolic functions and their
 *           inverses, the exponential, the logarithms, the real power)
 */
#define OSTREL2_EXPORT_COSTS(COST) \
    COST(Cheap)                    \
    COST(Dear)

/* One enumeration of the kinds and one of the costs for both languages: in C++
 * ostrel2::api::Kind::TwoRecords and ostrel2::api::Cost::Dear, in C OSTREL2_KIND_TwoRecords and
 * OSTREL2_COST_Dear. OSTREL2_KIND(k) and OSTREL2_COST(c) spell a kind or a cost of the table in
 * either. */
#ifdef __cplusplus
#define OSTREL2_TABLE_ENUMERATOR(k) k,
namespace ostrel2 {
namespace api {
enum class Kind { OSTREL2_EXPORT_KINDS(OSTREL2_TABLE_ENUMERATOR) };
enum class Cost { OSTREL2_EXPORT_COSTS(OSTREL2_TABLE_ENUMERATOR) };
}  // namespace api
}  // namespace ostrel2
#define OSTREL2_KIND(k) ::ostrel2::api::Kind::k
#define OSTREL2_COST(c) ::ostrel2::api::Cost::c
#else
#define OSTREL2_KIND_ENUMERATOR(k) OSTREL2_KIND_##k,
#define OSTREL2_COST_ENUMERATOR(c) OSTREL2_COST_##c,
enum Ostrel2ExportKind { OSTREL2_EXPORT_KINDS(OSTREL2_KIND_ENUMERATOR) };
enum Ostrel2ExportCost { OSTREL2_EXPORT_COSTS(OSTREL2_COST_ENUMERATOR) };
#undef OSTREL2_KIND_ENUMERATOR
#undef OSTREL2_COST_ENUMERATOR
#define OSTREL2_KIND(k) OSTREL2_KIND_##k
#define OSTREL2_COST(c) OSTREL2_COST_##c
#endif
#undef OSTREL2_TABLE_ENUMERATOR

/* The number of exports: the ordinals run from 1 to this. */
#define OSTREL2_EXPORT_COUNT 33

/* clang-format off */
#define OSTREL2_EXPORTS(ROW) \
    ROW(1, Version_XL, Version, 0, Cheap, "version", "the library's version number", none) \
    ROW(2, Abs_XL, OneRecord, 8, Cheap, "abs", "|x|", AbsLong) \
    ROW(3, Fix_XL, OneRecord, 8, Cheap, "fix", "x truncated toward zero", FixLong) \
    ROW(4, Round_XL, OneRecord, 8, Cheap, "round", "x rounded to a whole number, halves away from zero", RoundLong) \
    ROW(5, Mod_XL, TwoRecords, 12, Cheap, "mod", "x - fix(x / y) * y, with the sign of x", ModLong) \
    ROW(6, Add_XL, TwoRecordsOverX, 12, Cheap, "add", "x + y", AddLong) \
    ROW(7, Subtract_XL, TwoRecordsOverX, 12, Cheap, "sub", "x - y", SubtractLong) \
    ROW(8, Multipl2_XL, TwoRecordsOverX, 12, Cheap, "mul2", "x * y, limb by limb", Multipl2Long) \
    ROW(9, Multipl_XL, TwoRecordsOverX, 12, Cheap, "mul", "x * y, by transform (at least 5 limbs)", MultiplLong) \
    ROW(10, Div2_XL, TwoRecordsOverX, 12, Cheap, "div2", "x / y, by long division", Div2Long) \
    ROW(11, Div_XL, TwoRecordsOverX, 12, Cheap, "div", "x / y, by Newton reciprocal", DivLong) \
    ROW(12, Sqr_XL, OneRecordOverX, 8, Cheap, "sqrt", "the square root of x", SqrLong) \
    ROW(13, Power_XL, RecordDouble, 16, Cheap, "power", "x to the whole power n", PowerLong) \
    ROW(14, PowerX_XL, TwoRecordsOverX, 12, Dear, "powerx", "x to the power y", PowerXLong) \
    ROW(15, Root_XL, RecordDouble, 16, Cheap, "root", "the n-th root of x", RootLong) \
    ROW(16, Pai_XL, Precision, 8, Cheap, "pi", "pi at the precision given", KeptPaiLong) \
    ROW(17, Cos_XL, OneRecordOverX, 8, Dear, "cos", "the cosine of x (radians)", CosLong) \
    ROW(18, Sin_XL, OneRecordOverX, 8, Dear, "sin", "the sine of x (radians)", SinLong) \
    ROW(19, Tan_XL, OneRecordOverX, 8, Dear, "tan", "the tangent of x (radians)", TanLong) \
    ROW(20, Asn_XL, OneRecordOverX, 8, Dear, "asin", "the arc sine of x", AsnLong) \
    ROW(21, Acs_XL, OneRecordOverX, 8, Dear, "acos", "the arc cosine of x", AcsLong) \
    ROW(22, Atn_XL, OneRecordOverX, 8, Dear, "atan", "the arc tangent of x", AtnLong) \
    ROW(23, Exp_XL, OneRecordOverX, 8, Dear, "exp", "e to the power x", ExpLong) \
    ROW(24, Loge_XL, OneRecordOverX, 8, Dear, "ln", "the natural logarithm of x", LogeLong) \
    ROW(25, Log10_XL, OneRecordOverX, 8, Dear, "log10", "the common logarithm of x", Log10Long) \
    ROW(26, Sinh_XL, OneRecordOverX, 8, Dear, "sinh", "the hyperbolic sine of x", SinhLong) \
    ROW(27, Cosh_XL, OneRecordOverX, 8, Dear, "cosh", "the hyperbolic cosine of x", CoshLong) \
    ROW(28, Tanh_XL, OneRecordOverX, 8, Dear, "tanh", "the hyperbolic tangent of x", TanhLong) \
    ROW(29, Asinh_XL, OneRecordOverX, 8, Dear, "asinh", "the inverse hyperbolic sine of x", AsinhLong) \
    ROW(30, Acosh_XL, OneRecordOverX, 8, Dear, "acosh", "the inverse hyperbolic cosine of x", AcoshLong) \
    ROW(31, Atanh_XL, OneRecordOverX, 8, Dear, "atanh", "the inverse hyperbolic tangent of x", AtanhLong) \
    ROW(32, Factorial_XL, IntPrecision, 12, Cheap, "factorial", "n! at the precision given", FactorialLong) \
    ROW(33, LCM_XL, Cofactors, 12, Cheap, "gcd", "g = gcd(round(x), round(y)), then the cofactors x/g and y/g", LCMLong)
/* clang-format on */

#endif /* OSTREL2_EXPORT_TABLE_H */
