#include "geo/readout.h"

#include <cmath>

namespace korvalen::geo {

namespace {
// The read-out's arithmetic is double precision, which is exact here (see
// the header).
constexpr double kPi = static_cast<double>(Pi);
constexpr int C = MapRadius;  // the centre pixel's column and row
int Round(double v) { return static_cast<int>(std::nearbyint(v)); }
}  // namespace

Readout ComputeReadout(int X, int Y, Real unitFactor) {
    // The factor itself is one of the two exact values.
    const double unit = static_cast<double>(unitFactor);
    // Bearing by region, north up and clockwise; the centre reads 90.
    double theta;
    if (Y == C) {
        theta = X < C ? 270 : 90;
    } else if (X < C && Y < C) {
        theta = 360 - std::atan(double(C - X) / double(C - Y)) * 180 / kPi;
    } else if (X >= C && Y < C) {
        theta = std::atan(double(C - X) / double(Y - C)) * 180 / kPi;
    } else if (X > C && Y > C) {
        theta = 180 - std::atan(double(X - C) / double(Y - C)) * 180 / kPi;
    } else {
        theta = 180 + std::atan(double(C - X) / double(Y - C)) * 180 / kPi;
    }
    const double dx = X - C, dy = Y - C;
    const double r = Y == C ? std::fabs(dx) : std::sqrt(dx * dx + dy * dy);
    Readout out;
    if (r > MapRadius) return out;
    out.inside = true;
    out.azimuth = Round(theta);
    out.distance = Round(r * HalfCircumferenceKm / MapRadius / unit);
    out.longAzimuth = Round(theta + 180) % 360;
    out.longDistance = Round(CircumferenceKm / unit - r * HalfCircumferenceKm / MapRadius / unit);
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
