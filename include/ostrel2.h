/* ostrel2.h -- public C interface of the Ostrel2 decimal arbitrary-precision library.
 *
 * A number is a LongNumber record of 2,464 bytes: sign, decimal exponent, precision in limbs
 * (1 to 303), error flag, and 306 limbs of ten decimal digits held in doubles, most significant
 * first. Every function but Version_XL takes the address of a result record first, then the
 * addresses of its argument records; it fills the result record whole and returns its address.
 * Argument records are only read (LCM_XL alone writes its cofactors back into them).
 *
 * A failure never stops the caller: the result's error field is negative and a short message
 * in code page 932 goes to standard output. A precision outside 1 .. 303 in any argument gives
 * the value zero at precision 303 with error -1. A record's exponent lies within
 * -2,147,000,000 .. 2,147,000,000; a result beyond fails with an overflow message.
 * ostrel2_text_call (ostrel2_text.h) computes any of these functions with its messages handed
 * back, in English too, instead of printed.
 *
 * On 32-bit Windows every export uses the standard-call convention with an undecorated name;
 * elsewhere the platform's C convention.
 */
#ifndef OSTREL2_H
#define OSTREL2_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define OSTREL2_CALL __stdcall
#else
#define OSTREL2_CALL
#endif

#if defined(OSTREL2_BUILDING_LIBRARY) && defined(__GNUC__) && !defined(_WIN32)
#define OSTREL2_API __attribute__((visibility("default")))
#else
#define OSTREL2_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define OSTREL2_MAX_PRECISION 303 /* largest precision a record may carry */
#define OSTREL2_LIMB_SLOTS 306    /* limb slots in a record */
#define OSTREL2_VERSION 20091025  /* what Version_XL returns */

/* The record needs no alignment beyond 4 bytes; the fields lie at offsets 0, 4, 8, 12 and 16. */
#pragma pack(push, 4)
typedef struct LongNumber {
    int32_t sign;      /* +1, -1, or 0 for the value zero */
    int32_t exponent;  /* decimal exponent of the units digit of limbs[0]; -2,100,000,000 for zero */
    int32_t precision; /* precision in limbs; the live limbs are 0 .. precision + 3 */
    int32_t error;     /* 0 when valid, negative after a failure */
    double limbs[OSTREL2_LIMB_SLOTS]; /* base 10^10 digits, most significant first */
} LongNumber;
#pragma pack(pop)

/* Ordinal 1: the version number 20,091,025. */
OSTREL2_API int32_t OSTREL2_CALL Version_XL(void);

/* Ordinals 2 to 5: absolute value, truncation toward zero, rounding (halves away from zero),
 * and the remainder x - trunc(x / y) * y with the sign of x. */
OSTREL2_API LongNumber* OSTREL2_CALL Abs_XL(LongNumber* result, const LongNumber* x);
OSTREL2_API LongNumber* OSTREL2_CALL Fix_XL(LongNumber* result, const LongNumber* x);
OSTREL2_API LongNumber* OSTREL2_CALL Round_XL(LongNumber* result, const LongNumber* x);
OSTREL2_API LongNumber* OSTREL2_CALL Mod_XL(LongNumber* result, const LongNumber* x,
                                            const LongNumber* y);

/* Ordinals 6 and 7: x + y and x - y at the larger of the two precisions. */
OSTREL2_API LongNumber* OSTREL2_CALL Add_XL(LongNumber* result, const LongNumber* x,
                                            const LongNumber* y);
OSTREL2_API LongNumber* OSTREL2_CALL Subtract_XL(LongNumber* result, const LongNumber* x,
                                                 const LongNumber* y);

/* Ordinals 8 and 9: x * y, limb by limb (Multipl2) or by transform (Multipl, precision >= 5). */
OSTREL2_API LongNumber* OSTREL2_CALL Multipl2_XL(LongNumber* result, const LongNumber* x,
                                                 const LongNumber* y);
OSTREL2_API LongNumber* OSTREL2_CALL Multipl_XL(LongNumber* result, const LongNumber* x,
                                                const LongNumber* y);

/* Ordinals 10 and 11: x / y, by long division (Div2) or by Newton reciprocal (Div). */
OSTREL2_API LongNumber* OSTREL2_CALL Div2_XL(LongNumber* result, const LongNumber* x,
                                             const LongNumber* y);
OSTREL2_API LongNumber* OSTREL2_CALL Div_XL(LongNumber* result, const LongNumber* x,
                                            const LongNumber* y);

/* Ordinal 12: the square root of x (x >= 0), by Newton's iteration at x's precision. */
OSTREL2_API LongNumber* OSTREL2_CALL Sqr_XL(LongNumber* result, const LongNumber* x);

/* Ordinal 13: x^n for a whole n with |n| <= 10^12 (n is a double). 0^0 is 1; 0^n for n < 0 fails
 * as the division by zero it is (error -1). */
OSTREL2_API LongNumber* OSTREL2_CALL Power_XL(LongNumber* result, const LongNumber* x, double n);

/* Ordinal 14: x^y for records x and y. 0^0 is 1; 0^y for y < 0 fails as a division by zero. A
 * negative x only with a whole y (below 10^10 in magnitude, also a y taken as whole as below),
 * the sign by y's parity. |y| of about 10^12 and more wherever the power fits a record.
 * A y within y's own precision of a whole number n (|n| < 10^10), that is within 10 x
 * y.precision digits of it, is taken as n, and a positive y that close to 1/n as 1/n: the result
 * is then x^n or the n-th root of x to x's precision, which is x^y only to y's precision.
 * 2^2.000000000000001 with y at precision 1 and x at precision 30 gives exactly 4 (15 correct
 * digits of the 300 that precision promises), and (-2)^(3 + 10^-22) gives -8. Give y the
 * precision of the digits it carries. */
OSTREL2_API LongNumber* OSTREL2_CALL PowerX_XL(LongNumber* result, const LongNumber* x,
                                               const LongNumber* y);

/* Ordinal 15: the n-th root of x >= 0 for a whole n from 1 to 10^13 (n is a double). */
OSTREL2_API LongNumber* OSTREL2_CALL Root_XL(LongNumber* result, const LongNumber* x, double n);

/* Ordinal 16: pi at the given precision (1 to 303 limbs; the result has at least 5). */
OSTREL2_API LongNumber* OSTREL2_CALL Pai_XL(LongNumber* result, int32_t precision);

/* Ordinals 17 to 19: cosine, sine and tangent of x in radians, |x| < 10^20. */
OSTREL2_API LongNumber* OSTREL2_CALL Cos_XL(LongNumber* result, const LongNumber* x);
OSTREL2_API LongNumber* OSTREL2_CALL Sin_XL(LongNumber* result, const LongNumber* x);
OSTREL2_API LongNumber* OSTREL2_CALL Tan_XL(LongNumber* result, const LongNumber* x);

/* Ordinals 20 to 22: arc sine and arc cosine of x with |x| <= 1, arc tangent of any x. */
OSTREL2_API LongNumber* OSTREL2_CALL Asn_XL(LongNumber* result, const LongNumber* x);
OSTREL2_API LongNumber* OSTREL2_CALL Acs_XL(LongNumber* result, const LongNumber* x);
OSTREL2_API LongNumber* OSTREL2_CALL Atn_XL(LongNumber* result, const LongNumber* x);

/* Ordinals 23 to 25: e^x (for |x| up to about 4.94 x 10^9; beyond, the result overflows), ln x
 * and log10 x for every x > 0. */
OSTREL2_API LongNumber* OSTREL2_CALL Exp_XL(LongNumber* result, const LongNumber* x);
OSTREL2_API LongNumber* OSTREL2_CALL Loge_XL(LongNumber* result, const LongNumber* x);
OSTREL2_API LongNumber* OSTREL2_CALL Log10_XL(LongNumber* result, const LongNumber* x);

/* Ordinals 26 to 31: sinh, cosh, tanh of x; asinh of x, acosh of x >= 1, atanh of |x| < 1. */
OSTREL2_API LongNumber* OSTREL2_CALL Sinh_XL(LongNumber* result, const LongNumber* x);
OSTREL2_API LongNumber* OSTREL2_CALL Cosh_XL(LongNumber* result, const LongNumber* x);
OSTREL2_API LongNumber* OSTREL2_CALL Tanh_XL(LongNumber* result, const LongNumber* x);
OSTREL2_API LongNumber* OSTREL2_CALL Asinh_XL(LongNumber* result, const LongNumber* x);
OSTREL2_API LongNumber* OSTREL2_CALL Acosh_XL(LongNumber* result, const LongNumber* x);
OSTREL2_API LongNumber* OSTREL2_CALL Atanh_XL(LongNumber* result, const LongNumber* x);

/* Ordinal 32: n! for 0 <= n <= 1,000,000 at the given precision (1 to 303 limbs); digits beyond
 * the record's limbs are cut off. */
OSTREL2_API LongNumber* OSTREL2_CALL Factorial_XL(LongNumber* result, int32_t n, int32_t precision);

/* Ordinal 33: the greatest common divisor g of round(x) and round(y); on success x and y are
 * replaced by the cofactors round(x / g) and round(y / g). */
OSTREL2_API LongNumber* OSTREL2_CALL LCM_XL(LongNumber* result, LongNumber* x, LongNumber* y);

#ifdef __cplusplus
}
#endif

#endif /* OSTREL2_H */
