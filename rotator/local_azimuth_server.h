#pragma once
// The azimuth service on a local (Unix domain) socket: one conversation per
// connection, the protocol of azimuth_protocol.h, the file readable and
// writable by this user alone. It lives from start-up to the exit.
#include <QLocalServer>
#include <QObject>
#include <QString>

#include <map>
#include <memory>

#include "rotator/azimuth_link.h"
#include "rotator/azimuth_protocol.h"

class QLocalSocket;

namespace korvalen::rotator {

class LocalAzimuthServer : public QObject {
    Q_OBJECT
public:
    /// Serves @p link's item under @p service (see ServiceName).
    LocalAzimuthServer(AzimuthLink& link, std::string service);
    ~LocalAzimuthServer() override;

    /// The folder of the socket: $XDG_RUNTIME_DIR, else the temporary folder.
    static QString SocketFolder();
    /// The socket's file: <folder>/<service>.dde.
    QString SocketPath(const QString& folder) const;

    enum class StartResult {
        Listening,          ///< the socket is ours
        AnotherCopyServes,  ///< a running copy answers on it: left to that copy
        Failed,             ///< the socket could not be made (see ErrorText)
    };
    /// Listens in @p folder. A socket file nobody answers on (left by a
    /// crash) is replaced; one a running copy answers on is left alone.
    StartResult Start(const QString& folder);
    QString ErrorText() const { return error_; }

    /// Open connections, whether or not their conversation is connected.
    int Connections() const { return static_cast<int>(clients_.size()); }

    /// At most this many connections at once; more are closed at once.
    static constexpr int MaxConnections = 256;
    /// A client that leaves this much unread is dropped: a flood of
    /// requests must not make the program's memory grow without end.
    static constexpr qint64 MaxUnsentBytes = 256 * 1024;

private:
    struct Client;
    void Accept();
    void Read(QLocalSocket* socket);
    void Send(QLocalSocket* socket, const std::string& line);
    void Drop(QLocalSocket* socket);
    void Abort(QLocalSocket* socket);
    void Advise(const QString& value);

    AzimuthLink& link_;
    const std::string service_;
    QLocalServer server_;
    QString error_;
    std::map<QLocalSocket*, std::unique_ptr<Client>> clients_;
};

}  // namespace korvalen::rotator
