#pragma once
// The azimuth served to the antenna-rotator program. The local server that
// carries it to a client is not part of the program yet: the value is kept
// here, where the server will read it, and no client can be connected.
#include <QString>

namespace korvalen::rotator {

/// Sets the served item `azimuth` (whole degrees as plain decimal digits).
void PublishAzimuth(const QString& azimuth);

/// The value last published; empty before the first publication.
const QString& PublishedAzimuth();

/// Whether a rotator client is connected (the program then refuses to quit).
bool ClientConnected();

/// Back to the state at program start (for a fresh start in the same process).
void ResetAzimuthLink();

}  // namespace korvalen::rotator
