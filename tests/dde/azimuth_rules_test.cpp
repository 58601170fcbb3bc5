// The rules the azimuth servers share apart from any transport: who may
// open a conversation (as DDE names them: empty for none), the item's lines
// and their CF_TEXT bytes, and the count of open conversations.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "rotator/azimuth_protocol.h"

using namespace korvalen::rotator;

namespace {

struct ConnectCase {
    const char* label;
    const char* service;
    const char* topic;
    ConnectAnswer answer;
};
void PrintTo(const ConnectCase& c, std::ostream* os) { *os << c.label; }

const ConnectCase kConnects[] = {
    {"ServiceAndTopic", "korvalen", "Korvalen", ConnectAnswer::Accepted},
    {"BothInOtherCases", "KORVALEN", "korvalen", ConnectAnswer::Accepted},
    {"NoServiceWithTheTopic", "", "KorValen", ConnectAnswer::Accepted},
    {"NoTopic", "korvalen", "", ConnectAnswer::NoTopic},
    {"NeitherNamed", "", "", ConnectAnswer::NoTopic},
    {"AnotherService", "tornavel", "Korvalen", ConnectAnswer::OtherService},
    {"AnotherServiceComesFirst", "tornavel", "", ConnectAnswer::OtherService},
    {"ALongerTopic", "korvalen", "Korvalen2", ConnectAnswer::OtherTopic},
    {"AShorterService", "korvale", "Korvalen", ConnectAnswer::OtherService},
};

class ConnectAnswers : public testing::TestWithParam<ConnectCase> {};

TEST_P(ConnectAnswers, FollowTheNames) {
    EXPECT_EQ(AnswerConnect("korvalen", GetParam().service, GetParam().topic), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(Clients, ConnectAnswers, testing::ValuesIn(kConnects),
                         [](const auto& info) { return std::string(info.param.label); });

struct ItemCase {
    const char* label;
    std::string text;
    std::vector<std::string> lines;
    std::string data;
};
void PrintTo(const ItemCase& c, std::ostream* os) { *os << c.label; }

using namespace std::string_literals;
const ItemCase kItems[] = {
    {"NoValueYet", "", {}, "\0"s},
    {"AnAzimuth", "47", {"47"}, "47\r\n\0"s},
    {"APokeEndingInCrLf", "123\r\n", {"123"}, "123\r\n\0"s},
    {"LinesEndingInCrLfCrOrLf", "1\r\n2\r3\n4", {"1", "2", "3", "4"}, "1\r\n2\r\n3\r\n4\r\n\0"s},
    {"AnEmptyLineBetween", "1\n\n2", {"1", "", "2"}, "1\r\n\r\n2\r\n\0"s},
    {"ALineBreakAlone", "\r\n", {""}, "\r\n\0"s},
    {"LfCrIsTwoBreaks", "1\n\r2", {"1", "", "2"}, "1\r\n\r\n2\r\n\0"s},
    {"Windows1252BytesAsTheyAre", "\xB0\xE9", {"\xB0\xE9"}, "\xB0\xE9\r\n\0"s},
};

class ItemText : public testing::TestWithParam<ItemCase> {};

TEST_P(ItemText, GivesItsLinesAndItsData) {
    EXPECT_EQ(ItemLines(GetParam().text), GetParam().lines);
    EXPECT_EQ(ItemData(GetParam().text), GetParam().data);
}

INSTANTIATE_TEST_SUITE_P(Values, ItemText, testing::ValuesIn(kItems),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ConversationCount, TheProgramStaysOpenUntilTheLastClientLeaves) {
    ConversationCount count;
    EXPECT_FALSE(count.Any());
    count.Opened();
    count.Opened();
    count.Closed();
    EXPECT_TRUE(count.Any());
    EXPECT_EQ(count.Count(), 1);
    count.Closed();
    EXPECT_FALSE(count.Any());
    // A close the count never saw opened (a server ending twice) leaves it at none.
    count.Closed();
    EXPECT_EQ(count.Count(), 0);
    count.Opened();
    EXPECT_TRUE(count.Any());
}

}  // namespace
