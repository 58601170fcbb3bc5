// The call-sign lookup: the prefix narrowing over the ham list and the
// number search over the 11-metre list.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "data/dx_tables.h"
#include "dx/call_lookup.h"
#include "dx/dx_panel.h"

using namespace korvalen;
using namespace korvalen::dx;

namespace {

constexpr char kTab[] = "\t";

std::string KeyAndCountry(const std::string& row) {
    const std::size_t first = row.find('\t');
    return row.substr(0, row.find('\t', first + 1));
}

// ---- The ham list, as stored and as sorted ----

struct CallCase {
    const char* label;
    const char* typed;
    const char* keyAndCountry;
};
void PrintTo(const CallCase& c, std::ostream* os) { *os << c.label; }

const CallCase kCallCases[] = {
    {"FrenchCallLowerCase", "f6abc", "F\tFrance (Eu)"},
    {"FrenchCallUpperCase", "F6ABC", "F\tFrance (Eu)"},
    {"ReunionLandsOnTheLastFrSuffix", "FR5XY", "FR/T\tTromelin (Af)"},
    {"GermanCallInARange", "DL1ABC", "DA-DR\tDeutschland (Eu)"},
    {"CanaryIslands", "EA8AB", "EA8\tCanarias Is (Af)"},
    {"FirstOfTheEqualKeys", "HK0ABC", "HK0\tBajo Nuevo (NAm)"},
    {"SouthAfricaRestsOnTheNearestKey", "ZS1ABC", "ZS2M\tMarion Is (Af)"},
    {"NoKeyStartsWithTheDigit", "2E0ABC", "1S\tSpratley (As)"},
    {"OneLetter", "A", "A2\tBotswana (Af)"},
};

struct Order {
    const char* label;
    bool sorted;
};

class HamLookup : public testing::TestWithParam<std::tuple<CallCase, Order>> {};

TEST_P(HamLookup, ChoosesTheRowOfTheTable) {
    const auto& [c, order] = GetParam();
    const std::vector<std::string> rows =
        order.sorted ? FillDxList(DxList::Ham, Separator::Default, {}, ",")
                     : std::vector<std::string>(data::HamDxRows.begin(), data::HamDxRows.end());
    const CallLookup found = LookupCall(rows, c.typed, DxList::Ham, kTab);
    ASSERT_EQ(found.outcome, CallLookup::Outcome::Row);
    ASSERT_LT(found.row, rows.size());
    EXPECT_EQ(KeyAndCountry(rows[found.row]), c.keyAndCountry);
}

INSTANTIATE_TEST_SUITE_P(Calls, HamLookup,
                         testing::Combine(testing::ValuesIn(kCallCases),
                                          testing::Values(Order{"Stored", false}, Order{"Sorted", true})),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).label) + std::get<1>(info.param).label;
                         });

TEST(HamLookup, AnOperatorsEntryIsFoundByItsOwnCall) {
    const std::vector<DxRecord> mine = {{"DL1ABC", "Home (Eu)", "48,5", "N", "2,25", "E", "UTC+1"}};
    const auto rows = FillDxList(DxList::Ham, Separator::Default, mine, ",");
    const CallLookup found = LookupCall(rows, "DL1ABC", DxList::Ham, kTab);
    EXPECT_EQ(rows[found.row], "DL1ABC\tHome (Eu)\t48,5N\t2,25E\tUTC+1");
}

TEST(HamLookup, AnEmptyBoxChangesNothing) {
    EXPECT_EQ(LookupCall({"F\tFrance"}, "", DxList::Ham, kTab).outcome, CallLookup::Outcome::Nothing);
    EXPECT_EQ(LookupCall({"14\tFrance"}, "", DxList::ElevenMetre, kTab).outcome, CallLookup::Outcome::Nothing);
}

// ---- The walk's own rules, on small lists ----

TEST(PrefixNarrowing, SkipsRowsWithoutASeparatorAndNeverMovesBack) {
    const std::vector<std::string> rows = {"", "NOSEPARATOR", "A\ta", "AB\tab", "AC\tac", "B\tb"};
    EXPECT_EQ(LookupCall(rows, "A", DxList::Ham, kTab).row, 2u);
    EXPECT_EQ(LookupCall(rows, "AB", DxList::Ham, kTab).row, 3u);
    // Past every key starting with A at this position: the last smaller one.
    EXPECT_EQ(LookupCall(rows, "AZ", DxList::Ham, kTab).row, 4u);
    // Typed beyond the matching keys: B stays where the keys ran out.
    EXPECT_EQ(LookupCall(rows, "ABXYZ", DxList::Ham, kTab).row, 3u);
    // Before the first key: the first row.
    EXPECT_EQ(LookupCall(rows, "0", DxList::Ham, kTab).row, 0u);
    // The separator in force decides what the key is.
    EXPECT_EQ(LookupCall({"A/a", "B/b"}, "B", DxList::Ham, "/").row, 1u);
}

// ---- The number search ----

std::vector<std::string> ElevenMetre(std::vector<DxRecord> mine = {}) {
    return FillDxList(DxList::ElevenMetre, Separator::Default, mine, ",");
}

TEST(NumberSearch, ChoosesTheLastRowNotAboveTheNumber) {
    const auto rows = ElevenMetre();
    struct {
        const char* typed;
        std::size_t row;
    } const cases[] = {{"14", 13}, {"1", 0}, {"0", 0}, {"-5", 0}, {"+14", 13}, {"351", 350}, {"9999", 350}};
    for (const auto& c : cases) {
        const CallLookup found = LookupCall(rows, c.typed, DxList::ElevenMetre, kTab);
        ASSERT_EQ(found.outcome, CallLookup::Outcome::Row) << c.typed;
        EXPECT_EQ(found.row, c.row) << c.typed;
    }
    EXPECT_EQ(KeyAndCountry(rows[13]), "14\tFrance (Eu)");
}

TEST(NumberSearch, BeepsForTextAndForAnOperatorsKeyThatIsNotANumber) {
    const auto rows = ElevenMetre();
    for (const char* typed : {"F", "14A", " 14", "1.5", "99999999999"})
        EXPECT_EQ(LookupCall(rows, typed, DxList::ElevenMetre, kTab).outcome, CallLookup::Outcome::Beep) << typed;

    const auto withMine = ElevenMetre({{"14AT001", "Paris (Eu)", "48,85", "N", "2,35", "E", ""}});
    EXPECT_EQ(LookupCall(withMine, "350", DxList::ElevenMetre, kTab).row, 349u);
    // 351 and above reach the operator's row, whose key is not a number.
    EXPECT_EQ(LookupCall(withMine, "351", DxList::ElevenMetre, kTab).outcome, CallLookup::Outcome::Beep);
}

}  // namespace
