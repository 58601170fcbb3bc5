// The rotctld client against the real rotctld and its dummy rotator, and
// against a scripted stand-in where a reply must be held, refused or cut.
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTest>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "peers.h"
#include "rotator/azimuth_link.h"
#include "rotator/log.h"
#include "rotator/rotctld_client.h"
#include "tests/support/failure_text.h"

using namespace korvalen::rotator;
using korvalen::testing::FailureText;
using namespace korvalen::rotator::test_peers;

namespace {

constexpr int kPatience = 20000;  // ms; only a broken client waits this long

QString Address(quint16 port) { return QStringLiteral("127.0.0.1:%1").arg(port); }

std::string Statuses(const QSignalSpy& spy) {
    std::string all;
    for (const QList<QVariant>& args : spy) all += args.at(0).toString().toStdString() + " | ";
    return all;
}

// Waits for a status containing @p part.
testing::AssertionResult StatusArrives(const QSignalSpy& spy, const QString& part) {
    if (QTest::qWaitFor([&] { return Statuses(spy).find(part.toStdString()) != std::string::npos; }, kPatience))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "no \"" << part.toStdString() << "\" in " << Statuses(spy);
}

struct RealCase {
    const char* name;
    QStringList options;  // rotctld's, for the range
    double elevation;     // where the dummy's elevation is set first
    const char* published;
    const char* status;
    double azimuth;  // where the dummy ends
};
void PrintTo(const RealCase& c, std::ostream* os) { *os << c.name; }

// The dummy turns some 6 degrees a second from 0: the targets lie near it.
const RealCase kRealCases[] = {
    {"ModelRange", {}, 0, "10", "rotctld: turning to 10\u00b0", 10},
    {"HalfTurnEachWay", {"-C", "min_az=-180,max_az=180"}, 0, "350", "rotctld: turning to 350\u00b0 (-10)", -10},
    {"ShortOf360", {"-C", "min_az=0,max_az=359"}, 0, "360", "rotctld: turning to 360\u00b0 (0)", 0},
    {"ElevationKept", {}, 6, "6", "rotctld: turning to 6\u00b0", 6},
    {"HalfTurnOnly", {"-C", "min_az=0,max_az=180"}, 0, "270", "270\u00b0 lies outside the rotator's range", 0},
};

class RealRotctld : public testing::TestWithParam<RealCase> {};

TEST_P(RealRotctld, PublicationTurnsDummy) {
    const RealCase& c = GetParam();
    HeldPort port;
    Rotctld rotctld;
    ASSERT_EQ(rotctld.Start(port, c.options), "");
    if (c.elevation != 0) {
        ASSERT_TRUE(rotctld.Command("+P 0 " + QByteArray::number(c.elevation) + "\n").contains("RPRT 0"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return rotctld.Position().second == c.elevation; }, kPatience));
    }
    AzimuthLink link;
    RotctldClient client;
    client.SetTimeout(std::chrono::milliseconds(kPatience));
    QObject::connect(&link, &AzimuthLink::Published, &client, &RotctldClient::Publish);
    QSignalSpy statuses(&client, &RotctldClient::StatusChanged);
    ASSERT_EQ(FailureText(client.SetAddress(Address(port.Port()))), std::nullopt);
    link.Poke("90");  // a client's poke turns nothing
    link.PublishAzimuth(c.published);
    ASSERT_TRUE(StatusArrives(statuses, c.status));
    EXPECT_EQ(statuses.size(), 1) << Statuses(statuses);
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::abs(rotctld.Position().first - c.azimuth) < 0.01; }, kPatience));
    EXPECT_EQ(rotctld.Position().second, c.elevation);
}

INSTANTIATE_TEST_SUITE_P(Rows, RealRotctld, testing::ValuesIn(kRealCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RotctldClient, AbsentRotctldFailsThenNextPublicationReconnects) {
    HeldPort port;  // nothing listens on it yet
    RotctldClient client;
    client.SetTimeout(std::chrono::milliseconds(kPatience));
    QSignalSpy statuses(&client, &RotctldClient::StatusChanged);
    ASSERT_EQ(FailureText(client.SetAddress(Address(port.Port()))), std::nullopt);
    client.Publish("10");
    EXPECT_EQ(statuses.size(), 0);  // the failure comes later, from the event loop
    ASSERT_TRUE(StatusArrives(statuses, Address(port.Port()) + ": connection refused"));
    Rotctld rotctld;
    ASSERT_EQ(rotctld.Start(port), "");
    client.Publish("0");
    ASSERT_TRUE(StatusArrives(statuses, "rotctld: turning to 0\u00b0"));
}

// Each row: how the stand-in answers, then the lines and the status that
// follow a publication of 200.
struct ScriptCase {
    const char* name;
    const char* line;   // the command answered otherwise than ReplyFor does
    const char* reply;  // its answer; nullptr: never answered
    QList<QByteArray> lines;
    const char* status;
};
void PrintTo(const ScriptCase& c, std::ostream* os) { *os << c.name; }

const ScriptCase kScriptCases[] = {
    {"CapsWhenStateHasNoRange", "+\\dump_state", "dump_state:\nRPRT 0\n",
     {"+\\dump_state", "+\\dump_caps", "+p", "+P -160 0"}, "rotctld: turning to 200\u00b0 (-160)"},
    {"Refused", "+P -160 0", "set_pos: -160 0\nRPRT -9\n", {"+\\dump_state", "+p", "+P -160 0"},
     ": turning to 200\u00b0 (-160) refused, RPRT -9 (rejected by the rotator)"},
    {"Closed", "+P -160 0", "CLOSE", {"+\\dump_state", "+p", "+P -160 0"}, ": rotctld closed the connection"},
    {"Silent", "+\\dump_state", nullptr, {"+\\dump_state"}, ": no answer within 0.5 s"},
};

class ScriptedPeer : public testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptedPeer, GivesLinesAndStatus) {
    const ScriptCase& c = GetParam();
    ScriptedRotctld peer([&](const QByteArray& line) -> std::optional<QByteArray> {
        if (line != c.line) return ReplyFor(line);
        return c.reply ? std::optional<QByteArray>(c.reply) : std::nullopt;
    });
    RotctldClient client;
    // Only the peer that never answers meets the client's time-out; one that
    // answers is given all the time a loaded machine may need.
    client.SetTimeout(std::chrono::milliseconds(c.reply ? kPatience : 500));
    QSignalSpy statuses(&client, &RotctldClient::StatusChanged);
    ASSERT_EQ(FailureText(client.SetAddress(Address(peer.Port()))), std::nullopt);
    client.Publish("200");
    ASSERT_TRUE(StatusArrives(statuses, c.status));
    EXPECT_EQ(peer.lines, c.lines);
}

INSTANTIATE_TEST_SUITE_P(Rows, ScriptedPeer, testing::ValuesIn(kScriptCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RotctldClient, NewerPublicationReplacesWaitingOne) {
    ScriptedRotctld peer([](const QByteArray& line) -> std::optional<QByteArray> {
        if (line == "+P 10 0") return std::nullopt;  // under way until the test releases it
        return ReplyFor(line);
    });
    RotctldClient client;
    client.SetTimeout(std::chrono::milliseconds(kPatience));
    QSignalSpy statuses(&client, &RotctldClient::StatusChanged);
    ASSERT_EQ(FailureText(client.SetAddress(Address(peer.Port()))), std::nullopt);
    client.Publish("10");
    ASSERT_TRUE(QTest::qWaitFor([&] { return peer.Holding(); }, kPatience));
    for (const char* published : {"20", "not a bearing", "30"}) client.Publish(published);
    peer.Release("set_pos: 10 0\nRPRT 0\n");
    ASSERT_TRUE(StatusArrives(statuses, "rotctld: turning to 30\u00b0"));
    EXPECT_EQ(peer.lines, (QList<QByteArray>{"+\\dump_state", "+p", "+P 10 0", "+p", "+P 30 0"}));
    EXPECT_TRUE(StatusArrives(statuses, "rotctld: \"not a bearing\" ignored, not a bearing from 0 to 360"));
}

// The status line names the rotator and shows the text as typed, trimmed.
TEST(RotctldClient, ARefusedAddressIsToldAndLeavesTheRotatorOff) {
    RotctldClient client;
    QSignalSpy statuses(&client, &RotctldClient::StatusChanged);
    EXPECT_EQ(FailureText(client.SetAddress(" rotor.lan ")), "the port is missing: write host:port");
    EXPECT_FALSE(client.Enabled());
    ASSERT_EQ(statuses.size(), 1);
    EXPECT_EQ(statuses[0][0].toString(), "rotctld address \"rotor.lan\": the port is missing: write host:port");
}

// The program's messages that reached the handler, as "<category>
// <type>: <text>"; Qt's own are not the test's business.
std::vector<std::string> logged;

void KeepMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    const std::string category = context.category ? context.category : "";
    if (category.rfind("korvalen.", 0) != 0) return;
    logged.push_back(category + (type == QtWarningMsg ? " warning: " : " other: ") + text.toStdString());
}

// The log is silent unless asked, and once asked a refused turn is there,
// as a warning of korvalen.rotator.
TEST(RotctldClient, ARefusedTurnIsLoggedOnlyOnceTheRotatorCategoryIsOn) {
    if (!qEnvironmentVariableIsEmpty("QT_LOGGING_RULES")) GTEST_SKIP() << "QT_LOGGING_RULES decides here";
    EXPECT_FALSE(lcRotator().isWarningEnabled());
    EXPECT_FALSE(lcRotator().isInfoEnabled());
    QLoggingCategory::setFilterRules(QStringLiteral("korvalen.rotator.warning=true"));
    logged.clear();
    const QtMessageHandler before = qInstallMessageHandler(KeepMessage);
    ScriptedRotctld peer([](const QByteArray& line) -> std::optional<QByteArray> {
        if (line == "+P 10 0") return QByteArray("set_pos: 10 0\nRPRT -4\n");
        return ReplyFor(line);
    });
    RotctldClient client;
    client.SetTimeout(std::chrono::milliseconds(kPatience));
    QSignalSpy statuses(&client, &RotctldClient::StatusChanged);
    ASSERT_EQ(FailureText(client.SetAddress(Address(peer.Port()))), std::nullopt);
    client.Publish("10");
    const bool arrived = StatusArrives(statuses, "RPRT -4");
    qInstallMessageHandler(before);
    QLoggingCategory::setFilterRules(QString());
    ASSERT_TRUE(arrived);
    const std::string expected = "korvalen.rotator warning: rotctld " +
                                 Address(peer.Port()).toStdString() +
                                 ": turning to 10\u00b0 refused, RPRT -4 (not supported by this rotator)";
    EXPECT_EQ(logged, std::vector<std::string>{expected});
}

}  // namespace
