// The program the crash test kills while it saves settings. It is started
// once per test and makes one save per byte read on stdin, each in a child
// process of its own, so that a kill ends that save and not the writer:
// starting a sanitized program costs far more than a fork.
//
//   crash_writer FOLDER STEP   (STEP a SaveStep number)
//     each byte read, '0' or '1', names the crash content to save; the child
//     writes each SaveStep it reaches to stdout as one byte and kills itself
//     at STEP;
//   crash_writer FOLDER loop
//     for each byte read, the child writes its pid (a raw pid_t) to stdout,
//     then saves the two contents in turn until the test kills it.
//
// When the child has ended, the writer writes 'K' if SIGKILL ended it, 'X'
// otherwise. It exits when stdin closes.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QString>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "tests/settings/crash_contents.h"

using korvalen::settings::SaveSettings;
using korvalen::settings::SaveStep;

namespace {

// The hook is a plain function, so the step to stop at lives here; it is set
// before any child is forked and never changes.
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
    SaveSettings(folder, CrashContent(content == '1' ? 1 : 0), true, AnnounceAndMaybeDie);
    std::_Exit(4);  // the step was never reached
}

[[noreturn]] void SaveForEver(const QString& folder) {
    const pid_t self = ::getpid();
    if (::write(1, &self, sizeof self) != static_cast<ssize_t>(sizeof self)) std::_Exit(5);
    for (int i = 0;; i ^= 1) SaveSettings(folder, CrashContent(i), true);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const bool loop = std::strcmp(argv[2], "loop") == 0;
    if (!loop) g_stopAt = std::atoi(argv[2]);
    CrashContent(0);  // built here once, not again in every child

    char command = 0;
    while (::read(0, &command, 1) == 1) {
        const pid_t child = ::fork();
        if (child < 0) return 3;
        if (child == 0) {
            if (loop) SaveForEver(folder);
            SaveUntilStopped(folder, command);
        }
        int status = 0;
        while (::waitpid(child, &status, 0) < 0)
            if (errno != EINTR) return 3;
        const char end = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL ? 'K' : 'X';
        if (::write(1, &end, 1) != 1) return 3;
    }
    return 0;
}
