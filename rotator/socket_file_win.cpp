// On Windows QLocalServer serves a named pipe: there is no file to squat,
// swap or leave behind, and the pipe's access list (UserAccessOption) keeps
// other users out. The program serves the azimuth over DDE there; this
// keeps the local server usable all the same.
#include "rotator/socket_file.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace korvalen::rotator {

QString FallbackSocketFolder() { return QDir::tempPath(); }

Expected<void> PrepareSocketFolder(const QString&) { return {}; }

Expected<SocketPathOccupant> InspectSocketPath(const QString& path) {
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(1000)) {
        probe.abort();
        return SocketPathOccupant::OurCopy;
    }
    return SocketPathOccupant::Nothing;
}

Expected<void> ListenAt(QLocalServer& server, const QString& path, int backlog, SocketFileId&) {
    server.setListenBacklogSize(backlog);
    if (!server.listen(path))
        return Error{QStringLiteral("cannot make the pipe %1: %2").arg(path, server.errorString()).toStdString()};
    return {};
}

void StopListening(QLocalServer& server, const QString&, const SocketFileId&) { server.close(); }

}  // namespace korvalen::rotator
