#pragma once
// Geographic arithmetic shared by every window: positions, their text form,
// QRA (Maidenhead) locators, the built-in world map's pixel grid, great-circle
// bearing and range, and the azimuthal map's pixel grid.
//
// All arithmetic is done in extended precision (long double, 80-bit on x86)
// and in the exact order of operations given by each function's comment:
// the map generation must reproduce the same pixels on every run, and the
// fast generator is checked bit for bit against these functions.
//
// Texts are UTF-8 in memory; files use Windows-1252 (see cp1252.h).
//
// This library links nothing but the C++ standard library.

#include <cstddef>
#include <optional>
#include <string>

#include "base/expected.h"

namespace korvalen::geo {

using Real = long double;

/// π at full extended precision.
constexpr Real Pi = 3.14159265358979323846264338327950288L;
constexpr Real TwoPi = 2 * Pi;

/// Size of the built-in world map (equirectangular, 796 × 510 pixels).
constexpr int WorldWidth = 796;
constexpr int WorldHeight = 510;

/// Size of the azimuthal map and its radius in pixels (`MapRadius`); the
/// centre is pixel (MapRadius, MapRadius).
constexpr int MapSize = 600;
constexpr int MapRadius = 300;

/// The scale of the pointer read-out and of the DX panel's long path: the
/// map's radius stands for half the Earth's circumference, the whole of it
/// for 40000 km.
constexpr int HalfCircumferenceKm = 20000;
constexpr int CircumferenceKm = 2 * HalfCircumferenceKm;

/// `UnitFactor` values: kilometres per displayed unit.
constexpr Real KilometreFactor = 1.0L;
constexpr Real StatuteMileFactor = 1.609344L;

/// Ranges below this many radians (about one metre) have bearing 0.
constexpr Real MinimumRange = 1.58e-7L;

/// The latitude used in place of exactly +90 by BearingAndRange.
constexpr Real NorthPoleReplacement = 89.9L;

/// A position in decimal degrees, north and east positive.
struct LatLong {
    Real latitude = 0;   ///< degrees, −90 … +90
    Real longitude = 0;  ///< degrees, not normalised
};

/// A great-circle result from the centre to a point.
struct BearingRange {
    Real range = 0;    ///< central angle, radians, [0, π]
    Real bearing = 0;  ///< initial course clockwise from true north, radians, [0, 2π)
};

/// A pixel of the azimuthal map (may lie outside 0–599).
struct MapPixel {
    int x = 0;
    int y = 0;
};

/// How many characters of a bad value ConversionErrorText shows.
constexpr std::size_t ShownValueLength = 40;

/// The runtime's message for a number that is not a decimal integer:
/// "'<value>' n'est pas une valeur entière correcte" (UTF-8), for the
/// operator to read. The value appears as far as its first ShownValueLength
/// characters (whole characters, never part of one), followed by "…" when
/// there are more; a control character shows as its Unicode control picture
/// (NUL as "␀", TAB as "␉", DEL as "␡"), a C1 control and a malformed UTF-8
/// byte as "�". Its cost does not grow with the value's length.
std::string ConversionErrorText(const std::string& value);

/// Nearest integer, exact halves to the even neighbour (nint(2.5) = 2).
long long Nint(Real v);

/// Reads a decimal integer the way the settings file's numbers are read:
/// optional sign, digits, nothing else, within 32 bits; nullopt otherwise.
std::optional<int> ParseDecimalInteger(const std::string& text);

/// Latitude and longitude of a pixel of the world map.
/// @param[in] x column, 0–795 (column 398 is Greenwich)
/// @param[in] y row, 0–509 (row 0 is latitude +90, row 255 the equator)
/// latitude = (−180 × y) / 510 + 90, longitude = (360 × x) / 796 − 180,
/// the integer products exact and then divided in extended precision.
LatLong WorldPixelToLatLong(int x, int y);

/// Text form "48°51' N / 2°21' E" (UTF-8, the degree sign U+00B0).
/// Minutes are rounded to the nearest whole minute and may read 60.
/// @param[in] latitude degrees @param[in] longitude degrees
std::string LatLongToText(Real latitude, Real longitude);

/// Reads the form written by LatLongToText back into @p position.
/// Stops silently at a missing "°", "'", "/" or hemisphere letter, leaving
/// what was set before the stop in place (the latitude may be set and the
/// longitude not). Minute precision. The position is updated in place rather
/// than returned because a stop, silent or not, keeps what was read before
/// it: the settings file's centre line relies on that.
/// @return the error ConversionErrorText of a degree or minute field that is
///         not a decimal integer (reading stops there, what was set before
///         it stays set); success otherwise, a silent stop included.
Expected<void> TextToLatLong(const std::string& text, LatLong& position);

/// Centre of the subsquare of a six-character locator (any case).
/// Rejected (nullopt) unless it is exactly A–R A–R 0–9 0–9 A–X A–X.
std::optional<LatLong> LocatorToLatLong(const std::string& text);

/// Great-circle range and initial bearing from a centre to a point.
/// @param[in,out] centreLatitude degrees; exactly +90 is replaced by 89.9
///                in the caller's variable
/// @param[in]     centreLongitude degrees
/// @param[in,out] pointLatitude degrees; exactly +90 is replaced by 89.9 too
/// @param[in]     pointLongitude degrees
///
/// The range is arccos(sin φ1 sin φ2 + cos φ1 cos φ2 cos Δλ), arccos
/// evaluated as atan2(√(1 − x²), x) with x clamped to [−1, 1] so that
/// rounding just outside the domain (a point on or next to the centre or
/// its antipode) still gives a valid range. The bearing comes from the
/// half-angle formula sin²(A/2) = (sin(φ1 + c) − sin φ2) / (2 cos φ1 sin c),
/// with any arithmetic fault (a zero divisor, an overflow) giving 0, and is
/// reflected to the west by the sign of the unnormalised Δλ.
///
/// Exact antipode: when x reaches −1 the direction is undefined; the range
/// is then π and the bearing 0 (the point is drawn at the top of the rim).
BearingRange BearingAndRange(Real& centreLatitude, Real centreLongitude, Real& pointLatitude,
                             Real pointLongitude);

/// Distance of a range at one nautical mile (1.852 km) per minute of arc:
/// range × 60 × 180 × 1.852 / π / unitFactor, left to right.
/// @param[in] range radians @param[in] unitFactor km per displayed unit
Real RangeToDistance(Real range, Real unitFactor);

/// Pixel of the 600 × 600 azimuthal map for a range and bearing, radius 300
/// pixels standing for π: x = nint(sin A × c × R / π + R),
/// y = nint(R − cos A × c × R / π), products left to right.
MapPixel PolarToMapPixel(Real range, Real bearing);

/// " km" when the factor is exactly 1, otherwise " miles".
const char* UnitText(Real unitFactor);

}  // namespace korvalen::geo
