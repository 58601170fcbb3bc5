// What choosing a DX row computes, and the working list: the built-in rows
// in the locale's notation and the separator's, the operator's rows after
// them, the ham list in its word order.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "data/dx_tables.h"
#include "dx/dx_panel.h"

using namespace korvalen;
using namespace korvalen::dx;

namespace {

constexpr char kPoint[] = ".";
constexpr char kComma[] = ",";
const std::string kAzimuth = " Azimuth = ";
const std::string kRange = " Range = ";

// ---- Choose row: the values ----

struct BeamCase {
    const char* label;
    geo::LatLong centre;
    const char* row;
    bool miles;
    int azimuth, range, longAzimuth, longRange;
    int markerX, markerY;
};
void PrintTo(const BeamCase& c, std::ostream* os) { *os << c.label; }

const BeamCase kBeamCases[] = {
    // A DX on the centre itself: no direction, the long path the whole way.
    {"AtTheCentreKm", {46, 2}, "F\tFrance (Eu)\t46N\t2E\tUTC+1*", false, 0, 0, 180, 40000, 300, 300},
    {"AtTheCentreMiles", {46, 2}, "F\tFrance (Eu)\t46N\t2E\tUTC+1*", true, 0, 0, 180, 24855, 300, 300},
    // Due east at a quarter of the circumference.
    {"QuarterEastKm", {0, 0}, "X\tEast (As)\t0N\t90E", false, 90, 10001, 270, 29999, 450, 300},
    {"QuarterEastMiles", {0, 0}, "X\tEast (As)\t0N\t90E", true, 90, 6214, 270, 18641, 450, 300},
    // Due south at an eighth.
    {"EighthSouthKm", {0, 0}, "X\tSouth (Af)\t45S\t0E", false, 180, 5000, 0, 35000, 300, 375},
};

class ChooseRowBeam : public testing::TestWithParam<BeamCase> {};

TEST_P(ChooseRowBeam, GivesTheReadoutsTheMarkerAndTheAzimuth) {
    const BeamCase& c = GetParam();
    const geo::Real unit = c.miles ? geo::StatuteMileFactor : geo::KilometreFactor;
    const RowChoice choice = ChooseRow(c.row, "\t", kPoint, c.centre, unit, kAzimuth, kRange);
    ASSERT_TRUE(choice.beam);
    EXPECT_EQ(choice.beam->azimuth, c.azimuth);
    EXPECT_EQ(choice.beam->range, c.range);
    EXPECT_EQ(choice.beam->longAzimuth, c.longAzimuth);
    EXPECT_EQ(choice.beam->longRange, c.longRange);
    EXPECT_EQ(choice.beam->marker.x, c.markerX);
    EXPECT_EQ(choice.beam->marker.y, c.markerY);
    const std::string unitText = c.miles ? " miles" : " km";
    EXPECT_EQ(choice.beam->readouts.shortPath, kAzimuth + std::to_string(c.azimuth) + "\u00b0 / " + kRange +
                                                   std::to_string(c.range) + unitText);
    EXPECT_EQ(choice.beam->readouts.longPath, kAzimuth + std::to_string(c.longAzimuth) + "\u00b0 / " + kRange +
                                                  std::to_string(c.longRange) + unitText);
}

INSTANTIATE_TEST_SUITE_P(Positions, ChooseRowBeam, testing::ValuesIn(kBeamCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ChooseRow, ABearingJustBelowAFullTurnRoundsTo360) {
    // A hair west of due north.
    const RowChoice choice = ChooseRow("X\tNorth (Eu)\t60N\t0,01W", "\t", kPoint, {0, 0}, 1, "", "");
    ASSERT_TRUE(choice.beam);
    EXPECT_EQ(choice.beam->azimuth, 360);
    EXPECT_EQ(choice.beam->longAzimuth, 180);
}

// ---- Choose row: where it stops ----

TEST(ChooseRow, TheHintShowsTheFieldsTwoBlanksApart) {
    const RowChoice choice = ChooseRow("1A\tMalta (Eu)\t35,83N\t14,58E\tUTC+1*", "\t", kComma, {46, 2}, 1, "", "");
    EXPECT_EQ(choice.hint, "  1A  Malta (Eu)  35,83N  14,58E  UTC+1*");
    EXPECT_EQ(choice.key, "1A");
    EXPECT_EQ(choice.country, "Malta (Eu)");
    EXPECT_EQ(choice.utc, "UTC+1*");
    EXPECT_TRUE(choice.beam);
}

TEST(ChooseRow, StopsAtTheFirstFieldThatCannotBeSplitOrRead) {
    // No separator at all: only the hint.
    RowChoice c = ChooseRow("JUSTTEXT", "\t", kPoint, {0, 0}, 1, "", "");
    EXPECT_EQ(c.hint, "  JUSTTEXT");
    EXPECT_FALSE(c.key);
    EXPECT_FALSE(c.beam);
    // The 11-metre row without coordinates: the key, no beam.
    c = ChooseRow("292\tAbu Ail Island (As) deleted", "\t", kPoint, {0, 0}, 1, "", "");
    EXPECT_EQ(c.key, "292");
    EXPECT_FALSE(c.utc);
    EXPECT_FALSE(c.beam);
    // A latitude that does not read: the UTC box is not reached.
    c = ChooseRow("X\tY (Eu)\tN45\t2E\tUTC+1", "\t", kPoint, {0, 0}, 1, "", "");
    EXPECT_EQ(c.key, "X");
    EXPECT_FALSE(c.utc);
    EXPECT_FALSE(c.beam);
    // A longitude that does not read: the UTC box has been written.
    c = ChooseRow("X\tY (Eu)\t45N\t2X\tUTC+1", "\t", kPoint, {0, 0}, 1, "", "");
    EXPECT_EQ(c.utc, "UTC+1");
    EXPECT_FALSE(c.beam);
}

TEST(ChooseRow, WithTheSlashSeparatorSuffixKeysSplitAtTheirOwnStroke) {
    const RowChoice fo = ChooseRow("FO/A/Austral Is(Oc)/23S/150W/UTC-10", "/", kPoint, {0, 0}, 1, "", "");
    EXPECT_EQ(fo.key, "FO");
    EXPECT_FALSE(fo.beam);
    // A two-zone UTC field follows the longitude's separator and stays whole.
    const RowChoice id = ChooseRow("YB-YH/Indonesia (Oc)/2S/118E/UTC+7/+9", "/", kPoint, {0, 0}, 1, "", "");
    ASSERT_TRUE(id.beam);
    EXPECT_EQ(id.utc, "UTC+7/+9");
}

TEST(ChooseRow, ARowWithoutUtcEmptiesTheUtcBox) {
    const RowChoice c = ChooseRow("DL1ABC\tHome (Eu)\t48,5N\t2,25E", "\t", kComma, {0, 0}, 1, "", "");
    ASSERT_TRUE(c.beam);
    EXPECT_EQ(c.utc, "");
}

// ---- The word sort ----

TEST(WordSortLess, PunctuationThenDigitsThenLettersHyphensIgnored) {
    const std::vector<std::string> ordered = {
        "F\tFrance (Eu)",  // a TAB sorts before anything else on the row
        "F5",
        "FG\tGuadeloupe",
        "fh\tMayotte",  // case does not count
        "FO\tFr. Polynesia",
        "FO/A\tAustral Is(Oc)",  // the stroke: punctuation before digits
        "FO0\tClipperton",
        "FP\tSt Pierre",
        "HJ-HK\tColombia",  // the hyphen is ignored: HJHK
        "HK0\tBajo Nuevo",
        "HK0\tMalpelo",
    };
    for (std::size_t i = 0; i + 1 < ordered.size(); ++i) {
        EXPECT_TRUE(WordSortLess(ordered[i], ordered[i + 1])) << ordered[i] << " < " << ordered[i + 1];
        EXPECT_FALSE(WordSortLess(ordered[i + 1], ordered[i])) << ordered[i + 1] << " !< " << ordered[i];
    }
    // Accented letters go with their base letter, apostrophes are ignored.
    EXPECT_TRUE(WordSortLess("Hawa\u00efi", "Hawaj"));
    EXPECT_TRUE(WordSortLess("Sierra L'one", "Sierra Lp"));
    EXPECT_FALSE(WordSortLess("A", "A"));
}

// ---- FillDxList ----

TEST(FillDxList, TheHamListIsSortedAndTheElevenMetreListKeepsItsOrder) {
    const auto ham = FillDxList(DxList::Ham, Separator::Default, {}, kComma);
    ASSERT_EQ(ham.size(), data::HamDxRowCount);
    EXPECT_TRUE(std::is_sorted(ham.begin(), ham.end(), WordSortLess));
    EXPECT_TRUE(std::is_permutation(ham.begin(), ham.end(), data::HamDxRows.begin()));

    const auto cb = FillDxList(DxList::ElevenMetre, Separator::Default, {}, kComma);
    ASSERT_EQ(cb.size(), data::ElevenMetreDxRowCount);
    EXPECT_TRUE(std::equal(cb.begin(), cb.end(), data::ElevenMetreDxRows.begin()));
}

TEST(FillDxList, ThePointLocaleAndTheSeparatorRewriteEveryBuiltInRow) {
    const auto rows = FillDxList(DxList::ElevenMetre, Separator::Equal, {}, kPoint);
    EXPECT_EQ(rows.front(), "1=Italia (Eu)=42.83N=12.83E");
    for (const std::string& r : rows) {
        EXPECT_EQ(r.find('\t'), std::string::npos) << r;
        EXPECT_EQ(r.find(','), std::string::npos) << r;
    }
    EXPECT_EQ(rows[291], "292=Abu Ail Island (As) deleted");
}

TEST(FillDxList, TheOperatorsRowsFollowTheBuiltInOnes) {
    const std::vector<DxRecord> mine = {{"9ZZ9", "Second (Eu)", "1", "N", "1", "E", ""},
                                        {"14AT1", "First (Eu)", "48,5", "N", "2", "E", ""}};
    const auto cb = FillDxList(DxList::ElevenMetre, Separator::Underscore, mine, kComma);
    ASSERT_EQ(cb.size(), data::ElevenMetreDxRowCount + 2);
    EXPECT_EQ(cb[cb.size() - 2], "9ZZ9_Second (Eu)_1N_1E");
    EXPECT_EQ(cb.back(), "14AT1_First (Eu)_48,5N_2E");

    // On the ham list they are sorted in with the rest.
    const auto ham = FillDxList(DxList::Ham, Separator::Default, mine, kComma);
    EXPECT_TRUE(std::is_sorted(ham.begin(), ham.end(), WordSortLess));
    EXPECT_NE(std::find(ham.begin(), ham.end(), "14AT1\tFirst (Eu)\t48,5N\t2E"), ham.end());
}

TEST(FillDxList, EveryBuiltInRowCanBeChosenExceptTheOneWithoutCoordinates) {
    for (DxList list : {DxList::Ham, DxList::ElevenMetre}) {
        for (const char* decimal : {kPoint, kComma}) {
            for (const std::string& row : FillDxList(list, Separator::Default, {}, decimal)) {
                const RowChoice c = ChooseRow(row, "\t", decimal, {48.85, 2.35}, 1, "", "");
                if (row.rfind("292\t", 0) == 0 && list == DxList::ElevenMetre)
                    EXPECT_FALSE(c.beam) << row;
                else
                    EXPECT_TRUE(c.beam) << row << " (decimal " << decimal << ")";
            }
        }
    }
}

}  // namespace
