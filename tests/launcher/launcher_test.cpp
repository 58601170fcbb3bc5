// Starting the rotator program: the order of the checks, the running check
// over a process folder, the start of real files, and the texts.
#include "rotator/launcher.h"
#include "rotator/process_scan_posix.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

using namespace korvalen::rotator;

namespace {

// ---- The order of the checks ----

struct LaunchCase {
    const char* label;
    bool pending;
    const char* path;
    bool running;
    bool connected;
    bool startSucceeds;
    LaunchOutcome outcome;
    bool startCalled;
    bool pendingAfter;
    const char* pathAfter;
};

void PrintTo(const LaunchCase& c, std::ostream* os) { *os << c.label; }

class Launch : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(Launch, FollowsTheStepsInOrder) {
    const LaunchCase& c = GetParam();
    LaunchState state{c.pending, QString::fromUtf8(c.path)};
    std::vector<QString> started;
    const LaunchActions actions{[&] { return c.running; },
                                [&](const QString& path) {
                                    started.push_back(path);
                                    return c.startSucceeds;
                                }};
    EXPECT_EQ(LaunchTornavel(state, c.connected, actions), c.outcome);
    EXPECT_EQ(started, c.startCalled ? std::vector<QString>{QString::fromUtf8(c.path)} : std::vector<QString>{});
    EXPECT_EQ(state.LaunchPending, c.pendingAfter);
    EXPECT_EQ(state.TornavelPath, QString::fromUtf8(c.pathAfter));
}

constexpr const char* kPath = "/opt/Rotor Control/tornavel";

INSTANTIATE_TEST_SUITE_P(
    Steps, Launch,
    ::testing::Values(
        LaunchCase{"Starts", false, kPath, false, false, true, LaunchOutcome::Started, true, false, kPath},
        LaunchCase{"AlreadyRunning", false, kPath, true, false, true, LaunchOutcome::AlreadyOpen, false, false, kPath},
        LaunchCase{"RunningBeforeConnected", false, kPath, true, true, true, LaunchOutcome::AlreadyOpen, false, false,
                   kPath},
        LaunchCase{"ClientConnected", false, kPath, false, true, true, LaunchOutcome::ClientConnected, false, false,
                   kPath},
        LaunchCase{"ConnectedBeforeNoPath", false, "", false, true, true, LaunchOutcome::ClientConnected, false, false,
                   ""},
        LaunchCase{"NoPathAsksForIt", false, "", false, false, true, LaunchOutcome::AskForPath, false, true, ""},
        LaunchCase{"RunningBeforeNoPath", false, "", true, false, true, LaunchOutcome::AlreadyOpen, false, false, ""},
        LaunchCase{"PendingSkipsTheChecks", true, kPath, true, true, true, LaunchOutcome::Started, true, false, kPath},
        LaunchCase{"FailureClearsThePath", false, kPath, false, false, false, LaunchOutcome::LaunchFailed, true, false,
                   ""},
        LaunchCase{"PendingFailure", true, kPath, false, false, false, LaunchOutcome::LaunchFailed, true, false, ""}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- The running check over a process folder ----

struct FakeProcess {
    const char* folder;
    const char* exe;   ///< where `exe` points; none when null
    const char* comm;  ///< the `comm` file's bytes; none when null
};

struct RunningCase {
    const char* label;
    std::vector<FakeProcess> processes;
    bool otherUser;  ///< the processes belong to someone else
    bool running;
};

void PrintTo(const RunningCase& c, std::ostream* os) { *os << c.label; }

class Running : public ::testing::TestWithParam<RunningCase> {};

TEST_P(Running, FindsTheProgramByItsExecutable) {
    const RunningCase& c = GetParam();
    QTemporaryDir proc;
    ASSERT_TRUE(proc.isValid());
    for (const FakeProcess& p : c.processes) {
        const QString folder = proc.filePath(QString::fromLatin1(p.folder));
        ASSERT_TRUE(QDir().mkpath(folder));
        if (p.exe) {
            ASSERT_TRUE(QFile::link(QString::fromUtf8(p.exe), folder + "/exe"));
        }
        if (p.comm) {
            QFile comm(folder + "/comm");
            ASSERT_TRUE(comm.open(QIODevice::WriteOnly));
            comm.write(p.comm);
        }
    }
    const uid_t owner = ::getuid() + (c.otherUser ? 1 : 0);
    EXPECT_EQ(ProgramRunning(proc.path(), QStringLiteral("tornavel"), owner), c.running);
}

INSTANTIATE_TEST_SUITE_P(
    Processes, Running,
    ::testing::Values(
        RunningCase{"None", {}, false, false},
        RunningCase{"ByName", {{"12", "/usr/bin/sh", nullptr}, {"40", "/opt/rotor/tornavel", nullptr}}, false, true},
        RunningCase{"AnyCase", {{"40", "/opt/rotor/TorNaVel", nullptr}}, false, true},
        RunningCase{"OnlyTheFileNameCounts", {{"40", "/opt/tornavel/rotor", nullptr}}, false, false},
        RunningCase{"ReplacedSinceItStarted", {{"40", "/opt/rotor/tornavel (deleted)", nullptr}}, false, true},
        RunningCase{"CommWhenNoExecutable", {{"40", nullptr, "tornavel\n"}}, false, true},
        RunningCase{"ExecutableBeforeComm", {{"40", "/usr/bin/sh", "tornavel\n"}}, false, false},
        RunningCase{"NotAProcessFolder", {{"self", "/opt/rotor/tornavel", nullptr}}, false, false},
        RunningCase{"AnotherUsers", {{"40", "/opt/rotor/tornavel", nullptr}}, true, false}),
    [](const auto& info) { return std::string(info.param.label); });

/// Whether @p condition holds within ten seconds, looked at every millisecond.
template <class Condition>
bool WaitFor(Condition condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// A real process of ours, named as the program is, on the real /proc.
TEST(Running, SeesARealProcessOfThisUser) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath("TORNAVEL");
    ASSERT_TRUE(QFile::copy("/bin/sleep", program));
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
    const QByteArray path = QFile::encodeName(program);
    char seconds[] = "600";
    char* argv[] = {const_cast<char*>(path.constData()), seconds, nullptr};
    pid_t pid = 0;
    // posix_spawn returns once the new program runs in place of the child.
    ASSERT_EQ(::posix_spawn(&pid, path.constData(), nullptr, nullptr, argv, environ), 0);
    EXPECT_TRUE(RotatorProgramRunning());
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

// ---- The start of real files ----

/// Writes a shell script @p body to @p path with @p permissions.
bool WriteScript(const QString& path, const QByteArray& body, QFile::Permissions permissions) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("#!/bin/sh\n" + body) > 0 && f.setPermissions(permissions);
}

TEST(Start, RunsAnExecutableWhosePathHoldsSpaces) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid() && QDir(folder.path()).mkdir("Rotor Control"));
    const QString marker = folder.filePath("started");
    const QString script = folder.filePath("Rotor Control/tornavel start");
    ASSERT_TRUE(WriteScript(script, "touch '" + QFile::encodeName(marker) + "'\n", QFile::ReadOwner | QFile::ExeOwner));
    ASSERT_TRUE(StartProgram(script));
    EXPECT_TRUE(WaitFor([&] { return QFile::exists(marker); }));
}

TEST(Start, FailsForWhatCannotBeExecuted) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString plain = folder.filePath("tornavel");
    ASSERT_TRUE(WriteScript(plain, "exit 0\n", QFile::ReadOwner | QFile::WriteOwner));
    EXPECT_FALSE(StartProgram(folder.filePath("missing")));
    EXPECT_FALSE(StartProgram(plain));  // no execute bit at all: not even root may run it
    EXPECT_FALSE(StartProgram(folder.path()));
    EXPECT_FALSE(StartProgram(QString()));
}

// ---- The texts ----

struct TextCase {
    const char* label;
    const char* code;
    const char* alreadyOpen;
    const char* launchError;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.label; }

class Texts : public ::testing::TestWithParam<TextCase> {};

TEST_P(Texts, FollowTheLanguage) {
    const TextCase& c = GetParam();
    const QString code = QString::fromLatin1(c.code);
    EXPECT_EQ(AlreadyOpenMessage(code), QString::fromUtf8(c.alreadyOpen));
    EXPECT_EQ(LaunchErrorMessage(code), QString::fromUtf8(c.launchError));
}

INSTANTIATE_TEST_SUITE_P(
    Languages, Texts,
    ::testing::Values(
        TextCase{"English", "E",
                 "Caution ! Tornavel is already open. To use it please check the server Korvalen in its Server menu",
                 "An error occured when running Tornavel.\r\nPlease verify the full path of Tornavel.exe"},
        TextCase{"French", "F",
                 "Attention ! Tornavel est d\u00e9j\u00e0 ouvert. Pour l'utiliser choisissez le serveur Korvalen dans "
                 "son menu Serveur",
                 "Une erreur est survenue \u00e0 l'ouverture d'Tornavel.\r\nSVP, v\u00e9rifiez le chemin complet de "
                 "Tornavel.exe"},
        TextCase{"Spanish", "S",
                 "\u00a1Precauci\u00f3n! Tornavel ya est\u00e1 abierto. Para usarlo, por favor compruebe el Korvalen "
                 "servidor en el men\u00fa Servidor",
                 "Se produjo un error al ejecutar Tornavel.\r\nPor favor, verifique la ruta completa de Tornavel.exe"},
        TextCase{"BeforeAnyLanguage", "", "", ""},
        TextCase{"UnknownCode", "e", "", ""}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
