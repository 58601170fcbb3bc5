#pragma once
// The peers of the rotator clients in the tests: the real rotctld with its
// dummy rotator, and a scripted stand-in where a reply must be held, refused
// or cut.
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

#include <cmath>
#include <functional>
#include <optional>

namespace korvalen::rotator::test_peers {

// A loopback port bound and not listening: connections to it are refused and
// no other process can listen on it, yet rotctld, which binds with
// SO_REUSEADDR, can. So the port is the test's from start to end.
struct HeldPort {
    QTcpSocket socket;
    HeldPort() {
        socket.bind(QHostAddress::LocalHost, 0);  // unshared, so the kernel's pick is ours alone
        const int on = 1;
        // Winsock takes the value as chars.
        ::setsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on),
                     sizeof on);
    }
    quint16 Port() const { return socket.localPort(); }
};

// rotctld -m 1 on a held port, with a connection of the test's own.
class Rotctld {
public:
    ~Rotctld() {
        control_.abort();
        process_.terminate();
        if (!process_.waitForFinished(5000)) process_.kill();
        process_.waitForFinished(5000);
    }
    // Empty when it is up, otherwise why it is not.
    QString Start(const HeldPort& port, const QStringList& options = {}) {
        const QString program = QStandardPaths::findExecutable("rotctld");
        if (program.isEmpty()) return "rotctld is not installed (Debian: libhamlib-utils)";
        if (port.Port() == 0) return "no port could be held";
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start(program, QStringList{"-m", "1", "-T", "127.0.0.1", "-t", QString::number(port.Port())} + options);
        // Only this rotctld can listen on the held port: the first
        // connection that succeeds is to it.
        for (QDeadlineTimer deadline(20000); !deadline.hasExpired() && process_.state() != QProcess::NotRunning;) {
            control_.connectToHost(QHostAddress::LocalHost, port.Port());
            if (control_.waitForConnected(1000)) return {};
            control_.abort();
            process_.waitForFinished(50);
        }
        return "rotctld did not come up";
    }
    // The reply up to its "RPRT" line; empty when none comes.
    QByteArray Command(const QByteArray& command) {
        control_.write(command);
        QByteArray reply;
        while (!reply.contains("RPRT ") || !reply.endsWith('\n')) {
            if (!control_.waitForReadyRead(5000)) return {};
            reply += control_.readAll();
        }
        return reply;
    }
    // Azimuth and elevation; NaN when unknown.
    std::pair<double, double> Position() {
        const QByteArray reply = Command("+p\n");
        const auto value = [&](const QByteArray& key) {
            const qsizetype at = reply.indexOf(key);
            return at < 0 ? std::nan("") : reply.mid(at + key.size()).split('\n')[0].toDouble();
        };
        return {value("Azimuth: "), value("Elevation: ")};
    }

private:
    QProcess process_;
    QTcpSocket control_;
};

// A stand-in for rotctld: logs each command line and answers with
// answer(line): the reply, nullopt to hold it for Release(), or "CLOSE" to
// hang up.
class ScriptedRotctld : public QObject {
public:
    using Answer = std::function<std::optional<QByteArray>(const QByteArray& line)>;
    explicit ScriptedRotctld(Answer answer) : answer_(std::move(answer)) {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = server_.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine()) {
                    lines.append(socket->readLine().trimmed());
                    const std::optional<QByteArray> reply = answer_(lines.last());
                    if (!reply) held_ = socket;
                    else if (*reply == "CLOSE") socket->close();
                    else socket->write(*reply);
                }
            });
        });
    }
    quint16 Port() const { return server_.serverPort(); }
    bool Holding() const { return held_ != nullptr; }
    void Release(const QByteArray& reply) { std::exchange(held_, nullptr)->write(reply); }
    QList<QByteArray> lines;

private:
    QTcpServer server_;
    Answer answer_;
    QTcpSocket* held_ = nullptr;
};

// The real rotctld's replies, for a -180..180 rotator at rest at 0.
inline QByteArray ReplyFor(const QByteArray& line) {
    if (line == "+\\dump_state")
        return "dump_state:\nrotctld Protocol Ver: 1\nRotor Model: 1\nMinimum Azimuth: -180.000000\n"
               "Maximum Azimuth: 180.000000\nMinimum Elevation: 0.000000\nMaximum Elevation: 90.000000\n"
               "South Zero: 0\nrot_type=AzEl\ndone\nRPRT 0\n";
    if (line == "+\\dump_caps")
        return "dump_caps:\nCaps dump for model:\t1\nMin Azimuth:\t\t-180.00\nMax Azimuth:\t\t180.00\nRPRT 0\n";
    if (line == "+p") return "get_pos:\nAzimuth: 0.00\nElevation: 0.00\nRPRT 0\n";
    if (line.startsWith("+P ")) return "set_pos: " + line.mid(3) + "\nRPRT 0\n";
    return "RPRT -4\n";
}

}  // namespace korvalen::rotator::test_peers
