// The azimuth service on systems other than Windows: the local socket.
#include "rotator/azimuth_server.h"
#include "rotator/local_azimuth_server.h"

namespace korvalen::rotator {

std::unique_ptr<AzimuthServer> MakeAzimuthServer(AzimuthLink& link, std::string service) {
    return std::make_unique<LocalAzimuthServer>(link, std::move(service));
}

}  // namespace korvalen::rotator
