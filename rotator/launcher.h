#pragma once
// Starting the rotator program Tornavel from the viewer: whether it already
// runs, the start itself, the order of the checks around them, and the
// texts the operator is told. No widgets: the viewer holds the path panel
// and shows the messages.
#include <QString>

#include <functional>

namespace korvalen::rotator {

/// The executable file name by which a running rotator program is known,
/// compared without regard to case.
inline constexpr char kRotatorProgramName[] = "tornavel";

/// Whether the rotator program runs. On Windows: a top-level window titled
/// "Tornavel" exists. Elsewhere the program has no window title the desktop
/// would tell us of (there is no portable way to list other programs'
/// windows), so the running executable's name stands for it: a process of
/// this user runs "tornavel" (any case; see process_scan_posix.h).
bool RotatorProgramRunning();

/// Starts the executable @p path, without arguments, detached from this
/// program (it goes on running when this one ends). The path is taken
/// whole, spaces and all, never split into a command line. Whether the
/// program could be started: false for a missing or non-executable file.
bool StartProgram(const QString& path);

/// The two state values of the launch, owned by the viewer.
struct LaunchState {
    /// A start waits for the operator to give the path in the path panel.
    bool LaunchPending = false;
    /// The full path of the rotator program's executable; empty when unknown.
    QString TornavelPath;
};

/// What the platform does for the launch; tests give their own.
struct LaunchActions {
    std::function<bool()> running = RotatorProgramRunning;
    std::function<bool(const QString&)> start = StartProgram;
};

enum class LaunchOutcome {
    AlreadyOpen,      ///< the program runs already: the already-open message
    ClientConnected,  ///< a client holds a conversation: nothing, silently
    AskForPath,       ///< no path yet: the path panel is to be shown
    Started,          ///< the start succeeded; the rest is up to the program
    LaunchFailed,     ///< the launch-error message; the path was cleared
};

/// One run of the menu item "Tornavel", in its order:
/// 1. a pending launch (the operator has just given the path) goes straight
///    to the start (5);
/// 2. the program already running: AlreadyOpen;
/// 3. a client connected: ClientConnected;
/// 4. an empty path: LaunchPending set, AskForPath;
/// 5. LaunchPending cleared, the path started: Started, or LaunchFailed
///    with the path cleared, so the next run asks for it again.
LaunchOutcome LaunchTornavel(LaunchState& state, bool clientConnected, const LaunchActions& actions);

/// The texts for the interface language @p languageCode ("E", "F", "S").
/// Before any language is chosen (empty code) they are empty: nothing is
/// shown then.
QString AlreadyOpenMessage(const QString& languageCode);
/// Two lines joined by CR LF.
QString LaunchErrorMessage(const QString& languageCode);

}  // namespace korvalen::rotator
