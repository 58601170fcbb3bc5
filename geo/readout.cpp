#include "geo/readout.h"

#include <cmath>

namespace korvalen::geo {

namespace {
constexpr double kPi = 3.14159265358979323846;
int Round(double v) { return static_cast<int>(std::nearbyint(v)); }
}  // namespace

Readout ComputeReadout(int X, int Y, Real unitFactor) {
    // The read-out is computed in double precision, which is exact here
    // (see the header); the factor itself is one of the two exact values.
    const double unit = static_cast<double>(unitFactor);
    // Bearing by region, north up and clockwise; the centre reads 90.
    double theta;
    if (Y == 300) {
        theta = X < 300 ? 270 : 90;
    } else if (X < 300 && Y < 300) {
        theta = 360 - std::atan(double(300 - X) / double(300 - Y)) * 180 / kPi;
    } else if (X >= 300 && Y < 300) {
        theta = std::atan(double(300 - X) / double(Y - 300)) * 180 / kPi;
    } else if (X > 300 && Y > 300) {
        theta = 180 - std::atan(double(X - 300) / double(Y - 300)) * 180 / kPi;
    } else {
        theta = 180 + std::atan(double(300 - X) / double(Y - 300)) * 180 / kPi;
    }
    const double dx = X - 300, dy = Y - 300;
    const double r = Y == 300 ? std::fabs(dx) : std::sqrt(dx * dx + dy * dy);
    Readout out;
    if (r > 300) return out;
    out.inside = true;
    out.azimuth = Round(theta);
    out.distance = Round(r * 20000 / 300 / unit);
    out.longAzimuth = Round(theta + 180) % 360;
    out.longDistance = Round(40000 / unit - r * 20000 / 300 / unit);
    return out;
}

ReadoutTexts FormatReadout(const Readout& r, Real unitFactor, const std::string& azimuthCaption,
                           const std::string& rangeCaption) {
    ReadoutTexts t;
    if (!r.inside) {
        t.shortPath = t.longPath = azimuthCaption + " / " + rangeCaption;
        return t;
    }
    const std::string unit = UnitText(unitFactor);
    t.shortPath = azimuthCaption + std::to_string(r.azimuth) + "\u00b0 / " + rangeCaption +
                  std::to_string(r.distance) + unit;
    t.longPath = azimuthCaption + std::to_string(r.longAzimuth) + "\u00b0 / " + rangeCaption +
                 std::to_string(r.longDistance) + unit;
    return t;
}

}  // namespace korvalen::geo
