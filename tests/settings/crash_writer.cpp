// The program the crash test kills while it saves settings. It is started
// once per test and makes one save per command read on stdin, each in a
// child process of its own, so that a kill ends that save and not the
// writer: starting a sanitized program costs far more than a fork.
//
//   'S', STEP, CONTENT   (STEP a SaveStep number as one byte, CONTENT '0'
//                         or '1')
//     the child saves that crash content, writes each SaveStep it reaches
//     to stdout as one byte, and kills itself at STEP;
//   'L'
//     the child writes its pid (a raw pid_t) to stdout, then saves the two
//     contents in turn until the test kills it.
//
// When the child has ended, the writer writes 'K' if SIGKILL ended it, 'X'
// otherwise. It exits when stdin closes, or with 2 on a command it does not
// know.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QString>

#include <cerrno>
#include <cstdlib>

#include "tests/settings/crash_contents.h"

using korvalen::settings::SaveSettings;
using korvalen::settings::SaveStep;

namespace {

// The hook is a plain function, so the step to stop at lives here; each
// child gets its own copy with the fork.
int g_stopAt = -1;

void AnnounceAndMaybeDie(SaveStep step) {
    const char byte = static_cast<char>(step);
    // The byte is in the pipe before the kill, so the test learns the step.
    if (::write(1, &byte, 1) != 1) std::_Exit(5);
    if (static_cast<int>(step) == g_stopAt) ::raise(SIGKILL);
}

// _Exit everywhere in the child: it must not run the writer's exit code
// (the leak check included) as if it were the writer.
[[noreturn]] void SaveUntilStopped(const QString& folder, char content) {
    // A save that fails before the step never reaches it, which the exit
    // below tells.
    (void)SaveSettings(folder, CrashContent(content == '1' ? 1 : 0), true, AnnounceAndMaybeDie);
    std::_Exit(4);  // the step was never reached
}

[[noreturn]] void SaveForEver(const QString& folder) {
    const pid_t self = ::getpid();
    if (::write(1, &self, sizeof self) != static_cast<ssize_t>(sizeof self)) std::_Exit(5);
    // Killed at a moment of the test's choosing: what counts is the file
    // left, not what a save answered.
    for (int i = 0;; i ^= 1) (void)SaveSettings(folder, CrashContent(i), true);
}

bool ReadByte(char* byte) {
    for (;;) {
        const ssize_t n = ::read(0, byte, 1);
        if (n == 1) return true;
        if (n == 0 || errno != EINTR) return false;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    CrashContent(0);  // built here once, not again in every child

    char command = 0;
    while (ReadByte(&command)) {
        char step = 0;
        char content = 0;
        if (command == 'S') {
            if (!ReadByte(&step) || !ReadByte(&content)) return 2;
            g_stopAt = step;
        } else if (command != 'L') {
            return 2;
        }
        const pid_t child = ::fork();
        if (child < 0) return 3;
        if (child == 0) {
            if (command == 'L') SaveForEver(folder);
            SaveUntilStopped(folder, content);
        }
        int status = 0;
        while (::waitpid(child, &status, 0) < 0)
            if (errno != EINTR) return 3;
        const char end = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL ? 'K' : 'X';
        if (::write(1, &end, 1) != 1) return 3;
    }
    return 0;
}
