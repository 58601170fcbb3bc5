#include "app/end_requests.h"

namespace korvalen::app {

// A windowed program on Windows gets no SIGTERM or SIGHUP: a shutdown or a
// logout reaches it as the session's end alone.
struct EndRequests::Signals {};

EndRequests::EndRequests(QObject* parent) : QObject(parent), signals_(std::make_unique<Signals>()) {
    ConnectSessionEnd();
}

EndRequests::~EndRequests() = default;

}  // namespace korvalen::app
