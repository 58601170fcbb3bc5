#include "geo/cp1252.h"

#include <gtest/gtest.h>

using namespace korvalen::text;

namespace {

TEST(Cp1252, DegreeSignAndAccents) {
    EXPECT_EQ(Cp1252ToUtf8("48\xb0" "51'"), "48\u00b051'");
    EXPECT_EQ(Utf8ToCp1252("48\u00b051'"), "48\xb0" "51'");
    EXPECT_EQ(Cp1252ToUtf8("cr\xe9" "er \x80"), "cr\u00e9er \u20ac");
    EXPECT_EQ(Utf8ToCp1252("Espa\u00f1ol \u2026"), "Espa\xf1ol \x85");
}

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    bool lossless = false;
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all), &lossless), all);
    EXPECT_TRUE(lossless);
}

TEST(Cp1252, UnencodableAndMalformedBecomeQuestionMarks) {
    bool lossless = true;
    EXPECT_EQ(Utf8ToCp1252("a\u4e2db", &lossless), "a?b");
    EXPECT_FALSE(lossless);
    EXPECT_EQ(Utf8ToCp1252("a\xff" "b", &lossless), "a?b");   // stray byte
    EXPECT_EQ(Utf8ToCp1252("a\xc3", &lossless), "a?");         // truncated sequence
    EXPECT_EQ(Utf8ToCp1252("\xc0\xaf", &lossless), "??");      // overlong form
    EXPECT_EQ(Utf8ToUtf32("\xed\xa0\x80").size(), 3u);          // surrogates are refused
}

TEST(Cp1252, Utf32RoundTrip) {
    const std::string s = "\u00b0\u20ac\U0001F4E1x";
    EXPECT_EQ(Utf32ToUtf8(Utf8ToUtf32(s)), s);
    EXPECT_EQ(Utf8ToUtf32(s).size(), 4u);
}

}  // namespace
