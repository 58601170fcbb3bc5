#pragma once
// The azimuth service on a local (Unix domain) socket: one conversation per
// connection, the protocol of azimuth_protocol.h, the file readable and
// writable by this user alone, in a folder of the user's own. It lives from
// start-up to the exit. The program's server on every system but Windows,
// where it still serves the tests.
#include <QLocalServer>
#include <QObject>
#include <QString>

#include <map>
#include <memory>

#include "rotator/azimuth_link.h"
#include "rotator/azimuth_protocol.h"
#include "rotator/azimuth_server.h"
#include "rotator/socket_file.h"

class QLocalSocket;

namespace korvalen::rotator {

class LocalAzimuthServer : public QObject, public AzimuthServer {
    Q_OBJECT
public:
    /// Serves @p link's item under @p service (see ServiceName).
    LocalAzimuthServer(AzimuthLink& link, std::string service);
    ~LocalAzimuthServer() override;

    /// The folder of the socket: $XDG_RUNTIME_DIR, else the user's own
    /// folder in the temporary folder (FallbackSocketFolder).
    static QString SocketFolder();
    /// The socket's file: <folder>/<service>.dde.
    QString SocketPath(const QString& folder) const;

    /// How a start that did not fail went.
    enum class StartResult {
        Listening,          ///< the socket is ours
        AnotherCopyServes,  ///< a running copy answers on it: left to that copy
    };
    /// Listens in @p folder, made if missing; a folder of another user's, or
    /// one others may write to, is refused. A socket of this user's that
    /// nobody answers on (left by a crash) is replaced; one a running copy of
    /// the same user answers on is left to it. Anything else at the path
    /// (another user's socket, a file, a folder) is refused and left in place.
    /// The error is why, in plain words (a phrase, no final stop).
    Expected<StartResult> Start(const QString& folder);
    /// Start in SocketFolder(); another copy serving there is a success.
    Expected<void> Start() override;

    int Connections() const override { return static_cast<int>(clients_.size()); }
    /// The socket's file in the folder of the last Start, SocketFolder()
    /// before any.
    QString Address() const override;

    /// At most this many connections at once; more are closed at once.
    static constexpr int MaxConnections = 256;
    /// A client that leaves this much unread is dropped: a flood of
    /// requests must not make the program's memory grow without end.
    static constexpr qint64 MaxUnsentBytes = 256 * 1024;

private:
    struct Client;
    Expected<StartResult> Listen(const QString& folder);
    void Accept();
    void Read(QLocalSocket* socket);
    void Send(QLocalSocket* socket, const std::string& line);
    void Drop(QLocalSocket* socket);
    void Abort(QLocalSocket* socket);
    void Advise(const QString& value);

    AzimuthLink& link_;
    const std::string service_;
    QLocalServer server_;
    QString folder_;     ///< where the last Start looked; empty before
    QString path_;       ///< where the server listens; empty while it does not
    SocketFileId made_;  ///< the socket file it made there
    std::map<QLocalSocket*, std::unique_ptr<Client>> clients_;
};

}  // namespace korvalen::rotator
