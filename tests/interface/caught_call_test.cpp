// caught_call_test.cpp -- ostrel2_text_call against the exports called directly: the same result
// bits, its messages handed back (the very bytes the export prints) with an English line each,
// nothing on standard output, each thread with its own messages.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "api/export_kinds.h"
#include "ostrel2.h"
#include "ostrel2_text.h"

namespace {

using ostrel2::api::Arguments;
using ostrel2::api::Export;
using ostrel2::api::Kind;
using ostrel2::api::kExports;

LongNumber Read(const char* text, int32_t precision) {
    LongNumber x;
    EXPECT_EQ(ostrel2_text_parse(text, precision, &x, nullptr, nullptr), OSTREL2_TEXT_OK) << text;
    return x;
}

LongNumber Erring(const char* text, int32_t precision) {
    LongNumber x = Read(text, precision);
    x.error = -1;
    return x;
}

// An argument of every kind of trouble beside ordinary ones: zero, negative, tiny, huge, beyond
// the angles' range, an operand carrying an error, a precision the entry points refuse.
struct Case {
    const char* label;
    LongNumber x;
    LongNumber y;
    double n;
    int32_t whole;
    int32_t precision;
};

std::vector<Case> Cases() {
    const LongNumber big = Read("1e1999999990", 3);
    LongNumber refused = Read("2", 3);
    refused.precision = 304;
    return {
        {"ordinary", Read("1.75", 3), Read("0.3", 3), 3.0, 12, 3},
        {"zero", Read("0", 3), Read("0", 3), 0.0, 0, 3},
        {"negative", Read("-2.5", 4), Read("-7", 4), -2.0, -1, 4},
        {"huge", big, big, 1e13, 1000001, 2},
        {"tiny", Read("1e-1999999990", 3), big, 0.5, 2000000000, 3},
        {"angle", Read("1e21", 3), Read("-1e-30", 3), 2.5, 3, 3},
        {"erring", Erring("2", 3), Read("0", 3), 2.0, 5, 3},
        {"refused", refused, Read("1", 3), 2.0, 5, 304},
    };
}

// The direct call with its standard output, and the caught call with its messages and whatever
// reached standard output meanwhile.
struct Outcome {
    LongNumber result;
    LongNumber x;
    LongNumber y;
    std::string printed;
};

Outcome Direct(const Export& e, const Case& c) {
    Outcome o{{}, c.x, c.y, {}};
    Arguments a;
    a.result = &o.result;
    a.x = &o.x;
    a.y = &o.y;
    a.n = c.n;
    a.first = e.kind == Kind::IntPrecision ? c.whole : c.precision;
    a.second = c.precision;
    testing::internal::CaptureStdout();
    e.invoke(a);
    o.printed = testing::internal::GetCapturedStdout();
    return o;
}

Outcome Caught(const Export& e, const Case& c, Ostrel2Messages& messages, int& returned) {
    Outcome o{{}, c.x, c.y, {}};
    Ostrel2Call call = {e.name, &o.result, &o.x, &o.y, c.n, c.whole, c.precision};
    testing::internal::CaptureStdout();
    returned = ostrel2_text_call(&call, &messages);
    o.printed = testing::internal::GetCapturedStdout();
    return o;
}

TEST(CaughtCall, SameBitsAndMessagesAsTheExportNothingPrinted) {
    for (const Export& e : kExports) {
        if (e.kind == Kind::Version) continue;
        for (const Case& c : Cases()) {
            SCOPED_TRACE(std::string(e.name) + " " + c.label);
            const Outcome direct = Direct(e, c);
            Ostrel2Messages messages;
            int returned = 0;
            const Outcome caught = Caught(e, c, messages, returned);
            EXPECT_EQ(std::memcmp(&direct.result, &caught.result, sizeof(LongNumber)), 0);
            EXPECT_EQ(std::memcmp(&direct.x, &caught.x, sizeof(LongNumber)), 0);
            EXPECT_EQ(std::memcmp(&direct.y, &caught.y, sizeof(LongNumber)), 0);
            EXPECT_EQ(caught.printed, "");
            EXPECT_EQ(messages.original, direct.printed);
            EXPECT_EQ(messages.printed, direct.printed.size());
            EXPECT_EQ(returned, messages.count);
            // Every failure can be read in English, also those that print nothing.
            if (caught.result.error < 0) {
                EXPECT_GT(messages.count, 0);
                EXPECT_NE(messages.english[0], '\0');
            }
            if (!direct.printed.empty()) {
                EXPECT_NE(messages.english[0], '\0');
            }
        }
    }
}

// The English lines of failures, those that print nothing included.
TEST(CaughtCall, EnglishSaysWhatHappened) {
    struct Expected {
        const char* function;
        const char* x;
        const char* y;
        const char* english;
        int32_t error;
    };
    const Expected kExpected[] = {
        {"Div_XL", "1", "0", "division by zero\n", -1},
        {"Div2_XL", "1", "0", "division by zero\n", -1},
        {"Exp_XL", "-1e10", "0", "the real power underflows", -1},
        {"Exp_XL", "1e10", "0", "the real power overflows", -1},
        {"Multipl_XL", "1e-1999999990", "1e-1999999990", "the result underflows", -1},
        {"Multipl2_XL", "1e1999999990", "1e1999999990", "the result overflows", -1},
        {"LCM_XL", "0", "5", "gcd: an operand rounds to zero", -2},
        {"Sqr_XL", "-4", "0", "square root of a negative number\n", -1},
    };
    for (const Expected& c : kExpected) {
        SCOPED_TRACE(c.function);
        LongNumber x = Read(c.x, 5);
        LongNumber y = Read(c.y, 5);
        LongNumber r;
        Ostrel2Messages messages;
        Ostrel2Call call = {c.function, &r, &x, &y, 0.0, 0, 0};
        EXPECT_EQ(ostrel2_text_call(&call, &messages), 1);
        EXPECT_EQ(std::string(messages.english).rfind(c.english, 0), 0u) << messages.english;
        EXPECT_EQ(r.error, c.error);
    }
}

// Failures that the exports give through the error field alone.
TEST(CaughtCall, QuietFailuresHaveTheirLine) {
    LongNumber r;
    LongNumber x = Read("2", 3);
    LongNumber failed = Erring("1", 3);
    LongNumber refused = Read("1", 3);
    refused.precision = 304;
    Ostrel2Messages messages;

    Ostrel2Call inherited = {"Add_XL", &r, &x, &failed, 0.0, 0, 0};
    EXPECT_EQ(ostrel2_text_call(&inherited, &messages), 1);
    EXPECT_STREQ(messages.english, "an operand carries the error of an earlier failure\n");
    EXPECT_STREQ(messages.original, "");
    EXPECT_EQ(messages.printed, 0u);

    Ostrel2Call guarded = {"Sin_XL", &r, &refused, nullptr, 0.0, 0, 0};
    EXPECT_EQ(ostrel2_text_call(&guarded, &messages), 1);
    EXPECT_EQ(std::string(messages.english).rfind("an argument record was refused", 0), 0u);

    Ostrel2Call precision = {"Pai_XL", &r, nullptr, nullptr, 0.0, 0, 400};
    EXPECT_EQ(ostrel2_text_call(&precision, &messages), 1);
    EXPECT_STREQ(messages.english, "the precision is outside 1 .. 303\n");
    EXPECT_EQ(r.error, -1);

    // An operand with an error whose call fails for a reason of its own says only that.
    LongNumber zero = Read("0", 3);
    Ostrel2Call own = {"Div_XL", &r, &failed, &zero, 0.0, 0, 0};
    EXPECT_EQ(ostrel2_text_call(&own, &messages), 1);
    EXPECT_STREQ(messages.english, "division by zero\n");
}

TEST(CaughtCall, CallsThatCannotBeMadeComputeNothing) {
    LongNumber r;
    LongNumber x = Read("2", 3);
    std::memset(&r, 0x5a, sizeof r);
    const LongNumber untouched = r;
    Ostrel2Messages messages;
    messages.count = 7;
    const Ostrel2Call kRefused[] = {
        {"Nope_XL", &r, &x, &x, 0.0, 0, 0},
        {"Version_XL", &r, &x, &x, 0.0, 0, 0},
        {nullptr, &r, &x, &x, 0.0, 0, 0},
        {"Add_XL", &r, &x, nullptr, 0.0, 0, 0},
        {"Sin_XL", &r, nullptr, nullptr, 0.0, 0, 0},
        {"Pai_XL", nullptr, nullptr, nullptr, 0.0, 0, 5},
    };
    for (const Ostrel2Call& call : kRefused) {
        EXPECT_EQ(ostrel2_text_call(&call, &messages), -1) << (call.function ? call.function : "");
        EXPECT_EQ(messages.count, 0);
        EXPECT_STREQ(messages.english, "");
    }
    EXPECT_EQ(ostrel2_text_call(nullptr, &messages), -1);
    EXPECT_EQ(std::memcmp(&r, &untouched, sizeof r), 0);
    Ostrel2Call quiet = {"Div_XL", &r, &x, &x, 0.0, 0, 0};
    EXPECT_EQ(ostrel2_text_call(&quiet, nullptr), 0);  // the messages may be left out
}

// Threads failing and succeeding side by side each get their own results and messages.
TEST(CaughtCall, EachThreadGetsItsOwnMessages) {
    std::vector<std::string> problems(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &problems] {
            LongNumber r;
            LongNumber x = Read(t % 2 == 0 ? "-4" : "4", 3);
            Ostrel2Messages messages;
            Ostrel2Call call = {"Sqr_XL", &r, &x, nullptr, 0.0, 0, 0};
            for (int k = 0; k < 200; ++k) {
                const int count = ostrel2_text_call(&call, &messages);
                const bool fails = t % 2 == 0;
                if (count != (fails ? 1 : 0) || (r.error != 0) != fails ||
                    std::strcmp(messages.english, fails ? "square root of a negative number\n" : "") != 0) {
                    problems[t] = messages.english;
                }
            }
        });
    }
    for (std::thread& t : threads) t.join();
    for (const std::string& p : problems) EXPECT_EQ(p, "");
}

}  // namespace
