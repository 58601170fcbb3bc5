// The table behind the operator's DX list editors: the load from the
// settings lines, OK's walk, the snapshot put back by Cancel, and the lines
// written back at exit (read again at the next start).
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "dx/user_dx_table.h"
#include "settings/settings.h"

using namespace korvalen::dx;
using korvalen::settings::FormatSettings;
using korvalen::settings::ParseSettings;

namespace {

using Row = std::vector<std::string>;  // the cells of one row, from column 0

Row Cells(const UserDxTable& t, int row) {
    Row cells;
    for (int c = 0; c < t.ColumnCount(); ++c) cells.push_back(t.Cell(row, c));
    return cells;
}

void SetRow(UserDxTable& t, int row, const Row& cells) {
    for (int c = 0; c < static_cast<int>(cells.size()); ++c) t.SetCell(row, c, cells[static_cast<std::size_t>(c)]);
}


// ---- Load ----

struct LoadCase {
    const char* label;
    const char* decimal;
    DxList list;
    std::vector<std::string> lines;
    std::vector<std::pair<int, Row>> rows;  // the rows filled; every other stays empty
    std::vector<std::string> kept;
};
void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.label; }

const LoadCase kLoadCases[] = {
    {"EitherMarkBecomesTheCommaLocales", ",", DxList::Ham,
     {"f5abc\tHome (Eu)\t48.8\tn\t2,3\te"},
     {{1, {"F5ABC", "Home (Eu)", "48,8", "N", "2,3", "E", ""}}},
     {}},
    {"EitherMarkBecomesThePointLocales", ".", DxList::Ham,
     {"f5abc\tHome (Eu)\t48.8\tn\t2,3\te"},
     {{1, {"F5ABC", "Home (Eu)", "48.8", "N", "2.3", "E", ""}}},
     {}},
    // The row number is the line number: a skipped line leaves a gap, and
    // the line itself is kept for the file.
    {"TwoLetterHemisphereIsSkippedAndKept", ".", DxList::Ham,
     {"G0A\tUK (Eu)\t51\tNE\t0\tE", "W1AW\tNewington (NAm)\t41.7\tN\t72.7\tW\tUTC-5"},
     {{2, {"W1AW", "Newington (NAm)", "41.7", "N", "72.7", "W", "UTC-5"}}},
     {"G0A\tUK (Eu)\t51\tNE\t0\tE"}},
    {"AnEmptyLineEndsTheLoadAndWhatFollowsIsKept", ".", DxList::Ham,
     {"A1\tX (Eu)\t1\tN\t1\tE", "", "B2\tY (Eu)\t2\tS\t2\tW", "", "C3\tZ (Eu)\t3\tN\t3\tE"},
     {{1, {"A1", "X (Eu)", "1", "N", "1", "E", ""}}},
     {"B2\tY (Eu)\t2\tS\t2\tW", "C3\tZ (Eu)\t3\tN\t3\tE"}},
    // Six TAB-separated fields make a whole 11-metre line; a seventh spoils
    // its east/west letter.
    {"ElevenMetreLineWithAUtcIsKept", ",", DxList::ElevenMetre,
     {"14AT001\tParis (Eu)\t48.85\tN\t2.35\tE", "14AT002\tLyon (Eu)\t45\tN\t5\tE\tUTC+1"},
     {{1, {"14AT001", "Paris (Eu)", "48,85", "N", "2,35", "E"}}},
     {"14AT002\tLyon (Eu)\t45\tN\t5\tE\tUTC+1"}},
};

class Load : public testing::TestWithParam<LoadCase> {};

TEST_P(Load, FillsTheRowsOfValidLinesAndKeepsTheOthers) {
    const LoadCase& c = GetParam();
    UserDxTable t(c.list);
    t.Load(c.lines, c.decimal);
    for (int row = 1; row < UserDxTableRows; ++row) {
        Row expected(static_cast<std::size_t>(t.ColumnCount()));
        for (const auto& [at, cells] : c.rows)
            if (at == row) expected = cells;
        EXPECT_EQ(Cells(t, row), expected) << "row " << row;
    }
    EXPECT_EQ(t.KeptLines(), c.kept);
}

INSTANTIATE_TEST_SUITE_P(UserDxTable, Load, testing::ValuesIn(kLoadCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(UserDxTable, KeepsTheLinesPastTheNinetyNinthAndWritesThemAfterTheTable) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 102; ++i) lines.push_back("C" + std::to_string(i) + "\tX (Eu)\t1\tN\t1\tE");
    UserDxTable t(DxList::Ham);
    t.Load(lines, ".");
    EXPECT_EQ(t.Cell(99, 0), "C99");
    EXPECT_EQ(t.KeptLines(), (std::vector<std::string>(lines.begin() + 99, lines.end())));
    // The operator frees a row: at the next start the first kept line moves in.
    t.SetCell(1, 0, "");
    const std::vector<std::string> written = t.SettingsLines();
    ASSERT_EQ(written.size(), 101u);
    UserDxTable next(DxList::Ham);
    next.Load(written, ".");
    EXPECT_EQ(next.Cell(98, 0), "C99");
    EXPECT_EQ(next.Cell(99, 0), "C100");
    EXPECT_EQ(next.KeptLines(), (std::vector<std::string>{lines[100], lines[101]}));
}

// ---- OK's walk ----

struct CheckCase {
    const char* label;
    std::vector<std::pair<int, Row>> rows;      // typed before OK
    std::optional<UserDxFailure> failure;
    std::vector<std::pair<int, Row>> after;     // rows as OK leaves them
};
void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.label; }

const Row kHome = {"f5abc", "Home (Eu)", "48,8", "n", "2.3", "e", "utc+1"};
const Row kHomeChecked = {"f5abc", "Home (Eu)", "48.8", "N", "2.3", "E", "utc+1"};  // point locale

UserDxFailure At(int row, UserDxColumn column, UserDxMessage message) {
    return {row, static_cast<int>(column), message};
}

Row With(Row row, UserDxColumn column, const char* text) {
    row[static_cast<std::size_t>(column)] = text;
    return row;
}

const CheckCase kCheckCases[] = {
    {"RewritesDegreesAndLettersButNotCallOrUtc", {{1, kHome}}, std::nullopt, {{1, kHomeChecked}}},
    {"AUtcAloneIsNoEntry", {{3, {"", "", "", "", "", "", "UTC+1"}}}, std::nullopt,
     {{3, {"", "", "", "", "", "", "UTC+1"}}}},
    {"WholeDegreesPass", {{1, With(kHome, UserDxColumn::Latitude, "45")}}, std::nullopt,
     {{1, With(kHomeChecked, UserDxColumn::Latitude, "45")}}},
    {"EmptyCall", {{2, With(kHome, UserDxColumn::Call, "")}},
     At(2, UserDxColumn::Call, UserDxMessage::EmptyField), {}},
    {"BothMarks", {{1, With(kHome, UserDxColumn::Latitude, "45,5.2")}},
     At(1, UserDxColumn::Latitude, UserDxMessage::BadNumber), {}},
    {"EmptyLongitude", {{1, With(kHome, UserDxColumn::Longitude, "")}},
     At(1, UserDxColumn::Longitude, UserDxMessage::EmptyField),
     // The latitude and its letter passed before: rewritten; the letter
     // after the failure is not.
     {{1, With(With(kHomeChecked, UserDxColumn::Longitude, ""), UserDxColumn::EastWest, "e")}}},
    {"TwoLetterHemisphere", {{1, With(kHome, UserDxColumn::NorthSouth, "ne")}},
     At(1, UserDxColumn::NorthSouth, UserDxMessage::NorthSouth), {}},
    // Whatever a Spanish or French header says, west is W.
    {"WestIsNotO", {{1, With(kHome, UserDxColumn::EastWest, "O")}},
     At(1, UserDxColumn::EastWest, UserDxMessage::EastWest), {}},
    {"RowFiveFailsAfterRowsOneToFourWereRewritten",
     {{1, kHome}, {2, kHome}, {3, kHome}, {4, kHome}, {5, With(kHome, UserDxColumn::NorthSouth, "X")},
      {6, kHome}},
     At(5, UserDxColumn::NorthSouth, UserDxMessage::NorthSouth),
     {{1, kHomeChecked}, {2, kHomeChecked}, {3, kHomeChecked}, {4, kHomeChecked},
      {5, With(With(kHome, UserDxColumn::Latitude, "48.8"), UserDxColumn::NorthSouth, "X")}, {6, kHome}}},
};

class CheckRows : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckRows, StopsAtTheFirstFailureWithItsCellAndMessage) {
    const CheckCase& c = GetParam();
    UserDxTable t(DxList::Ham);
    for (const auto& [row, cells] : c.rows) SetRow(t, row, cells);
    EXPECT_EQ(t.CheckRows("."), c.failure);
    for (const auto& [row, cells] : c.after) EXPECT_EQ(Cells(t, row), cells) << "row " << row;
}

INSTANTIATE_TEST_SUITE_P(UserDxTable, CheckRows, testing::ValuesIn(kCheckCases),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- Snapshot, Cancel, cells ----

// ---- Back to the settings file ----

TEST(UserDxTable, WritesTheEntriesInRowOrderAsTheyStandThenTheKeptLines) {
    UserDxTable ham(DxList::Ham), eleven(DxList::ElevenMetre);
    ham.Load({"A1\tX (Eu)\t1\tN\t1\tE", "bad", "", "C3\tZ (Eu)\t3\tN\t3\tE\tUTC+3"}, ".");
    SetRow(ham, 7, {"dl1abc", "Home (Eu)", "48,5", "n", "", "E", "UTC+1"});  // not checked by OK
    SetRow(ham, 5, {"", "No call (Eu)", "1", "N", "1", "E", "UTC"});         // no call: no entry
    SetRow(eleven, 2, {"14AT001", "Paris (Eu)", "48.85", "N", "2.35", "E"});
    EXPECT_EQ(ham.SettingsLines(), (std::vector<std::string>{"A1\tX (Eu)\t1\tN\t1\tE",
                                                             "dl1abc\tHome (Eu)\t48,5\tn\t\tE\tUTC+1", "bad",
                                                             "C3\tZ (Eu)\t3\tN\t3\tE\tUTC+3"}));
    EXPECT_EQ(eleven.SettingsLines(), (std::vector<std::string>{"14AT001\tParis (Eu)\t48.85\tN\t2.35\tE"}));
    // Through the settings file: the same lines come back.
    korvalen::settings::Settings s;
    s.hamDxRecords = ham.SettingsLines();
    EXPECT_EQ(ParseSettings(FormatSettings(s)).values.hamDxRecords, ham.SettingsLines());
}

}  // namespace
