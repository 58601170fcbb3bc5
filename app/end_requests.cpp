#include "app/end_requests.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace korvalen::app {

// The session manager asks every program to save its data before the
// session ends; what this program has to save is its settings, and it need
// not stay for the end itself. (Windows sends the same through
// WM_QUERYENDSESSION.)
void EndRequests::ConnectSessionEnd() {
    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(application, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { emit EndRequested(); });
}

}  // namespace korvalen::app
