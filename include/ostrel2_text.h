/* ostrel2_text.h -- decimal text to LongNumber records and back: the C companion of ostrel2.h.
 *
 * Link with -lOstrel2Text -lOstrel2 (pkg-config ostrel2-text; CMake Ostrel2::Text).
 *
 * ostrel2_text_parse reads "[+-]digits[.digits][e[+-]digits]" ("2", "-1.25e-300", "+.5", "7.",
 * "1E-3") into a canonical record of the given precision (1 to 303 limbs). The record holds
 * precision + 4 live limbs of ten digits (306 slots at most, so precision 303 keeps 2 of its 3
 * guard limbs); digits beyond them are cut off toward zero and *inexact says so.
 *
 * ostrel2_text_format writes a record as decimal text. OSTREL2_TEXT_ROUNDED writes the
 * 10 x precision significant digits the record promises: the whole limbs from its leading
 * non-zero one that hold them (precision limbs, or one more when the leading limb has fewer than
 * ten digits), rounded half to even on the rest. OSTREL2_TEXT_ALL_LIMBS writes every live limb
 * exactly. Trailing zeros are dropped and zero is "0". The text is positional ("123.45",
 * "0.00012") unless that needs more than 6 zeros between the point and the digits, more than 20
 * zeros before the point, or any zero before the point in place of a digit that was rounded
 * away; then it is scientific ("1.5e-300", "1e30", "1.2345678901e60").
 *
 * ostrel2_text_call computes one export of ostrel2.h with the library's messages caught and
 * handed back in Japanese and in English: called directly, an export that fails prints its
 * Japanese message in code page 932 on the process's standard output, which a program may need
 * for its data.
 *
 * Nothing is allocated, nothing is printed, and every function may be called from any thread.
 */
#ifndef OSTREL2_TEXT_H
#define OSTREL2_TEXT_H

#include <stddef.h>
#include <stdint.h>

#include "ostrel2.h"

#if defined(_WIN32)
#if defined(OSTREL2_TEXT_BUILDING_LIBRARY)
#define OSTREL2_TEXT_API __declspec(dllexport)
#else
#define OSTREL2_TEXT_API __declspec(dllimport)
#endif
#elif defined(OSTREL2_TEXT_BUILDING_LIBRARY) && defined(__GNUC__)
#define OSTREL2_TEXT_API __attribute__((visibility("default")))
#else
#define OSTREL2_TEXT_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* What the functions return. */
enum {
    OSTREL2_TEXT_OK = 0,
    OSTREL2_TEXT_EMPTY = 1,              /* no text at all */
    OSTREL2_TEXT_NO_DIGITS = 2,          /* a sign or point without any digit */
    OSTREL2_TEXT_BAD_CHARACTER = 3,      /* a character that does not belong to a number */
    OSTREL2_TEXT_EXPONENT_NO_DIGITS = 4, /* "e" not followed by digits */
    OSTREL2_TEXT_EXPONENT_RANGE = 5,     /* the value lies beyond 10^+-2,147,000,000 */
    OSTREL2_TEXT_PRECISION_RANGE = 6,    /* precision outside 1 .. 303 */
    OSTREL2_TEXT_NOT_WELL_FORMED = 7,    /* a record that has no decimal text (bad sign,
                                            precision or limb) */
    OSTREL2_TEXT_BUFFER_TOO_SMALL = 8    /* the text does not fit the buffer */
};

/* Formats. */
enum {
    OSTREL2_TEXT_ROUNDED = 0,   /* the significant digits the record promises */
    OSTREL2_TEXT_ALL_LIMBS = 1  /* every live limb, exactly */
};

/* Room for the text of any record, terminating NUL included. */
#define OSTREL2_TEXT_CAPACITY 3200

/* Reads text into *record at the given precision. On success the record is canonical with error
 * 0, *inexact (if not NULL) is 1 when non-zero digits were cut off and 0 otherwise. On failure
 * *record is untouched and *bad_offset (if not NULL) is the offset of the offending character. */
OSTREL2_TEXT_API int ostrel2_text_parse(const char* text, int32_t precision, LongNumber* record,
                                        int* inexact, size_t* bad_offset);

/* Writes the text of *record into buffer, NUL-terminated (buffer holds "" on failure). The
 * record's error field does not change the text. */
OSTREL2_TEXT_API int ostrel2_text_format(const LongNumber* record, int mode, char* buffer,
                                         size_t capacity);

/* A short English description of a status, e.g. "unexpected character in number". */
OSTREL2_TEXT_API const char* ostrel2_text_status_message(int status);

/* Room for the messages of one call in each language, terminating NUL included. */
#define OSTREL2_MESSAGE_CAPACITY 1024

/* The messages of one call, caught instead of printed. */
typedef struct Ostrel2Messages {
    int32_t count;   /* messages the call reported; 0 for a call that reported nothing */
    size_t printed;  /* bytes the export prints on standard output when called directly; more
                        than OSTREL2_MESSAGE_CAPACITY - 1 when `original` was cut */
    char original[OSTREL2_MESSAGE_CAPACITY]; /* those bytes: Japanese, code page 932 */
    char english[OSTREL2_MESSAGE_CAPACITY];  /* the same messages in English, a line each, and a
                                                line for a failure that prints nothing */
} Ostrel2Messages;

/* One call of an export: its name and the arguments it reads. */
typedef struct Ostrel2Call {
    const char* function;  /* the export's name, e.g. "Div_XL" */
    LongNumber* result;
    LongNumber* x;          /* LCM_XL writes its cofactors into x and y */
    LongNumber* y;
    double n;               /* Power_XL, Root_XL */
    int32_t whole;          /* the n of Factorial_XL */
    int32_t precision;      /* Pai_XL, Factorial_XL */
} Ostrel2Call;

/* Computes what the export computes, with the same result bits, and catches its messages in
 * *messages (which may be NULL) instead of printing them: nothing reaches standard output,
 * nothing shared by the process is touched, and calls on different threads run in parallel.
 * A failure that prints nothing still gets an English line: an argument the export refuses (a
 * precision outside 1 .. 303, a malformed record), an operand carrying an earlier failure, a zero
 * operand of LCM_XL. Returns the number of messages (0 for none), or -1 when `function` names no
 * export of the library (or Version_XL) or a record the export reads is NULL: then nothing is
 * computed and *messages is empty. */
OSTREL2_TEXT_API int ostrel2_text_call(const Ostrel2Call* call, Ostrel2Messages* messages);

/* The package version, e.g. "1.0.0" (Version_XL gives the interface version, 20091025). */
OSTREL2_TEXT_API const char* ostrel2_text_version(void);

#ifdef __cplusplus
}
#endif

#endif /* OSTREL2_TEXT_H */
