#pragma once
// The pointer read-out of the azimuthal map: bearing and range of the pixel
// under the pointer, short path and long path. It measures the picture
// itself: the 300-pixel radius stands for 20000 km and the whole
// circumference for 40000 km (not the nautical-mile rule of RangeToDistance).
// The text form is shared: the DX panel writes its bearings and ranges into
// the same two read-outs in the same shape.
#include <string>

#include "geo/geo.h"

namespace korvalen::geo {

struct Readout {
    bool inside = false;    ///< within 300 pixels of the centre
    int azimuth = 0;        ///< short path, whole degrees (360 can occur)
    int distance = 0;       ///< short path, in the unit
    int longAzimuth = 0;    ///< long path, 0–359
    int longDistance = 0;   ///< long path, in the unit
};

/// @param x, y pixel of the 600 × 600 map, @param unitFactor km per unit
/// (`UnitFactor`). Double precision gives these exactly: no unrounded value
/// of the disc lies within 1e-7 of a half, in either unit.
Readout ComputeReadout(int x, int y, Real unitFactor);

/// The two read-out texts (UTF-8): caption, value, "°", " / ", caption,
/// value, unit text; outside the disc the captions alone.
struct ReadoutTexts {
    std::string shortPath;
    std::string longPath;
};
ReadoutTexts FormatReadout(const Readout& r, Real unitFactor, const std::string& azimuthCaption,
                           const std::string& rangeCaption);

}  // namespace korvalen::geo
