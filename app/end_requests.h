#pragma once
// The requests to end that come from outside the windows: on POSIX systems
// SIGTERM and SIGHUP (a shutdown, a logout, a `kill`), on every system the
// desktop session's end. Each arrives as EndRequested on the event loop, so
// the program can write its settings as an orderly exit does.
#include <QObject>

#include <memory>

namespace korvalen::app {

class EndRequests : public QObject {
    Q_OBJECT
public:
    /// Takes over the signals until destroyed; at most one at a time.
    explicit EndRequests(QObject* parent = nullptr);
    ~EndRequests() override;

signals:
    void EndRequested();

private:
    /// The session's end, the same on every system.
    void ConnectSessionEnd();

    struct Signals;  // the system's own part: see end_requests_*.cpp
    std::unique_ptr<Signals> signals_;
};

}  // namespace korvalen::app
