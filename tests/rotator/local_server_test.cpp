// The azimuth service on its local socket, with real clients: the socket
// file, conversations from several clients at once, the item followed and
// poked, the conversation count behind the close guard, and bad clients.
#include <QCoreApplication>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "rotator/azimuth_link.h"
#include "rotator/local_azimuth_server.h"
#include "tests/support/azimuth_client.h"

using namespace korvalen::rotator;
using Client = korvalen::testing::AzimuthClient;

namespace {

class AzimuthServer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        server_ = std::make_unique<LocalAzimuthServer>(link_, "korvalen");
        ASSERT_EQ(server_->Start(folder_.path()), LocalAzimuthServer::StartResult::Listening)
            << server_->ErrorText().toStdString();
        path_ = server_->SocketPath(folder_.path());
    }
    const QString& Path() const { return path_; }
    std::unique_ptr<Client> Connect() {
        auto c = std::make_unique<Client>(Path());
        EXPECT_TRUE(c->Connected());
        EXPECT_EQ(c->Ask("CONNECT korvalen Korvalen"), "OK korvalen Korvalen");
        return c;
    }
    bool ServerHolds(int connections, const LocalAzimuthServer* server = nullptr) {
        if (!server) server = server_.get();
        return QTest::qWaitFor([&] { return server->Connections() == connections; }, Client::WaitMs);
    }

    QTemporaryDir folder_;
    AzimuthLink link_;
    std::unique_ptr<LocalAzimuthServer> server_;
    QString path_;
};

TEST_F(AzimuthServer, TheSocketIsTheUsersAloneAndGoesWithTheServer) {
    EXPECT_EQ(QFileInfo(Path()).fileName(), "korvalen.dde");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(Path()).constData(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u);
    server_.reset();
    EXPECT_FALSE(QFileInfo::exists(Path()));
}

TEST_F(AzimuthServer, ALiveSocketIsNotStolenAndAStaleOneIsReplaced) {
    AzimuthLink other;
    LocalAzimuthServer second(other, "korvalen");
    EXPECT_EQ(second.Start(folder_.path()), LocalAzimuthServer::StartResult::AnotherCopyServes);
    EXPECT_NE(Connect(), nullptr);  // the first copy still answers

    // A crash leaves the file with nobody behind it.
    server_.reset();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(Path());
    ASSERT_LT(static_cast<std::size_t>(path.size()), sizeof address.sun_path);
    std::copy(path.begin(), path.end(), address.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(Path()));
    EXPECT_EQ(second.Start(folder_.path()), LocalAzimuthServer::StartResult::Listening);
    Client c(Path());
    ASSERT_TRUE(c.Connected());
    EXPECT_EQ(c.Ask("CONNECT * Korvalen"), "OK korvalen Korvalen");
}

TEST_F(AzimuthServer, TwoClientsFollowPublicationsAndPokes) {
    QSignalSpy published(&link_, &AzimuthLink::Published);
    auto a = Connect();
    auto b = Connect();
    EXPECT_EQ(a->Ask("REQUEST azimuth"), "DATA azimuth");  // nothing published yet
    EXPECT_EQ(a->Ask("ADVISE azimuth"), "OK");
    EXPECT_EQ(b->Ask("ADVISE azimuth"), "OK");
    link_.PublishAzimuth("47");
    EXPECT_EQ(a->Line(), "DATA azimuth 47");
    EXPECT_EQ(b->Line(), "DATA azimuth 47");
    EXPECT_EQ(a->Ask("REQUEST azimuth"), "DATA azimuth 47");

    // A poke becomes the item and reaches the advise links, the poker's too,
    // and turns no rotator.
    EXPECT_EQ(b->Ask("POKE azimuth 123"), "OK");
    EXPECT_EQ(b->Line(), "DATA azimuth 123");
    EXPECT_EQ(a->Line(), "DATA azimuth 123");
    EXPECT_EQ(link_.Azimuth(), "123");
    EXPECT_EQ(published.count(), 1);

    EXPECT_EQ(b->Ask("UNADVISE azimuth"), "OK");
    link_.PublishAzimuth("360");
    EXPECT_EQ(a->Line(), "DATA azimuth 360");
    EXPECT_EQ(b->Ask("REQUEST azimuth"), "DATA azimuth 360");  // and no advise line before it
}

TEST_F(AzimuthServer, EveryOpenConversationHoldsTheCloseGuard) {
    auto a = Connect();
    auto b = Connect();
    EXPECT_EQ(link_.OpenConversations(), 2);
    EXPECT_EQ(a->Ask("DISCONNECT"), "OK");
    EXPECT_TRUE(a->Closed());
    EXPECT_TRUE(ServerHolds(1));
    EXPECT_TRUE(link_.ClientConnected());  // the other client still holds it
    b->socket().abort();  // gone without a word
    EXPECT_TRUE(ServerHolds(0));
    EXPECT_FALSE(link_.ClientConnected());

    // A connection that never said CONNECT holds nothing.
    Client idle(Path());
    ASSERT_TRUE(idle.Connected());
    EXPECT_TRUE(ServerHolds(1));
    EXPECT_FALSE(link_.ClientConnected());
}

TEST_F(AzimuthServer, ARefusedConnectClosesTheConnection) {
    Client c(Path());
    ASSERT_TRUE(c.Connected());
    EXPECT_EQ(c.Ask("CONNECT korvalen *"), "ERR a topic is needed: Korvalen");
    EXPECT_TRUE(c.Closed());
    EXPECT_TRUE(ServerHolds(0));
    EXPECT_FALSE(link_.ClientConnected());
}

TEST_F(AzimuthServer, AnOverLongLineGetsAnErrorAndTheConnectionCloses) {
    auto c = Connect();
    c->Send(std::string(5000, 'A'));
    EXPECT_EQ(c->Line(), "ERR line longer than 1024 bytes");
    EXPECT_TRUE(c->Closed());
    EXPECT_TRUE(ServerHolds(0));
    EXPECT_FALSE(link_.ClientConnected());
}

TEST_F(AzimuthServer, AClientThatNeverReadsIsDroppedBeforeMemoryGrows) {
    auto c = Connect();
    // Two megabytes of requests, and no reply read: the answers pile up on
    // the program's side until it gives up on this client.
    std::string flood;
    for (int i = 0; i < 120000; ++i) flood += "REQUEST azimuth\n";
    c->socket().write(flood.data(), static_cast<qint64>(flood.size()));
    EXPECT_TRUE(ServerHolds(0));
    EXPECT_FALSE(link_.ClientConnected());
    // The others are served as before.
    auto d = Connect();
    EXPECT_EQ(d->Ask("REQUEST azimuth"), "DATA azimuth");
}

TEST_F(AzimuthServer, AHundredClientsAtOnce) {
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < 100; ++i) clients.push_back(std::make_unique<Client>(Path()));
    for (auto& c : clients) {
        ASSERT_TRUE(c->Connected());
        c->Send("CONNECT korvalen Korvalen");
    }
    for (auto& c : clients) ASSERT_EQ(c->Line(), "OK korvalen Korvalen");
    EXPECT_EQ(link_.OpenConversations(), 100);
    link_.PublishAzimuth("7");
    for (auto& c : clients) EXPECT_EQ(c->Ask("REQUEST azimuth"), "DATA azimuth 7");
    clients.clear();
    EXPECT_TRUE(ServerHolds(0)) << server_->Connections();
    EXPECT_EQ(link_.OpenConversations(), 0);
}

}  // namespace
