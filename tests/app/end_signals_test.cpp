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

struct EndCase {
    const char* name;
    int signal;
};
void PrintTo(const EndCase& c, std::ostream* os) { *os << c.name; }

class EndFromOutside : public ::testing::TestWithParam<EndCase> {};

TEST_P(EndFromOutside, WritesTheSettingsThoughAClientHoldsTheCloseGuard) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath("korvalen");
    ASSERT_TRUE(QFile::copy(QStringLiteral(KORVALEN_PROGRAM), program));
    ASSERT_TRUE(QDir(folder.path()).mkdir("run"));
    QFile::setPermissions(folder.filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile settings(folder.filePath("korvalen.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[KORVALEN]\r\nLANGUAGE=FRENCH\r\nDX=F5ABC\tHome (Eu)\t48,8\tN\t2,3\tE\r\n");
    settings.close();

    QProcess korvalen;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", folder.filePath("run"));
    korvalen.setProcessEnvironment(environment);
    korvalen.setProcessChannelMode(QProcess::ForwardedChannels);
    korvalen.start(program, {});
    ASSERT_TRUE(korvalen.waitForStarted(kPatienceMs));
    const int client = ConnectHoldingTheGuard(folder.filePath("run/korvalen.dde"), korvalen);
    ASSERT_GE(client, 0) << "the program's azimuth socket never answered";

    ASSERT_EQ(::kill(pid_t(korvalen.processId()), GetParam().signal), 0);
    ASSERT_TRUE(korvalen.waitForFinished(kPatienceMs));
    ::close(client);
    EXPECT_EQ(korvalen.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(korvalen.exitCode(), 0);
    // Written anew: the file read had no UNIT line, the one written has
    // every key, and the operator's entry and language are kept.
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QByteArray written = settings.readAll();
    EXPECT_TRUE(written.contains("\r\nUNIT=KM\r\n")) << written.constData();
    EXPECT_TRUE(written.contains("\r\nLANGUAGE=FRENCH\r\n"));
    EXPECT_TRUE(written.contains("\r\nDX=F5ABC\tHome (Eu)\t")) << written.constData();
}

const EndCase kEndCases[] = {{"Term", SIGTERM}, {"Hangup", SIGHUP}};
INSTANTIATE_TEST_SUITE_P(Signals, EndFromOutside, ::testing::ValuesIn(kEndCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
