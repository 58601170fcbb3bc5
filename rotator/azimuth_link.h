#pragma once
// The rotator link as the windows see it: the azimuth item served to the
// antenna-rotator program, and whether a client holds a conversation. The
// server that carries the item to clients plugs in behind this.
#include <QString>

namespace korvalen::rotator {

class AzimuthLink {
public:
    /// Sets the served item `azimuth` (whole degrees as plain decimal digits).
    void PublishAzimuth(const QString& azimuth) { azimuth_ = azimuth; }

    /// The value last published; empty before the first publication.
    const QString& Azimuth() const { return azimuth_; }

    /// Whether a rotator client is connected: the program then refuses to
    /// end. No client can connect until the server exists.
    bool ClientConnected() const { return false; }

private:
    QString azimuth_;
};

}  // namespace korvalen::rotator
