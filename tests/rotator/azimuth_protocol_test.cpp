// The azimuth service's conversation, line by line, without a transport.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "rotator/azimuth_protocol.h"

using namespace korvalen::rotator;

namespace {

TEST(ServiceName, IsTheExecutablesNameUpToItsFirstDot) {
    EXPECT_EQ(ServiceName("korvalen"), "korvalen");
    EXPECT_EQ(ServiceName("/opt/korvalen/korvalen.bin"), "korvalen");
    EXPECT_EQ(ServiceName("C:\\Program Files\\Korvalen\\KORVALEN.EXE"), "KORVALEN");
    EXPECT_EQ(ServiceName("korvalen.2.1.4"), "korvalen");
}

TEST(DataLine, CarriesTheValueOrNothing) {
    EXPECT_EQ(DataLine("47"), "DATA azimuth 47");
    EXPECT_EQ(DataLine(""), "DATA azimuth");
}

// ---- One conversation as a client drives it ----

struct Exchange {
    const char* line;
    const char* reply;
    bool close;
};

struct ConversationCase {
    const char* label;
    std::vector<Exchange> exchanges;
};
void PrintTo(const ConversationCase& c, std::ostream* os) { *os << c.label; }

const ConversationCase kConversations[] = {
    {"RequestAdviseAndDisconnect",
     {{"CONNECT korvalen Korvalen", "OK korvalen Korvalen", false},
      {"REQUEST azimuth", "DATA azimuth 47", false},
      {"ADVISE azimuth", "OK", false},
      {"UNADVISE azimuth", "OK", false},
      {"EXECUTE [open(\"x\")]", "OK", false},
      {"DISCONNECT", "OK", true}}},
    {"NamesInOtherCasesAndCommandWordsToo",
     {{"connect KORVALEN kOrVaLeN", "OK korvalen Korvalen", false}, {"request azimuth", "DATA azimuth 47", false}}},
    {"AWildServiceWithTheTopic", {{"CONNECT * Korvalen", "OK korvalen Korvalen", false}}},
    {"AWildTopicIsRefused", {{"CONNECT * *", "ERR a topic is needed: Korvalen", true}}},
    {"AnotherService", {{"CONNECT tornavel Korvalen", "ERR no service tornavel here, this is korvalen", true}}},
    {"AnotherTopic", {{"CONNECT korvalen System", "ERR no topic System", true}}},
    {"ConnectWithoutATopic", {{"CONNECT korvalen", "ERR CONNECT takes a service and a topic", true}}},
    {"NothingButConnectFirst",
     {{"REQUEST azimuth", "ERR not connected: CONNECT korvalen Korvalen first", false},
      {"DISCONNECT", "ERR not connected: CONNECT korvalen Korvalen first", false},
      {"CONNECT korvalen Korvalen", "OK korvalen Korvalen", false}}},
    {"TheItemNameIsExact",
     {{"CONNECT korvalen Korvalen", "OK korvalen Korvalen", false},
      {"REQUEST Azimuth", "ERR no item Azimuth, the item is azimuth", false},
      {"ADVISE elevation", "ERR no item elevation, the item is azimuth", false},
      {"REQUEST", "ERR no item , the item is azimuth", false},
      {"REQUEST azimuth now", "ERR REQUEST takes the item alone", false}}},
    {"JunkGetsAnError",
     {{"CONNECT korvalen Korvalen", "OK korvalen Korvalen", false},
      {"", "ERR empty line", false},
      {"HELLO", "ERR unknown command HELLO", false},
      {"\x01\x02\xff", "ERR unknown command ???", false},
      {"CONNECT korvalen Korvalen", "ERR already connected", false}}},
    // A CR went on to the advising clients, splitting their DATA line.
    {"APokedControlCharacterIsRefused",
     {{"CONNECT korvalen Korvalen", "OK korvalen Korvalen", false},
      {"POKE azimuth 4\r7", "ERR the text holds a control character", false}}},
};

class ConversationSteps : public testing::TestWithParam<ConversationCase> {};

TEST_P(ConversationSteps, AnswersEachLine) {
    Conversation c("korvalen");
    for (const Exchange& e : GetParam().exchanges) {
        const Conversation::Step step = c.Handle(e.line, "47");
        EXPECT_EQ(step.reply, e.reply) << e.line;
        EXPECT_EQ(step.close, e.close) << e.line;
    }
}

INSTANTIATE_TEST_SUITE_P(Clients, ConversationSteps, testing::ValuesIn(kConversations),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Conversation, OpensOnceAndTracksAdviseAndDisconnect) {
    Conversation c("korvalen");
    EXPECT_FALSE(c.Handle("REQUEST azimuth", "").opened);
    const Conversation::Step connected = c.Handle("CONNECT * korvalen", "");
    EXPECT_TRUE(connected.opened);
    EXPECT_TRUE(c.Connected());
    EXPECT_EQ(c.Handle("REQUEST azimuth", "").reply, "DATA azimuth");  // before any value
    EXPECT_FALSE(c.Advising());
    c.Handle("ADVISE azimuth", "");
    EXPECT_TRUE(c.Advising());
    c.Handle("UNADVISE azimuth", "");
    EXPECT_FALSE(c.Advising());
    c.Handle("ADVISE azimuth", "");
    c.Handle("DISCONNECT", "");
    EXPECT_FALSE(c.Connected());
    EXPECT_FALSE(c.Advising());
}

TEST(Conversation, APokeCarriesTheRestOfTheLine) {
    Conversation c("korvalen");
    c.Handle("CONNECT korvalen Korvalen", "");
    struct {
        const char* line;
        const char* text;
    } const cases[] = {{"POKE azimuth 123", "123"},
                       {"poke azimuth  two blanks", " two blanks"},
                       {"POKE azimuth", ""},
                       {"POKE azimuth \xc3\xa9t\xc3\xa9", "\xc3\xa9t\xc3\xa9"}};
    for (const auto& p : cases) {
        const Conversation::Step step = c.Handle(p.line, "");
        EXPECT_EQ(step.reply, "OK") << p.line;
        ASSERT_TRUE(step.poke) << p.line;
        EXPECT_EQ(*step.poke, p.text) << p.line;
    }
    EXPECT_FALSE(c.Handle("POKE elevation 5", "").poke);
}

TEST(Conversation, ShowsAtMostAFewDozenCharactersOfWhatTheClientSent) {
    Conversation c("korvalen");
    c.Handle("CONNECT korvalen Korvalen", "");
    const std::string reply = c.Handle(std::string(1000, 'X'), "").reply;
    EXPECT_EQ(reply, "ERR unknown command " + std::string(40, 'X') + "...");
}

// ---- Lines ----

TEST(LineSplitter, CutsAtLineFeedsAndDropsTheCarriageReturn) {
    LineSplitter splitter;
    std::vector<std::string> lines;
    ASSERT_TRUE(splitter.Feed("CONNECT * Korvalen\r\nREQ", lines));
    ASSERT_TRUE(splitter.Feed("UEST azimuth\n\n", lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"CONNECT * Korvalen", "REQUEST azimuth", ""}));
}

TEST(LineSplitter, RefusesALineLongerThanTheLimit) {
    const std::string longest(MaxLineLength, 'a');
    std::vector<std::string> lines;
    LineSplitter fits;
    EXPECT_TRUE(fits.Feed(longest + "\r\n", lines));
    EXPECT_EQ(lines.back(), longest);
    LineSplitter longer;
    EXPECT_FALSE(longer.Feed(longest + "a\n", lines));
    // Without a line end too: the limit holds while the line is still coming.
    LineSplitter endless;
    bool ok = true;
    for (int i = 0; i < 100 && ok; ++i) ok = endless.Feed(std::string(100, 'b'), lines);
    EXPECT_FALSE(ok);
}

}  // namespace
