#pragma once
// A client of the program's azimuth socket, as a rotator program is one:
// lines out, lines in. It waits with the event loop running, since the
// server lives in the test's own thread.
#include <QLocalSocket>
#include <QTest>

#include <string>

namespace korvalen::testing {

class AzimuthClient {
public:
    static constexpr int WaitMs = 10000;

    explicit AzimuthClient(const QString& path) { socket_.connectToServer(path); }
    bool Connected() {
        return QTest::qWaitFor([&] { return socket_.state() == QLocalSocket::ConnectedState; }, WaitMs);
    }
    void Send(const std::string& line) {
        socket_.write((line + "\n").c_str());
        socket_.flush();
    }
    /// The next line, or "<none>" when none comes.
    std::string Line() {
        if (!QTest::qWaitFor([&] { return socket_.canReadLine(); }, WaitMs)) return "<none>";
        QByteArray line = socket_.readLine();
        line.chop(1);
        return line.toStdString();
    }
    std::string Ask(const std::string& line) {
        Send(line);
        return Line();
    }
    bool Closed() {
        return QTest::qWaitFor([&] { return socket_.state() == QLocalSocket::UnconnectedState; }, WaitMs);
    }
    /// Gone without a word.
    void Leave() { socket_.abort(); }
    QLocalSocket& socket() { return socket_; }

private:
    QLocalSocket socket_;
};

}  // namespace korvalen::testing
