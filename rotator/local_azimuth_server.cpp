#include "rotator/local_azimuth_server.h"

#include <QDir>
#include <QLocalSocket>

#include <vector>

#include "rotator/log.h"

namespace korvalen::rotator {

struct LocalAzimuthServer::Client {
    explicit Client(const std::string& service) : conversation(service) {}
    Conversation conversation;
    LineSplitter splitter;
    bool closing = false;
};

LocalAzimuthServer::LocalAzimuthServer(AzimuthLink& link, std::string service)
    : link_(link), service_(std::move(service)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    // Clients that come all at once wait in the queue, not refused.
    server_.setMaxPendingConnections(MaxConnections);
    connect(&server_, &QLocalServer::newConnection, this, &LocalAzimuthServer::Accept);
    connect(&link_, &AzimuthLink::ItemChanged, this, &LocalAzimuthServer::Advise);
}

LocalAzimuthServer::~LocalAzimuthServer() {
    // The conversations end with the program; the socket file goes with
    // the server, unless something else has taken its name meanwhile.
    for (auto& [socket, client] : clients_) {
        socket->disconnect(this);
        if (client->conversation.Connected()) link_.KorvalenClose();
        socket->abort();
        socket->deleteLater();
    }
    clients_.clear();
    if (!path_.isEmpty()) StopListening(server_, path_, made_);
}

QString LocalAzimuthServer::SocketFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? FallbackSocketFolder() : runtime;
}

QString LocalAzimuthServer::SocketPath(const QString& folder) const {
    return QDir(folder).filePath(QString::fromStdString(service_) + QStringLiteral(".dde"));
}

QString LocalAzimuthServer::Address() const { return SocketPath(folder_.isEmpty() ? SocketFolder() : folder_); }

Expected<void> LocalAzimuthServer::Start() {
    if (const Expected<StartResult> started = Start(SocketFolder()); !started) return started.error();
    return {};
}

Expected<LocalAzimuthServer::StartResult> LocalAzimuthServer::Start(const QString& folder) {
    folder_ = folder;
    const Expected<StartResult> result = Listen(folder);
    const QString path = QDir::toNativeSeparators(SocketPath(folder));
    if (!result) {
        qCWarning(lcRotator).noquote() << "azimuth socket" << path
                                       << "not served:" << QString::fromStdString(result.error().text);
        return result;
    }
    switch (*result) {
        case StartResult::Listening: qCInfo(lcRotator).noquote() << "azimuth socket" << path << "listening"; break;
        case StartResult::AnotherCopyServes:
            qCInfo(lcRotator).noquote() << "azimuth socket" << path << "already served by another copy of the program";
            break;
    }
    return result;
}

Expected<LocalAzimuthServer::StartResult> LocalAzimuthServer::Listen(const QString& folder) {
    if (const Expected<void> prepared = PrepareSocketFolder(folder); !prepared) return prepared.error();
    const QString path = SocketPath(folder);
    const Expected<SocketPathOccupant> occupant = InspectSocketPath(path);
    if (!occupant) return occupant.error();
    if (*occupant == SocketPathOccupant::OurCopy) return StartResult::AnotherCopyServes;
    if (const Expected<void> listening = ListenAt(server_, path, MaxConnections, made_); !listening)
        return listening.error();
    path_ = path;
    return StartResult::Listening;
}

void LocalAzimuthServer::Accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        if (Connections() >= MaxConnections) {
            qCWarning(lcRotator) << "azimuth socket: a connection over the" << MaxConnections << "allowed closed";
            socket->abort();
            socket->deleteLater();
            continue;
        }
        clients_.emplace(socket, std::make_unique<Client>(service_));
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { Drop(socket); });
        connect(socket, &QLocalSocket::bytesWritten, this, [this, socket] {
            const auto found = clients_.find(socket);
            if (found != clients_.end() && found->second->closing && socket->bytesToWrite() == 0)
                socket->disconnectFromServer();
        });
        // Bytes that came with the connection.
        if (socket->bytesAvailable() > 0) Read(socket);
    }
}

void LocalAzimuthServer::Read(QLocalSocket* socket) {
    const auto found = clients_.find(socket);
    if (found == clients_.end()) return;
    Client& client = *found->second;
    if (client.closing) {
        socket->readAll();  // after the last reply nothing more is read
        return;
    }
    const QByteArray bytes = socket->readAll();
    std::vector<std::string> lines;
    const bool fits =
        client.splitter.Feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), lines);
    for (const std::string& line : lines) {
        const bool wasConnected = client.conversation.Connected();
        const Conversation::Step step = client.conversation.Handle(line, link_.Azimuth().toStdString());
        if (step.opened) link_.KorvalenOpen();
        if (wasConnected && !client.conversation.Connected()) link_.KorvalenClose();
        Send(socket, step.reply);
        if (step.close) {
            // DISCONNECT closes too, with "OK".
            if (step.reply.rfind("ERR", 0) == 0)
                qCInfo(lcRotator).noquote()
                    << "azimuth socket: conversation refused:" << QString::fromStdString(step.reply);
            client.closing = true;
            break;
        }
        if (step.poke) link_.Poke(QString::fromStdString(*step.poke));
        if (clients_.find(socket) == clients_.end()) return;
    }
    if (!fits && !client.closing) {
        qCWarning(lcRotator) << "azimuth socket: a client sent a line longer than" << MaxLineLength
                             << "bytes: connection closed";
        Send(socket, "ERR line longer than " + std::to_string(MaxLineLength) + " bytes");
        client.closing = true;
    }
    if (client.closing) {
        if (socket->bytesToWrite() == 0) socket->disconnectFromServer();
        return;
    }
    if (socket->bytesToWrite() > MaxUnsentBytes) Abort(socket);
}

// A client that does not read what it asked for.
void LocalAzimuthServer::Abort(QLocalSocket* socket) {
    qCWarning(lcRotator) << "azimuth socket: a client left more than" << MaxUnsentBytes << "bytes unread: dropped";
    socket->abort();
    Drop(socket);
}

void LocalAzimuthServer::Send(QLocalSocket* socket, const std::string& line) {
    if (line.empty()) return;
    socket->write(line.data(), static_cast<qint64>(line.size()));
    socket->write("\n", 1);
}

void LocalAzimuthServer::Drop(QLocalSocket* socket) {
    const auto found = clients_.find(socket);
    if (found == clients_.end()) return;
    if (found->second->conversation.Connected()) link_.KorvalenClose();
    clients_.erase(found);
    socket->deleteLater();
}

void LocalAzimuthServer::Advise(const QString& value) {
    const std::string line = DataLine(value.toStdString());
    std::vector<QLocalSocket*> slow;
    for (auto& [socket, client] : clients_) {
        if (!client->conversation.Advising() || client->closing) continue;
        Send(socket, line);
        if (socket->bytesToWrite() > MaxUnsentBytes) slow.push_back(socket);
    }
    for (QLocalSocket* socket : slow) Abort(socket);
}

}  // namespace korvalen::rotator
