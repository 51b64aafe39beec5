/* export_table.h -- the library's 33 exports: ordinal, name, argument kind and stdcall byte count. */
#ifndef OSTREL2_EXPORT_TABLE_H
#define OSTREL2_EXPORT_TABLE_H

/* Argument shapes after the hidden result argument. */
enum ExportKind {
    KIND_VERSION, /* no arguments, returns the version number */
    KIND_ONE,     /* x */
    KIND_TWO,     /* x, y (read only) */
    KIND_LCM,     /* x, y, written back with the cofactors on success */
    KIND_POWER,   /* x, n: double */
    KIND_PAI,     /* precision: int */
    KIND_FACTORIAL /* n: int, precision: int */
};

/* X(ordinal, name, kind, bytes the function removes from the stack on 32-bit Windows) */
#define OSTREL2_EXPORT_TABLE(X)          \
    X(1, Version_XL, KIND_VERSION, 0)    \
    X(2, Abs_XL, KIND_ONE, 8)            \
    X(3, Fix_XL, KIND_ONE, 8)            \
    X(4, Round_XL, KIND_ONE, 8)          \
    X(5, Mod_XL, KIND_TWO, 12)           \
    X(6, Add_XL, KIND_TWO, 12)           \
    X(7, Subtract_XL, KIND_TWO, 12)      \
    X(8, Multipl2_XL, KIND_TWO, 12)      \
    X(9, Multipl_XL, KIND_TWO, 12)       \
    X(10, Div2_XL, KIND_TWO, 12)         \
    X(11, Div_XL, KIND_TWO, 12)          \
    X(12, Sqr_XL, KIND_ONE, 8)           \
    X(13, Power_XL, KIND_POWER, 16)      \
    X(14, PowerX_XL, KIND_TWO, 12)       \
    X(15, Root_XL, KIND_POWER, 16)       \
    X(16, Pai_XL, KIND_PAI, 8)           \
    X(17, Cos_XL, KIND_ONE, 8)           \
    X(18, Sin_XL, KIND_ONE, 8)           \
    X(19, Tan_XL, KIND_ONE, 8)           \
    X(20, Asn_XL, KIND_ONE, 8)           \
    X(21, Acs_XL, KIND_ONE, 8)           \
    X(22, Atn_XL, KIND_ONE, 8)           \
    X(23, Exp_XL, KIND_ONE, 8)           \
    X(24, Loge_XL, KIND_ONE, 8)          \
    X(25, Log10_XL, KIND_ONE, 8)         \
    X(26, Sinh_XL, KIND_ONE, 8)          \
    X(27, Cosh_XL, KIND_ONE, 8)          \
    X(28, Tanh_XL, KIND_ONE, 8)          \
    X(29, Asinh_XL, KIND_ONE, 8)         \
    X(30, Acosh_XL, KIND_ONE, 8)         \
    X(31, Atanh_XL, KIND_ONE, 8)         \
    X(32, Factorial_XL, KIND_FACTORIAL, 12) \
    X(33, LCM_XL, KIND_LCM, 12)

#endif /* OSTREL2_EXPORT_TABLE_H */
