#pragma once
// A web server on loopback standing in for the maker's site: it answers
// every request with the status and body it is given, or holds the answer
// until told, or never answers at all. It runs on the test's own event loop,
// which the release check must therefore keep turning.
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include "info/release.h"

namespace korvalen::info::testing {

class VersionServer : public QObject {
public:
    enum class Mode { Answer, Hold, Never };

    VersionServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
            }
        });
    }

    /// What the next requests get.
    void Serve(int status, const QByteArray& body, Mode mode = Mode::Answer) {
        status_ = status;
        body_ = body;
        mode_ = mode;
    }
    /// Answers the requests held so far.
    void Release() {
        for (const QPointer<QTcpSocket>& socket : held_)
            if (socket) Answer(socket);
        held_.clear();
    }
    /// Stops listening: connections are refused from now on.
    void Close() { server_.close(); }

    bool Listening() const { return server_.isListening(); }
    /// The versions file's address on this server.
    QUrl Url() const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(QLatin1String(kVersionsFilePath)));
    }
    /// Requests received whole, and the last one's head.
    int Requests() const { return requests_; }
    const QByteArray& LastRequest() const { return lastRequest_; }

private:
    void Read(QTcpSocket* socket) {
        QByteArray& pending = pending_[socket];
        pending += socket->readAll();
        const qsizetype end = pending.indexOf("\r\n\r\n");
        if (end < 0) return;
        ++requests_;
        lastRequest_ = pending.left(end);
        pending.clear();
        if (mode_ == Mode::Answer) Answer(socket);
        if (mode_ == Mode::Hold) held_.append(socket);
    }

    void Answer(QTcpSocket* socket) {
        const QByteArray reason = status_ == 200 ? "OK" : "Error";
        socket->write("HTTP/1.1 " + QByteArray::number(status_) + " " + reason +
                      "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body_.size()) +
                      "\r\nConnection: close\r\n\r\n" + body_);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    int status_ = 200;
    QByteArray body_;
    Mode mode_ = Mode::Answer;
    int requests_ = 0;
    QByteArray lastRequest_;
    QHash<QTcpSocket*, QByteArray> pending_;
    QList<QPointer<QTcpSocket>> held_;
};

}  // namespace korvalen::info::testing
