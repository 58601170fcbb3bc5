// The azimuth service on its local socket, with real clients: the socket
// file and its folder, whose they are and what the program leaves alone,
// conversations from several clients at once, the item followed and poked,
// the conversation count behind the close guard, and bad clients.
#include <QCoreApplication>
#include <QFileInfo>
#include <QLocalSocket>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <grp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "rotator/azimuth_link.h"
#include "rotator/local_azimuth_server.h"
#include "tests/support/azimuth_client.h"
#include "tests/support/failure_text.h"

using namespace korvalen::rotator;
using Client = korvalen::testing::AzimuthClient;
using korvalen::testing::FailureText;
using StartResult = LocalAzimuthServer::StartResult;

namespace {

// A start's outcome in words, a failure with its reason, so that a
// comparison that fails says why.
std::string Outcome(const korvalen::Expected<StartResult>& started) {
    if (!started) return "failed: " + started.error().text;
    return *started == StartResult::Listening ? "listening" : "another copy serves";
}

class AzimuthServer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        server_ = std::make_unique<LocalAzimuthServer>(link_, "korvalen");
        ASSERT_EQ(Outcome(server_->Start(folder_.path())), "listening");
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
    EXPECT_EQ(Outcome(second.Start(folder_.path())), "another copy serves");
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
    EXPECT_EQ(Outcome(second.Start(folder_.path())), "listening");
    Client c(Path());
    ASSERT_TRUE(c.Connected());
    EXPECT_EQ(c.Ask("CONNECT * Korvalen"), "OK korvalen Korvalen");
}

// The exit removed whatever held the socket's name by then, another user's
// socket in a shared folder included.
TEST_F(AzimuthServer, AFileThatTookTheSocketsNameIsLeftAtTheExit) {
    ASSERT_TRUE(QFile::remove(Path()));
    QFile other(Path());
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    server_.reset();
    EXPECT_TRUE(QFileInfo::exists(Path()));
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

// A NUL or a CR in a poke reached the other advising clients raw, inside
// their DATA line.
TEST_F(AzimuthServer, APokedControlCharacterNeverReachesAnotherClient) {
    auto a = Connect();
    auto b = Connect();
    EXPECT_EQ(a->Ask("ADVISE azimuth"), "OK");
    EXPECT_EQ(b->Ask("ADVISE azimuth"), "OK");
    b->socket().write(QByteArray("POKE azimuth 4\0" "7\n", 17));
    EXPECT_EQ(b->Line(), "ERR the text holds a control character");
    EXPECT_EQ(b->Ask("POKE azimuth 5"), "OK");
    EXPECT_EQ(a->Line(), "DATA azimuth 5");  // the first line a is told since
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

// ---- The socket's folder and whatever sits at its path ----

constexpr uid_t kNobody = 65534;

// Sets @p name back as it was when the returned guard goes.
auto KeptVariable(const char* name) {
    return qScopeGuard([name, set = qEnvironmentVariableIsSet(name), value = qgetenv(name)] {
        set ? qputenv(name, value) : qunsetenv(name);
    });
}

mode_t Mode(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

// Without XDG_RUNTIME_DIR the socket went straight into /tmp, where any user
// may take its name first.
TEST(SocketFolder, WithoutARuntimeFolderIsAFolderOfTheUsersOwn) {
    QTemporaryDir temp;
    const auto runtime = KeptVariable("XDG_RUNTIME_DIR");
    const auto tmpdir = KeptVariable("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    const QString folder = LocalAzimuthServer::SocketFolder();
    EXPECT_EQ(folder.toStdString(), (temp.path() + "/korvalen-" + QString::number(::geteuid())).toStdString());
    AzimuthLink link;
    LocalAzimuthServer server(link, "korvalen");
    EXPECT_EQ(Outcome(server.Start(folder)), "listening");
    EXPECT_EQ(Mode(folder), S_IFDIR | 0700u);
}

// The server the program makes: a second copy of the program finds the
// service taken, which is no failure, while a folder others may write to is.
TEST(ProgramsAzimuthServer, ASecondCopyIsNoFailureAnUnfitFolderIs) {
    QTemporaryDir temp;
    const auto runtime = KeptVariable("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(temp.path()));
    AzimuthLink firstLink, secondLink;
    const auto first = MakeAzimuthServer(firstLink, "korvalen");
    const auto second = MakeAzimuthServer(secondLink, "korvalen");
    const korvalen::Expected<void> started = first->Start();
    ASSERT_TRUE(started) << started.error().text;
    const korvalen::Expected<void> again = second->Start();
    EXPECT_TRUE(again) << again.error().text;
    EXPECT_EQ(second->Address(), temp.path() + "/korvalen.dde");
    EXPECT_EQ(first->Address(), second->Address());

    ASSERT_TRUE(QFile::setPermissions(temp.path(), QFile::permissions(temp.path()) | QFile::WriteOther));
    AzimuthLink thirdLink;
    const auto third = MakeAzimuthServer(thirdLink, "korvalen");
    const korvalen::Expected<void> refused = third->Start();
    ASSERT_FALSE(refused);
    EXPECT_FALSE(refused.error().text.empty());
}

// Forks a program of another user's that listens at @p path until killed.
// @return its process, or -1
pid_t ListenAsAStranger(const QByteArray& path, bool& listening) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::copy(path.begin(), path.end(), address.sun_path);  // the test's paths are short
    int ready[2];
    if (::pipe(ready) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {  // system calls alone, as in any child of a program with threads
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 &&
            ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd, 8) == 0 &&
            ::write(ready[1], "y", 1) == 1)
            ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    pollfd told{ready[0], POLLIN, 0};
    char answer = 0;
    listening = pid > 0 && ::poll(&told, 1, 60000) == 1 && ::read(ready[0], &answer, 1) == 1;
    ::close(ready[0]);
    return pid;
}

bool MakeFolder(const QByteArray& path, mode_t mode) {
    return ::mkdir(path.constData(), 0700) == 0 && ::chmod(path.constData(), mode) == 0;
}

struct RefusedCase {
    const char* label;
    const char* at;  ///< made in a folder of the test's: "s" the socket's folder, "s/korvalen.dde" its path
    bool asRoot;     ///< only root can make it
    bool (*make)(const QByteArray& path, pid_t& child);
    const char* says;  ///< the reason given, %1 for the path
};
void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.label; }

// Before, the program served in a folder another user could have made or
// may write to, removed a file at the socket's path, gave "Unknown error 21"
// for a folder there, and took another user's socket for a running copy of
// its own: the operator's rotator programs then read what the stranger wrote.
const RefusedCase kRefused[] = {
    {"FolderIsASymbolicLink", "s", false,
     [](const QByteArray& path, pid_t&) {
         return MakeFolder(path + "-real", 0700) && ::symlink(path + "-real", path) == 0;
     },
     "%1 should be the folder for the azimuth socket but is a symbolic link"},
    {"FolderTheGroupMayWriteIn", "s", false, [](const QByteArray& path, pid_t&) { return MakeFolder(path, 0770); },
     "the folder %1 for the azimuth socket is open to other users (mode 770); it must be its owner's alone (mode 700)"},
    {"FolderOthersMayEnter", "s", false, [](const QByteArray& path, pid_t&) { return MakeFolder(path, 0705); },
     "the folder %1 for the azimuth socket is open to other users (mode 705); it must be its owner's alone (mode 700)"},
    {"FolderOfAnotherUser", "s", true,
     [](const QByteArray& path, pid_t&) { return MakeFolder(path, 0700) && ::chown(path, kNobody, kNobody) == 0; },
     "the folder %1 for the azimuth socket belongs to another user"},
    {"AFileAtThePath", "s/korvalen.dde", false,
     [](const QByteArray& path, pid_t&) { return QFile(QFile::decodeName(path)).open(QIODevice::WriteOnly); },
     "%1 is a file, not a socket; it is left in place"},
    {"AFolderAtThePath", "s/korvalen.dde", false, [](const QByteArray& path, pid_t&) { return MakeFolder(path, 0700); },
     "%1 is a folder, not a socket; it is left in place"},
    // The stranger binds while the folder lets everyone in; then the folder
    // is the user's alone again, as the program asks.
    {"AnotherUsersProgramAnswers", "s/korvalen.dde", true,
     [](const QByteArray& path, pid_t& child) {
         const QByteArray folder = path.left(path.lastIndexOf('/'));
         const QByteArray room = folder.left(folder.lastIndexOf('/'));
         bool listening = false;
         return ::chmod(room, 0711) == 0 && ::chmod(folder, 0777) == 0 &&
                (child = ListenAsAStranger(path, listening)) > 0 && listening && ::chmod(folder, 0700) == 0;
     },
     "another user's program answers on %1; it is left alone"},
};

class Refused : public testing::TestWithParam<RefusedCase> {};

TEST_P(Refused, SaysWhyAndLeavesItInPlace) {
    const RefusedCase& c = GetParam();
    if (c.asRoot && ::geteuid() != 0) GTEST_SKIP() << "only root can make " << c.label;
    QTemporaryDir room;
    const QString folder = room.path() + "/s";
    const QString path = room.path() + "/" + c.at;
    if (path != folder) {
        ASSERT_TRUE(MakeFolder(QFile::encodeName(folder), 0700));
    }
    pid_t child = -1;
    const auto reap = qScopeGuard([&child] {
        if (child > 0 && ::kill(child, SIGKILL) == 0) ::waitpid(child, nullptr, 0);
    });
    ASSERT_TRUE(c.make(QFile::encodeName(path), child));
    const mode_t before = Mode(path);
    {
        AzimuthLink link;
        LocalAzimuthServer server(link, "korvalen");
        const std::optional<std::string> why = FailureText(server.Start(folder));
        EXPECT_TRUE(why);
        EXPECT_TRUE(QString::fromStdString(why.value_or("")).contains(QString(c.says).arg(path))) << why.value_or("");
    }
    EXPECT_EQ(Mode(path), before);
}

INSTANTIATE_TEST_SUITE_P(Start, Refused, testing::ValuesIn(kRefused),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
