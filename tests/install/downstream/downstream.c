/* downstream.c -- a program built against an installed Ostrel2: text in, one export, text out.
 * Prints "ok <package version> <interface version>" and exits 0 when every check holds. */
#include <stdio.h>
#include <string.h>

#include <ostrel2.h>
#include <ostrel2_text.h>

static int failures = 0;

static void Check(int condition, const char* what) {
    if (!condition) {
        fprintf(stderr, "failed: %s\n", what);
        ++failures;
    }
}

int main(void) {
    LongNumber x, y, r;
    char text[OSTREL2_TEXT_CAPACITY];
    int inexact = -1;
    size_t offset = 0;

    Check(ostrel2_text_parse("2", 3, &x, &inexact, NULL) == OSTREL2_TEXT_OK && inexact == 0,
          "parse 2");
    Check(ostrel2_text_parse("0.5", 3, &y, NULL, NULL) == OSTREL2_TEXT_OK, "parse 0.5");
    Add_XL(&r, &x, &y);
    Check(r.error == 0, "2 + 0.5 succeeds");
    Check(ostrel2_text_format(&r, OSTREL2_TEXT_ROUNDED, text, sizeof text) == OSTREL2_TEXT_OK &&
              strcmp(text, "2.5") == 0,
          "2 + 0.5 is 2.5");

    /* 45 digits at precision 1 (five live limbs) keep everything; 51 do not. */
    Check(ostrel2_text_parse("123456789012345678901234567890123456789012345", 1, &x, &inexact,
                             NULL) == OSTREL2_TEXT_OK && inexact == 0,
          "45 digits fit");
    Check(ostrel2_text_parse("123456789012345678901234567890123456789012345678901", 1, &x,
                             &inexact, NULL) == OSTREL2_TEXT_OK && inexact == 1,
          "51 digits are cut");
    Check(ostrel2_text_parse("1.2.3", 1, &x, NULL, &offset) == OSTREL2_TEXT_BAD_CHARACTER &&
              offset == 3,
          "1.2.3 is refused at offset 3");
    Check(strcmp(ostrel2_text_status_message(OSTREL2_TEXT_BAD_CHARACTER),
                 "unexpected character in number") == 0,
          "status message");
    Check(Version_XL() == OSTREL2_VERSION, "interface version");

    /* A failing call through ostrel2_text_call: its message comes back, in code page 932 and in
     * English, instead of going to standard output (the caller checks that standard output
     * holds the "ok" line alone). */
    {
        static const char divisionByZero[] = /* 多倍長数のゼロでの除算エラー\n in code page 932 */
            "\x91\xbd\x94\x7b\x92\xb7\x90\x94\x82\xcc\x83\x5b\x83\x8d\x82\xc5\x82\xcc\x8f\x9c"
            "\x8e\x5a\x83\x47\x83\x89\x81\x5b\x0a";
        Ostrel2Messages messages;
        Ostrel2Call call = {"Div_XL", &r, &x, &y, 0, 0, 0};
        ostrel2_text_parse("1", 1, &x, NULL, NULL);
        ostrel2_text_parse("0", 1, &y, NULL, NULL);
        Check(ostrel2_text_call(&call, &messages) == 1 && messages.printed == 29,
              "one message of 29 bytes");
        Check(strcmp(messages.original, divisionByZero) == 0 && r.error == -1,
              "the message of 1 / 0");
        Check(strcmp(messages.english, "division by zero\n") == 0, "its English text");
        call.function = "Nothing_XL";
        Check(ostrel2_text_call(&call, &messages) == -1, "an unknown export");
    }

    if (failures != 0) return 1;
    printf("ok %s %ld\n", ostrel2_text_version(), (long)Version_XL());
    return 0;
}
