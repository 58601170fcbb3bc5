#include <QSocketNotifier>
#include <QtGlobal>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "app/end_requests.h"

namespace korvalen::app {

namespace {

// The writing end of the self-pipe: the one thing the signal handler
// touches. -1 while no EndRequests exists.
volatile sig_atomic_t gWriteEnd = -1;

constexpr std::array<int, 2> kSignals{SIGTERM, SIGHUP};

extern "C" void OnEndSignal(int) {
    // Only async-signal-safe calls here; the event loop does the rest.
    const int saved = errno;
    const char byte = 1;
    if (gWriteEnd >= 0) (void)!::write(gWriteEnd, &byte, 1);
    errno = saved;
}

}  // namespace

struct EndRequests::Signals {
    std::array<int, 2> pipe{-1, -1};
    std::array<struct sigaction, kSignals.size()> previous{};
    std::unique_ptr<QSocketNotifier> notifier;
};

EndRequests::EndRequests(QObject* parent) : QObject(parent), signals_(std::make_unique<Signals>()) {
    ConnectSessionEnd();
    Q_ASSERT(gWriteEnd < 0);
    if (::pipe2(signals_->pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("SIGTERM and SIGHUP will end the program without saving its settings: no pipe (%s)",
                 qPrintable(qt_error_string(errno)));
        return;
    }
    gWriteEnd = signals_->pipe[1];
    signals_->notifier = std::make_unique<QSocketNotifier>(signals_->pipe[0], QSocketNotifier::Read);
    connect(signals_->notifier.get(), &QSocketNotifier::activated, this, [this] {
        char bytes[64];
        bool any = false;
        while (::read(signals_->pipe[0], bytes, sizeof bytes) > 0) any = true;
        if (any) emit EndRequested();
    });
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &action, &signals_->previous[i]);
}

EndRequests::~EndRequests() {
    if (signals_->pipe[1] < 0) return;
    for (std::size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &signals_->previous[i], nullptr);
    gWriteEnd = -1;
    signals_->notifier.reset();
    ::close(signals_->pipe[0]);
    ::close(signals_->pipe[1]);
}

}  // namespace korvalen::app
