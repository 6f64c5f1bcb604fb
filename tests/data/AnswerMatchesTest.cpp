#include "data/AnswerMatches.h"

#include <gtest/gtest.h>

namespace {

TEST(AnswerMatches, OnlyTheAsciiLettersCountIgnoringCase)
{
    struct Case {
        const char* expected;
        const char* given;
        bool right;
    };
    const Case cases[] = {
        {"Apple", " apple ", true},
        {"o'clock", "oclock", true},
        {"I'm fine.", "im fine", true},
        {"Good\r\nmorning!", "GOODMORNING", true},
        {"Tom", "Tim", false},
        {"Tom", "Tomm", false},
        {"Tom", "", false},
        {"on", "no", false},                 // order matters
        {"1990", "", true},                  // no letters on either side
        {"1990", "2001!", true},
        {"", "", true},
        {"café", "caf", true},               // é is not one of A-Z
        {"ＡＢＣ", "", true},                  // nor are full-width letters
        {"我是Tom", "tom", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AnswerMatches(QString::fromUtf8(c.expected), QString::fromUtf8(c.given)), c.right)
            << c.expected << " / " << c.given;
}

} // namespace
