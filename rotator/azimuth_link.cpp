#include "rotator/azimuth_link.h"

namespace korvalen::rotator {

void AzimuthLink::PublishAzimuth(const QString& azimuth) {
    azimuth_ = azimuth;
    emit ItemChanged(azimuth_);
    emit Published(azimuth_);
}

void AzimuthLink::Poke(const QString& text) {
    azimuth_ = text;
    emit ItemChanged(azimuth_);
}

}  // namespace korvalen::rotator
