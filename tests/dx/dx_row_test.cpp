// The DX row's fields read as numbers, the built-in rows in the locale's
// notation, and the operator's entries as the settings file brings them.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "dx/dx_row.h"

using namespace korvalen::dx;

namespace {

constexpr char kPoint[] = ".";
constexpr char kComma[] = ",";

// ---- ReadDxLatitude / ReadDxLongitude ----

struct DegreesCase {
    const char* label;
    const char* text;
    bool latitude;             // which reader
    std::optional<double> expected;  // nullopt: rejected
};
void PrintTo(const DegreesCase& c, std::ostream* os) { *os << c.label; }

const DegreesCase kDegreesCases[] = {
    {"CommaLatitudeNorth", "42,83N", true, 42.83},
    {"PointLatitudeSouth", "45.5S", true, -45.5},
    {"WholeDegrees", "38N", true, 38},
    // Both letters: the one left after the last is dropped spoils the number.
    {"BothHemispheres", "10NS", true, std::nullopt},
    {"LetterFirstLeavesNoNumber", "N45", true, std::nullopt},
    {"NoHemisphereLetter", "45", true, std::nullopt},
    {"BothMarks", "12,5.3E", false, std::nullopt},
    {"LongitudeEast", "12,83E", false, 12.83},
    {"LongitudeWest", "157,75W", false, -157.75},
    {"BothLongitudeLetters", "5EW", false, std::nullopt},
    {"LatitudeLetterOnLongitude", "12N", false, std::nullopt},
    {"EmptyNumber", "N", true, std::nullopt},
    {"TwoPoints", "1.2.3N", true, std::nullopt},
    {"BlanksAroundTheNumber", " 7,5 N", true, 7.5},
};

class ReadDegrees : public testing::TestWithParam<DegreesCase> {};

TEST_P(ReadDegrees, ReadsTheSameInAPointAndACommaLocale) {
    const DegreesCase& c = GetParam();
    for (const char* separator : {kPoint, kComma}) {
        const auto value = c.latitude ? ReadDxLatitude(c.text, separator) : ReadDxLongitude(c.text, separator);
        ASSERT_EQ(value.has_value(), c.expected.has_value()) << "separator " << separator;
        if (value) {
            EXPECT_NEAR(static_cast<double>(*value), *c.expected, 1e-12) << "separator " << separator;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, ReadDegrees, testing::ValuesIn(kDegreesCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(LocaleToFloat, FollowsTheLocaleSeparatorOnly) {
    EXPECT_EQ(LocaleToFloat("2,25", kComma), 2.25);
    EXPECT_EQ(LocaleToFloat("2,25", kPoint), std::nullopt);
    EXPECT_EQ(LocaleToFloat("-1e2", kPoint), -100.0);
    EXPECT_EQ(LocaleToFloat("+3", kPoint), 3.0);
    for (const char* bad : {"", " ", ".", "1e", "1,000.5", "0x10", "inf", "nan", "1e999", "12a"})
        EXPECT_EQ(LocaleToFloat(bad, kPoint), std::nullopt) << bad;
}

// ---- LocaliseDxRow ----

TEST(LocaliseDxRow, WritesPointsInAPointLocaleAndLeavesACommaLocaleAlone) {
    const std::string first = "1A\tMalta (Eu)\t35,83N\t14,58E\tUTC+1*";
    EXPECT_EQ(LocaliseDxRow(first, kComma), first);
    EXPECT_EQ(LocaliseDxRow(first, kPoint), "1A\tMalta (Eu)\t35.83N\t14.58E\tUTC+1*");
    EXPECT_EQ(LocaliseDxRow("AH6-7\tHawa\u00ef (Oc)\t20N\t157,75W\tUTC-10", kPoint),
              "AH6-7\tHawa\u00ef (Oc)\t20N\t157.75W\tUTC-10");
    EXPECT_EQ(LocaliseDxRow("3DA-3DM\tSwaziland (Af)\t26,5S\t31,5E\tUTC+2", kPoint),
              "3DA-3DM\tSwaziland (Af)\t26.5S\t31.5E\tUTC+2");
    // Eleven-metre rows have no UTC field; row 292 has no coordinates.
    EXPECT_EQ(LocaliseDxRow("7\tNetherland Antilles (SAm) deleted\t12,25N\t69W", kPoint),
              "7\tNetherland Antilles (SAm) deleted\t12.25N\t69W");
    const std::string twoFields = "292\tAbu Ail Island (As) deleted";
    EXPECT_EQ(LocaliseDxRow(twoFields, kPoint), twoFields);
    EXPECT_EQ(LocaliseDxRow("", kPoint), "");
}

TEST(LocaliseDxRow, KeepsAtMostAHundredCharactersOfTheUtcField) {
    const std::string utc(150, 'x');
    EXPECT_EQ(LocaliseDxRow("K\tX (NAm)\t1N\t2W\t" + utc, kPoint), "K\tX (NAm)\t1N\t2W\t" + utc.substr(0, 100));
}

// ---- DxRecordToRow ----

TEST(DxRecordToRow, JoinsTheFieldsWithTheSeparatorAndDropsAnEmptyUtc) {
    const DxRecord home{"DL1ABC", "Home (Eu)", "48,5", "N", "2,25", "E", "UTC+1"};
    EXPECT_EQ(DxRecordToRow(home, "\t"), "DL1ABC\tHome (Eu)\t48,5N\t2,25E\tUTC+1");
    EXPECT_EQ(DxRecordToRow(home, "/"), "DL1ABC/Home (Eu)/48,5N/2,25E/UTC+1");
    DxRecord noUtc = home;
    noUtc.Utc.clear();
    EXPECT_EQ(DxRecordToRow(noUtc, "="), "DL1ABC=Home (Eu)=48,5N=2,25E");
}

TEST(SeparatorText, EachChoiceJoinsWithItsCharacter) {
    EXPECT_EQ(SeparatorText(Separator::Default), "\t");
    EXPECT_EQ(SeparatorText(Separator::Underscore), "_");
    EXPECT_EQ(SeparatorText(Separator::Slash), "/");
    EXPECT_EQ(SeparatorText(Separator::Equal), "=");
}

// ---- The tolerant number check and the load ----

TEST(TolerantNumber, AcceptsEitherMarkAndStoresTheLocaleOne) {
    EXPECT_EQ(TolerantNumber("48,5", kComma), "48,5");
    EXPECT_EQ(TolerantNumber("48.5", kComma), "48,5");
    EXPECT_EQ(TolerantNumber("48,5", kPoint), "48.5");
    EXPECT_EQ(TolerantNumber("48", kPoint), "48");
    for (const char* bad : {"", "abc", "4,8.5", "4.8.5", "1,2,3"}) {
        EXPECT_EQ(TolerantNumber(bad, kPoint), std::nullopt) << bad;
        EXPECT_EQ(TolerantNumber(bad, kComma), std::nullopt) << bad;
    }
}

TEST(LoadUserDxTable, FillsRowsByLineNumberAndSkipsBadLines) {
    const std::vector<std::string> lines = {
        "dl1abc\tHome (Eu)\t48.5\tn\t2,25\te\tUTC+1",  // checked, upper-cased
        "F5XX\tNo latitude\t\tN\t2\tE",                 // skipped: row 2 stays empty
        "W1AW\tNewington (NAm)\t41,7\tN\t72,7\tW",      // no UTC: fine
        "G0A\tBad hemisphere\t51\tX\t0\tE",
        "EA1\tSpain (Eu)\t40\tN\t4\tW\tUTC+1*\textra",  // the UTC field is the whole rest
        "",                                             // ends the load
        "ON4XX\tAfter the end (Eu)\t50\tN\t4\tE",
    };
    const auto table = LoadUserDxTable(lines, DxList::Ham, kComma);
    EXPECT_EQ(table[0], (DxRecord{"DL1ABC", "Home (Eu)", "48,5", "N", "2,25", "E", "UTC+1"}));
    EXPECT_EQ(table[1], DxRecord{});
    EXPECT_EQ(table[2], (DxRecord{"W1AW", "Newington (NAm)", "41,7", "N", "72,7", "W", ""}));
    EXPECT_EQ(table[3], DxRecord{});
    EXPECT_EQ(table[4].Utc, "UTC+1*\textra");
    EXPECT_EQ(table[6], DxRecord{});
    const auto entries = UserEntries(table);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].Call, "W1AW");
}

TEST(LoadUserDxTable, ElevenMetreEntriesTakeTheWholeRestAsEastWest) {
    const std::vector<std::string> lines = {"14AT001\tParis (Eu)\t48,85\tN\t2,35\tE",
                                            "14AT002\tTrailing (Eu)\t48\tN\t2\tE\tUTC+1"};
    const auto table = LoadUserDxTable(lines, DxList::ElevenMetre, kComma);
    EXPECT_EQ(table[0].EastWest, "E");
    EXPECT_TRUE(table[0].Utc.empty());
    EXPECT_EQ(table[1], DxRecord{});
}

TEST(LoadUserDxTable, LoadsNoMoreThanTheTableHolds) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 120; ++i) lines.push_back("C" + std::to_string(i) + "\tX (Eu)\t1\tN\t1\tE");
    const auto table = LoadUserDxTable(lines, DxList::Ham, kPoint);
    EXPECT_EQ(UserEntries(table).size(), UserDxRows);
    EXPECT_EQ(table[UserDxRows - 1].Call, "C99");
}

}  // namespace
