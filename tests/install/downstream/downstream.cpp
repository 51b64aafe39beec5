// downstream.cpp -- the installed headers from C++: both declare their functions extern "C".
#include <ostrel2.h>
#include <ostrel2_text.h>

#include <cstdio>
#include <cstring>

int main() {
    LongNumber one, three, third;
    ostrel2_text_parse("1", 1, &one, nullptr, nullptr);
    ostrel2_text_parse("3", 1, &three, nullptr, nullptr);
    Div2_XL(&third, &one, &three);
    char text[OSTREL2_TEXT_CAPACITY];
    ostrel2_text_format(&third, OSTREL2_TEXT_ROUNDED, text, sizeof text);
    if (third.error != 0 || std::strcmp(text, "0.3333333333") != 0) {
        std::fprintf(stderr, "failed: 1 / 3 at precision 1 gave %s\n", text);
        return 1;
    }
    std::printf("ok %s\n", text);
    return 0;
}
