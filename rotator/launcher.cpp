#include "rotator/launcher.h"

#include <QProcess>

#include "languages/tables.h"

namespace korvalen::rotator {

bool StartProgram(const QString& path) {
    // The static start reports a file that cannot be executed (missing, not
    // executable, a folder) as a failure, not as a process that dies at once.
    return QProcess::startDetached(path, {});
}

LaunchOutcome LaunchTornavel(LaunchState& state, bool clientConnected, const LaunchActions& actions) {
    if (!state.LaunchPending) {
        if (actions.running()) return LaunchOutcome::AlreadyOpen;
        if (clientConnected) return LaunchOutcome::ClientConnected;
        if (state.TornavelPath.isEmpty()) {
            state.LaunchPending = true;
            return LaunchOutcome::AskForPath;
        }
    }
    state.LaunchPending = false;
    if (actions.start(state.TornavelPath)) return LaunchOutcome::Started;
    state.TornavelPath.clear();
    return LaunchOutcome::LaunchFailed;
}

QString AlreadyOpenMessage(const QString& languageCode) {
    return languages::Text(languages::kLauncher.alreadyOpen, languageCode);
}

QString LaunchErrorMessage(const QString& languageCode) {
    if (!languages::HasBlock(languageCode)) return {};
    return languages::Text(languages::kLauncher.launchError, languageCode) + QStringLiteral("\r\n") +
           languages::Text(languages::kLauncher.verifyPath, languageCode);
}

}  // namespace korvalen::rotator
