// The PstRotator client against a UDP socket standing for PstRotator.
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include "rotator/pst_rotator.h"
#include "tests/support/failure_text.h"

using namespace korvalen::rotator;
using korvalen::testing::FailureText;

namespace {

TEST(PstRotatorClient, EachBearingPublishedArrivesAsDatagram) {
    QUdpSocket pst;
    ASSERT_TRUE(pst.bind(QHostAddress::LocalHost, 0));
    PstRotatorClient client;
    QSignalSpy statuses(&client, &PstRotatorClient::StatusChanged);
    ASSERT_EQ(FailureText(client.SetAddress(QStringLiteral("127.0.0.1:%1").arg(pst.localPort()))), std::nullopt);
    // Datagrams on the loopback keep their order: an ignored publication
    // sent all the same would arrive before the next.
    const std::pair<const char*, const char*> rows[] = {
        {"200", "200"}, {"abc", nullptr}, {"361", nullptr}, {"0", "0"}, {"45.5", "45.5"}, {"360", "360"}};
    for (const auto& [published, azimuth] : rows) {
        client.Publish(published);
        if (!azimuth) {
            EXPECT_TRUE(statuses.last().at(0).toString().contains("ignored")) << published;
            continue;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return pst.hasPendingDatagrams(); }, 20000)) << published;
        EXPECT_EQ(pst.receiveDatagram().data(), QByteArray("<PST><AZIMUTH>") + azimuth + "</AZIMUTH></PST>");
    }
    EXPECT_EQ(statuses.last().at(0).toString(), "PstRotator: sent 360\u00b0");
    // A host alone takes PstRotator's port; a refused address switches off.
    EXPECT_EQ(AddressText(**ParseRotatorAddress("pst.lan", PstRotatorDefaultPort)), "pst.lan:12000");
    EXPECT_EQ(FailureText(client.SetAddress("pst.lan:0")), "the port must be a number from 1 to 65535");
    EXPECT_FALSE(client.Enabled());
}

// Nothing listens on the port: each publication is sent, and each is then
// told refused as the socket reports it, not one in two.
TEST(PstRotatorClient, EveryPublicationToAClosedPortIsToldRefused) {
    quint16 port = 0;
    {
        QUdpSocket probe;
        ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
        port = probe.localPort();
    }
    PstRotatorClient client;
    // In the operator's language.
    korvalen::languages::LanguageState french;
    french.LanguageCode = "F";
    client.SetLanguage(&french);
    QSignalSpy statuses(&client, &PstRotatorClient::StatusChanged);
    ASSERT_EQ(FailureText(client.SetAddress(QStringLiteral("127.0.0.1:%1").arg(port))), std::nullopt);
    const QString refused =
        QStringLiteral("PstRotator 127.0.0.1:%1: ").arg(port) + QString::fromUtf8("personne n'écoute à cette adresse");
    for (const char* published : {"10", "20", "30", "40"}) {
        const qsizetype before = statuses.size();
        client.Publish(published);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return statuses.size() > before && statuses.last().at(0).toString() == refused; }, 20000))
            << published << ": " << (statuses.isEmpty() ? "" : statuses.last().at(0).toString().toStdString());
    }
}

}  // namespace
