// The program ended from outside, as a shutdown, a logout or a `kill` ends
// it: the settings are written as at an orderly exit, even while a rotator
// client holds the close guard that refuses a close from the windows.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>

namespace {

constexpr int kPatienceMs = 60000;  // only a program that never comes up or never ends waits this long

// A rotator client on the program's socket, holding a conversation; -1 when
// the program did not come up.
int ConnectHoldingTheGuard(const QString& path, QProcess& program) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), std::min<size_t>(name.size(), sizeof address.sun_path - 1));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
    while (std::chrono::steady_clock::now() < deadline && program.state() != QProcess::NotRunning) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            const char hello[] = "CONNECT * Korvalen\n";
            std::string reply;
            char c = 0;
            pollfd p{fd, POLLIN, 0};
            if (::write(fd, hello, sizeof hello - 1) == ssize_t(sizeof hello - 1))
                while (::poll(&p, 1, kPatienceMs) == 1 && ::read(fd, &c, 1) == 1 && c != '\n') reply += c;
            if (reply == "OK korvalen Korvalen") return fd;
            ::close(fd);
            return -1;
        }
        ::close(fd);
        // The socket is not there yet: the program is starting.
        program.waitForFinished(50);
    }
    return -1;
}

// Whether the program has taken SIGTERM over from the system's default.
bool CatchesTerm(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:")) return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    return false;
}

enum class Runtime {
    Private,  ///< the azimuth socket's folder is the user's: a rotator client holds the close guard
    Open,     ///< the folder is open to others: the server refuses it and says so in a second message
};

// Starts the program in @p folder with @p settings as its korvalen.ini,
// sends @p signal once it can take it (with a rotator client holding the
// close guard when the server serves) and waits for the end; the program's
// exit code, -1 when it crashed or never ended.
int EndedBySignal(const QTemporaryDir& folder, const QByteArray& settings, int signal,
                  Runtime runtime = Runtime::Private) {
    const QString program = folder.filePath("korvalen");
    if (!QFile::copy(QStringLiteral(KORVALEN_PROGRAM), program) || !QDir(folder.path()).mkdir("run")) return -1;
    QFile::setPermissions(folder.filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                      (runtime == Runtime::Open ? QFile::ReadOther : QFile::Permissions()));
    QFile file(folder.filePath("korvalen.ini"));
    if (!file.open(QIODevice::WriteOnly) || file.write(settings) != settings.size()) return -1;
    file.close();

    QProcess korvalen;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", folder.filePath("run"));
    korvalen.setProcessEnvironment(environment);
    korvalen.setProcessChannelMode(QProcess::ForwardedChannels);
    korvalen.start(program, {});
    if (!korvalen.waitForStarted(kPatienceMs)) return -1;
    int client = -1;
    if (runtime == Runtime::Private) {
        client = ConnectHoldingTheGuard(folder.filePath("run/korvalen.dde"), korvalen);
        EXPECT_GE(client, 0) << "the program's azimuth socket never answered";
    } else {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPatienceMs);
        while (!CatchesTerm(korvalen.processId()) && std::chrono::steady_clock::now() < deadline)
            korvalen.waitForFinished(50);
    }
    ::kill(pid_t(korvalen.processId()), signal);
    const bool ended = korvalen.waitForFinished(kPatienceMs);
    if (client >= 0) ::close(client);
    if (!ended) korvalen.kill();
    return ended && korvalen.exitStatus() == QProcess::NormalExit ? korvalen.exitCode() : -1;
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct EndCase {
    const char* name;
    int signal;
};
void PrintTo(const EndCase& c, std::ostream* os) { *os << c.name; }

class EndFromOutside : public ::testing::TestWithParam<EndCase> {};

TEST_P(EndFromOutside, WritesTheSettingsThoughAClientHoldsTheCloseGuard) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_EQ(EndedBySignal(folder, "[KORVALEN]\r\nLANGUAGE=FRENCH\r\nDX=F5ABC\tHome (Eu)\t48,8\tN\t2,3\tE\r\n",
                            GetParam().signal),
              0);
    // Written anew: the file read had no UNIT line, the one written has
    // every key, and the operator's entry and language are kept.
    const QByteArray written = Contents(folder.filePath("korvalen.ini"));
    EXPECT_TRUE(written.contains("\r\nUNIT=KM\r\n")) << written.constData();
    EXPECT_TRUE(written.contains("\r\nLANGUAGE=FRENCH\r\n"));
    EXPECT_TRUE(written.contains("\r\nDX=F5ABC\tHome (Eu)\t")) << written.constData();
}

const EndCase kEndCases[] = {{"Term", SIGTERM}, {"Hangup", SIGHUP}};
INSTANTIATE_TEST_SUITE_P(Signals, EndFromOutside, ::testing::ValuesIn(kEndCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The start-up's messages (a settings file it could not read, then an
// azimuth server that could not start) wait for an OK nobody gives: the
// signal answers them, and the exit sets the unread file aside as an
// orderly one does.
TEST(EndFromOutsideDuringStartUp, AnswersTheWaitingMessagesAndSetsTheUnreadFileAside) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QByteArray tooLarge = "[KORVALEN]\r\n" + QByteArray(2 * 1024 * 1024, 'x');
    ASSERT_EQ(EndedBySignal(folder, tooLarge, SIGTERM, Runtime::Open), 0);
    const QStringList aside = QDir(folder.path()).entryList({"korvalen.ini.unread-*"});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(Contents(folder.filePath(aside[0])), tooLarge);
    EXPECT_TRUE(Contents(folder.filePath("korvalen.ini")).contains("\r\nUNIT=KM\r\n"));
}

}  // namespace
