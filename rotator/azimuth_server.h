#pragma once
// The azimuth service as the program sees it, whatever carries it: a local
// socket (LocalAzimuthServer) or DDE on Windows (DdeAzimuthServer). Which
// one a system gets is decided once, by MakeAzimuthServer, whose definition
// is in the system's own file (azimuth_server_posix.cpp,
// azimuth_server_win.cpp).
#include <QString>

#include <memory>
#include <string>

#include "base/expected.h"
#include "rotator/azimuth_link.h"

namespace korvalen::rotator {

class AzimuthServer {
public:
    virtual ~AzimuthServer() = default;

    /// Begins serving the link's item. Another running copy of the program
    /// already serving the same name is no failure: the clients stay with
    /// that copy, and this one serves nothing. The error is why the service
    /// could not start, a phrase without a final stop.
    virtual Expected<void> Start() = 0;

    /// Open connections, whether or not their conversation is connected;
    /// under DDE, where there is no connection apart, the conversations.
    virtual int Connections() const = 0;

    /// Where a client finds the service: the socket's path, or the DDE
    /// service name.
    virtual QString Address() const = 0;
};

/// The azimuth server of this system, serving @p link's item under
/// @p service (see ServiceName); not started.
std::unique_ptr<AzimuthServer> MakeAzimuthServer(AzimuthLink& link, std::string service);

}  // namespace korvalen::rotator
