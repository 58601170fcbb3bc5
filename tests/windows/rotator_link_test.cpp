// The rotator link in the running program: a client of the azimuth socket
// follows the map clicks and the DX choices, and while it is connected
// neither main window lets the program end.
#include <QLocalSocket>

#include <memory>
#include <string>

#include "tests/windows/windows_fixture.h"

using namespace korvalen;
using korvalen::testing::WindowsTest;
using korvalen::widgets::MessageKind;

namespace {

class RotatorClient {
public:
    explicit RotatorClient(const QString& path) { socket_.connectToServer(path); }
    bool Connected() {
        return QTest::qWaitFor([&] { return socket_.state() == QLocalSocket::ConnectedState; }, 10000);
    }
    std::string Ask(const std::string& line) {
        socket_.write((line + "\n").c_str());
        return Line();
    }
    std::string Line() {
        if (!QTest::qWaitFor([&] { return socket_.canReadLine(); }, 10000)) return "<none>";
        QByteArray line = socket_.readLine();
        line.chop(1);
        return line.toStdString();
    }
    void Leave() { socket_.abort(); }

private:
    QLocalSocket socket_;
};

class RotatorLink : public WindowsTest {
protected:
    std::unique_ptr<RotatorClient> Connect() {
        const QString path = program().AzimuthServer().SocketPath(qEnvironmentVariable("XDG_RUNTIME_DIR"));
        auto client = std::make_unique<RotatorClient>(path);
        EXPECT_TRUE(client->Connected());
        EXPECT_EQ(client->Ask("CONNECT * Korvalen"), "OK windows_test Korvalen");
        return client;
    }
    bool ConnectionsDropTo(int n) {
        return WaitFor([&] { return program().AzimuthServer().Connections() == n; });
    }
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
    QTest::keyClicks(viewer().EditCall, "F6");
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

}  // namespace
