// The rotator link in the running program: a client of the azimuth socket
// follows the map clicks and the DX choices, and while it is connected
// neither main window lets the program end.
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <memory>
#include <string>

#include "tests/rotator_links/peers.h"
#include "tests/windows/windows_fixture.h"

using namespace korvalen;
using korvalen::testing::RotatorClient;
using korvalen::testing::WindowsTest;
using korvalen::widgets::MessageKind;

namespace {

class RotatorLink : public WindowsTest {
protected:
    std::unique_ptr<RotatorClient> Connect() { return ConnectRotatorClient(); }
    bool ConnectionsDropTo(int n) { return RotatorConnectionsDropTo(n); }
    int Warnings() const {
        int n = 0;
        for (const auto& s : shown) n += s.kind == MessageKind::Warning;
        return n;
    }
};

TEST_F(RotatorLink, AClientFollowsMapClicksAndDxChoices) {
    Start();
    // Served from start-up, while only the generator shows.
    auto client = Connect();
    EXPECT_EQ(client->Ask("REQUEST azimuth"), "DATA azimuth");
    EXPECT_EQ(client->Ask("ADVISE azimuth"), "OK");
    carte().EditQRA->setText("JN18EU");
    carte().BitBtn1Click();
    Move(viewer().ImageAzimut, 400, 200);
    EXPECT_EQ(client->Ask("REQUEST azimuth"), "DATA azimuth");  // a move alone publishes nothing
    Click(viewer().ImageAzimut, 400, 200);
    EXPECT_EQ(client->Line(), "DATA azimuth 45");
    // Each keystroke of a call chooses a DX and sends its bearing.
    QTest::keyClicks(viewer().PanelDX->EditCall, "F6");
    EXPECT_EQ(client->Line(), "DATA azimuth 185");
    EXPECT_EQ(client->Line(), "DATA azimuth 185");
    EXPECT_EQ(client->Ask("REQUEST azimuth"), "DATA azimuth 185");
}

TEST_F(RotatorLink, WhileAClientIsConnectedNeitherWindowEndsTheProgram) {
    Start();
    auto first = Connect();
    auto second = Connect();
    carte().close();
    EXPECT_EQ(Warnings(), 1);
    EXPECT_EQ(shown.back().text, QString::fromUtf8("Une application est connect\u00e9e \u00e0 Korvalen. Veuillez la fermer"));
    carte().EditQRA->setText("JN18EU");
    carte().BitBtn1Click();
    viewer().MenuQuitter->trigger();
    EXPECT_EQ(Warnings(), 2);
    EXPECT_EQ(EndCount(), 0);
    EXPECT_FALSE(QFile::exists(Path("korvalen.ini")));  // nothing written

    // The first client leaving does not open the guard: the second holds it.
    EXPECT_EQ(first->Ask("DISCONNECT"), "OK");
    ASSERT_TRUE(ConnectionsDropTo(1));
    viewer().MenuQuitter->trigger();
    EXPECT_EQ(Warnings(), 3);
    EXPECT_EQ(EndCount(), 0);

    second->Leave();
    ASSERT_TRUE(ConnectionsDropTo(0));
    viewer().MenuQuitter->trigger();
    EXPECT_EQ(Warnings(), 3);
    EXPECT_EQ(EndCount(), 1);
}

TEST_F(RotatorLink, ARealRotctldTurnsToTheClickAndToTheDxTyped) {
    rotator::test_peers::HeldPort port;
    rotator::test_peers::Rotctld rotctld;
    const QString why = rotctld.Start(port);
    ASSERT_TRUE(why.isEmpty()) << why.toStdString();
    WriteSettings("[KORVALEN]\r\nROTCTLD=127.0.0.1:" + std::to_string(port.Port()) + "\r\n");
    Start();
    carte().EditQRA->setText("JN18EU");
    carte().BitBtn1Click();
    // Bearings near the dummy rotator's rest (0), which it reaches in a
    // second or so at its six degrees a second.
    Move(viewer().ImageAzimut, 310, 100);
    Click(viewer().ImageAzimut, 310, 100);
    ASSERT_EQ(PublishedAzimuth(), "3");
    EXPECT_TRUE(WaitFor([&] { return rotctld.Position().first == 3.0; }, 20000)) << rotctld.Position().first;
    QTest::keyClicks(viewer().PanelDX->EditCall, "JW");  // Svalbard, 6 degrees from Paris
    ASSERT_EQ(PublishedAzimuth(), "6");
    EXPECT_TRUE(WaitFor([&] { return rotctld.Position().first == 6.0; }, 20000)) << rotctld.Position().first;
    EXPECT_TRUE(viewer().StaticTextRotator->text().contains("rotctld")) << viewer().StaticTextRotator->text().toStdString();
}

// Each rotator turned directly finds its own address among the settings:
// PstRotator's comes from PSTROTATOR=, and a click reaches it.
TEST_F(RotatorLink, PstRotatorTakesItsAddressFromTheSettings) {
    QUdpSocket pst;
    ASSERT_TRUE(pst.bind(QHostAddress::LocalHost, 0));
    WriteSettings("[KORVALEN]\r\nPSTROTATOR=127.0.0.1:" + std::to_string(pst.localPort()) + "\r\n");
    Start();
    carte().EditQRA->setText("JN18EU");
    carte().BitBtn1Click();
    Move(viewer().ImageAzimut, 310, 100);
    Click(viewer().ImageAzimut, 310, 100);
    ASSERT_EQ(PublishedAzimuth(), "3");
    QList<QByteArray> received;
    EXPECT_TRUE(WaitFor(
        [&] {
            while (pst.hasPendingDatagrams()) received.append(pst.receiveDatagram().data());
            return received.contains("<PST><AZIMUTH>3</AZIMUTH></PST>");
        },
        20000))
        << received.join(" | ").toStdString();
}

}  // namespace
