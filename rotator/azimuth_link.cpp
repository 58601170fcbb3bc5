#include "rotator/azimuth_link.h"

namespace korvalen::rotator {
namespace {
QString g_azimuth;
}

void PublishAzimuth(const QString& azimuth) { g_azimuth = azimuth; }
const QString& PublishedAzimuth() { return g_azimuth; }
bool ClientConnected() { return false; }
void ResetAzimuthLink() { g_azimuth.clear(); }

}  // namespace korvalen::rotator
