// Kills a program at random moments while it saves settings, and checks that
// every kill leaves a complete korvalen.ini, old or new, never a missing or
// cut one.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "tests/settings/crash_contents.h"

extern char** environ;

using namespace korvalen::settings;

namespace {

std::string ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll().toStdString();
}

TEST(SettingsCrash, KilledWriterAlwaysLeavesACompleteFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string bytes[2] = {FormatSettings(CrashContent(0)), FormatSettings(CrashContent(1))};
    const QString ini = dir.filePath(SettingsFileName);

    // Kill moments are spread over about three saves, whatever this
    // machine's speed (and the sanitizers') makes a save take. Seeding with
    // content 1 while the writer begins with content 0 means both are seen
    // only if kills land before and after a completed save.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 5; ++i) ASSERT_EQ(SaveSettings(dir.path(), CrashContent(1), true), std::nullopt);
    const auto save = (std::chrono::steady_clock::now() - start) / 5;
    const auto window = std::chrono::duration_cast<std::chrono::microseconds>(save).count() * 3 + 1;

    std::mt19937 random(12345);
    std::uniform_int_distribution<long long> delay(0, window);
    const std::string folder = QFile::encodeName(dir.path()).toStdString();
    int seen[2] = {0, 0};
    int cutMidSave = 0;
    for (int run = 0; run < 200; ++run) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ready[1], 1);
        posix_spawn_file_actions_addclose(&actions, ready[0]);
        char* argv[] = {const_cast<char*>(KORVALEN_CRASH_WRITER), const_cast<char*>(folder.c_str()), nullptr};
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, KORVALEN_CRASH_WRITER, &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(ready[1]);
        char byte = 0;
        const bool started = ::read(ready[0], &byte, 1) == 1;
        ::close(ready[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(started) << "writer did not start, run " << run;
        ASSERT_TRUE(WIFSIGNALED(status)) << "writer stopped by itself, run " << run;

        const std::string now = ReadFile(ini);
        const int which = now == bytes[0] ? 0 : now == bytes[1] ? 1 : -1;
        ASSERT_NE(which, -1) << "run " << run << ": korvalen.ini holds " << now.size() << " bytes, not "
                             << bytes[0].size();
        ++seen[which];
        // The file parses to what was saved, not just to the same bytes.
        EXPECT_EQ(LoadSettings(dir.path(), true).values, CrashContent(which)) << "run " << run;
        if (QFile::exists(dir.filePath(TemporaryFileName))) ++cutMidSave;
    }
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    EXPECT_GT(cutMidSave, 0) << "no kill landed while a save was under way";
    RecordProperty("killed_mid_save", cutMidSave);
}

}  // namespace
