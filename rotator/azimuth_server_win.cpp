// The azimuth service on Windows: DDE, as the rotator programs written for
// the original program expect it.
#include "rotator/azimuth_server.h"
#include "rotator/dde_azimuth_server.h"

namespace korvalen::rotator {

std::unique_ptr<AzimuthServer> MakeAzimuthServer(AzimuthLink& link, std::string service) {
    return std::make_unique<DdeAzimuthServer>(link, std::move(service));
}

}  // namespace korvalen::rotator
