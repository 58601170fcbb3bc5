// The DDE azimuth server as rotator programs meet it: the test server (the
// program's DDE backend) and DDE clients, each a real process. Every
// request has a conversation of its own: wine's DDE library sends a stray
// acknowledgement after a request, which would confuse the next one.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/dde/child_process.h"

using korvalen::dde_test::ChildProcess;
using korvalen::dde_test::OwnFolder;
using Lines = std::vector<std::string>;

namespace {

// The test server serves under its file name.
const std::string kService = "dde_test_server";
const std::string kConnected = "connected " + kService + " Korvalen";

class DdeServerTest : public testing::Test {
protected:
    void SetUp() override {
        server_ = std::make_unique<ChildProcess>(OwnFolder() + "dde_test_server.exe", Lines{});
        ASSERT_TRUE(server_->Started());
        ASSERT_TRUE(server_->WaitForLine("ready " + kService));
    }
    void TearDown() override {
        server_->CloseInput();
        EXPECT_TRUE(server_->WaitForExit());
    }

    void Publish(const std::string& value) {
        server_->WriteLine(value);
        ASSERT_TRUE(server_->WaitForLine("published " + value));
    }
    static std::unique_ptr<ChildProcess> StartClient(const Lines& arguments) {
        auto client = std::make_unique<ChildProcess>(OwnFolder() + "dde_test_client.exe", arguments);
        EXPECT_TRUE(client->Started());
        return client;
    }
    /// What a client said from its start to its end.
    static Lines RunClient(const Lines& arguments) {
        const std::unique_ptr<ChildProcess> client = StartClient(arguments);
        EXPECT_TRUE(client->WaitForExit()) << arguments.at(2);
        return client->Lines();
    }

    std::unique_ptr<ChildProcess> server_;
};

// ---- Clients one after the other, each in a conversation of its own ----

struct ClientRun {
    Lines arguments;  // service, topic and steps of dde_test_client
    Lines says;
};

struct ClientCase {
    const char* label;
    Lines published;  // before the first client
    std::vector<ClientRun> runs;
};
void PrintTo(const ClientCase& c, std::ostream* os) { *os << c.label; }

const ClientCase kCases[] = {
    {"RequestBeforeAnyValueGivesTheZeroAlone",
     {},
     {{{kService, "Korvalen", "request", "text"}, {kConnected, "data \\0", "disconnected"}}}},
    {"RequestGivesTheLatestPublication",
     {"47", "360"},
     {{{kService, "Korvalen", "request", "text"}, {kConnected, "data 360\\r\\n\\0", "disconnected"}}}},
    {"RequestAfterAPokeGivesThePokedText",
     {"47"},
     {{{kService, "Korvalen", "poke", "text", "123"}, {kConnected, "poked", "disconnected"}},
      {{kService, "Korvalen", "request", "text"}, {kConnected, "data 123\\r\\n\\0", "disconnected"}}}},
    {"APokeOfSeveralLinesGivesEachWithCrLf",
     {},
     {{{kService, "Korvalen", "poke", "text", "1\\n2\\r\\n"}, {kConnected, "poked", "disconnected"}},
      {{kService, "Korvalen", "request", "text"}, {kConnected, "data 1\\r\\n2\\r\\n\\0", "disconnected"}}}},
    {"UnicodeTextGivesNoData",
     {"47"},
     {{{kService, "Korvalen", "request", "unicode"}, {kConnected, "no data", "disconnected"}}}},
    {"AUnicodePokeIsNotProcessed",
     {"47"},
     {{{kService, "Korvalen", "poke", "unicode", "5"}, {kConnected, "poke refused", "disconnected"}},
      {{kService, "Korvalen", "request", "text"}, {kConnected, "data 47\\r\\n\\0", "disconnected"}}}},
    {"AnotherItemGivesNothing",
     {"47"},
     {{{kService, "Korvalen", "item", "elevation", "request", "text"}, {kConnected, "no data", "disconnected"}},
      {{kService, "Korvalen", "item", "elevation", "advise", "text"}, {kConnected, "advise refused", "disconnected"}},
      {{kService, "Korvalen", "item", "elevation", "poke", "text", "5"},
       {kConnected, "poke refused", "disconnected"}}}},
    {"AdviseInUnicodeTextIsRefused",
     {},
     {{{kService, "Korvalen", "advise", "unicode"}, {kConnected, "advise refused", "disconnected"}}}},
    {"ExecuteIsAcknowledgedAndIgnored",
     {"47"},
     {{{kService, "Korvalen", "execute", "[open(\"x\")]"}, {kConnected, "executed", "disconnected"}},
      {{kService, "Korvalen", "request", "text"}, {kConnected, "data 47\\r\\n\\0", "disconnected"}}}},
    {"ServiceAndTopicInAnotherCaseConnect",
     {"47"},
     {{{"DDE_TEST_SERVER", "kORVALEN", "request", "text"},
       {"connected DDE_TEST_SERVER kORVALEN", "data 47\\r\\n\\0", "disconnected"}}}},
    {"AWildConnectWithTheTopicFindsTheServer",
     {"47"},
     {{{"-", "korvalen", "request", "text"}, {"connected " + kService + " korvalen", "data 47\\r\\n\\0", "disconnected"}}}},
    {"AWildConnectWithoutATopicIsRefused", {}, {{{kService, "-", "request", "text"}, {"refused"}}}},
    {"AnotherTopicIsRefused", {}, {{{kService, "Weather", "request", "text"}, {"refused"}}}},
};

class OneClientAtATime : public DdeServerTest, public testing::WithParamInterface<ClientCase> {};

TEST_P(OneClientAtATime, SaysWhatTheServerAnswers) {
    for (const std::string& value : GetParam().published) ASSERT_NO_FATAL_FAILURE(Publish(value));
    for (const ClientRun& run : GetParam().runs) EXPECT_EQ(RunClient(run.arguments), run.says);
}

INSTANTIATE_TEST_SUITE_P(Clients, OneClientAtATime, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- Clients side by side, as processes of their own: wine refuses a
// second conversation on the same service and topic from one process ----

TEST_F(DdeServerTest, EveryConversationCountsUntilItsClientLeaves) {
    const auto first = StartClient({kService, "Korvalen", "hold"});
    ASSERT_TRUE(first->WaitForLine(kConnected));
    ASSERT_TRUE(server_->WaitForLine("conversations 1"));
    const auto second = StartClient({kService, "korvalen", "hold"});
    ASSERT_TRUE(second->WaitForLine("connected " + kService + " korvalen"));
    ASSERT_TRUE(server_->WaitForLine("conversations 2"));

    first->CloseInput();
    ASSERT_TRUE(first->WaitForExit());
    EXPECT_EQ(first->Lines(), (Lines{kConnected, "held", "disconnected"}));
    EXPECT_TRUE(server_->WaitForLine("conversations 1"));

    second->CloseInput();
    ASSERT_TRUE(second->WaitForExit());
    EXPECT_TRUE(server_->WaitForLine("conversations 0"));
}

// A killed client says no goodbye, and the DDE library tells nothing: the
// server has to notice that the client's window is gone, or the program
// refuses every close from then on. The advise link the dead client left
// behind must not keep the publications from the clients that stay.
TEST_F(DdeServerTest, AKilledClientIsCountedOutOnceAndTheOthersStillHearAdvises) {
    const auto stays = StartClient({kService, "Korvalen", "advise", "text", "wait", "1"});
    ASSERT_TRUE(stays->WaitForLine("advising"));
    const auto killed = StartClient({kService, "Korvalen", "advise", "text", "hold"});
    ASSERT_TRUE(killed->WaitForLine("advising"));
    ASSERT_TRUE(server_->WaitForLine("conversations 2"));

    ASSERT_TRUE(killed->Kill());
    std::optional<std::string> open;
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    do {
        server_->WriteLine("?");
        open = server_->WaitForLineStarting("open ");
    } while (open == "open 2" && std::chrono::steady_clock::now() < limit);
    ASSERT_EQ(open.value_or("nothing"), "open 1");

    Publish("90");
    ASSERT_TRUE(stays->WaitForExit());
    EXPECT_EQ(stays->Lines(), (Lines{kConnected, "advising", "advised 90\\r\\n\\0", "disconnected"}));
    server_->WriteLine("?");
    EXPECT_EQ(server_->WaitForLineStarting("open ").value_or("nothing"), "open 0");
    Lines counts = server_->Lines();
    counts.erase(std::remove_if(counts.begin(), counts.end(),
                                [](const std::string& line) { return line.rfind("conversations ", 0) != 0; }),
                 counts.end());
    EXPECT_EQ(counts, (Lines{"conversations 1", "conversations 2", "conversations 1", "conversations 0"}));
}

TEST_F(DdeServerTest, AdvisersHearEachPublicationAndEachPoke) {
    const auto first = StartClient({kService, "Korvalen", "advise", "text", "wait", "2"});
    const auto second = StartClient({kService, "Korvalen", "advise", "text", "wait", "2"});
    ASSERT_TRUE(first->WaitForLine("advising"));
    ASSERT_TRUE(second->WaitForLine("advising"));

    Publish("90");
    EXPECT_EQ(RunClient({kService, "Korvalen", "poke", "text", "123"}), (Lines{kConnected, "poked", "disconnected"}));
    EXPECT_TRUE(server_->WaitForLine("poke 123"));

    const Lines heard = {kConnected, "advising", "advised 90\\r\\n\\0", "advised 123\\r\\n\\0", "disconnected"};
    ASSERT_TRUE(first->WaitForExit());
    EXPECT_EQ(first->Lines(), heard);
    ASSERT_TRUE(second->WaitForExit());
    EXPECT_EQ(second->Lines(), heard);
}

// The advise of a poke goes out after the poke's transaction: posted from
// within, it never reached the poking client.
TEST_F(DdeServerTest, APokingAdviserHearsItsOwnPoke) {
    EXPECT_EQ(RunClient({kService, "Korvalen", "advise", "text", "poke", "text", "7", "wait", "1"}),
              (Lines{kConnected, "advising", "poked", "advised 7\\r\\n\\0", "disconnected"}));
}

}  // namespace
