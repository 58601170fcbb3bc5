#pragma once
// The built-in political world map: 796 × 510 pixels, equirectangular, in
// the 16-colour palette.
#include "tools/mapmaker/colouring.h"
#include "tools/mapmaker/indexed_image.h"
#include "tools/mapmaker/raster.h"
#include "tools/mapmaker/topojson.h"

#include <string>
#include <vector>

namespace korvalen::mapmaker {

constexpr int kWorldWidth = 796;
constexpr int kWorldHeight = 510;

/// Greenland pixels at least this many steps (4-neighbour) from the nearest
/// pixel that is not Greenland are ice; nearer ones keep the country colour.
constexpr int kIceCapDistance = 4;

/// Countries with pixels this close (Euclidean, in pixels) get different
/// colours, whether they touch or face each other across a narrow strait.
constexpr int kNeighbourRadius = 4;

/// ISO 3166 numeric codes of the countries drawn as ice.
inline const char* const kAntarcticaId = "010";
inline const char* const kGreenlandId = "304";

struct WorldMap {
    IndexedImage image;
    /// Country index of every pixel as filled (before lines and ice), −1 sea.
    std::vector<int> labels;
    /// Countries within kNeighbourRadius pixels of each other.
    Adjacency neighbours;
    /// Land colour of each country (0 for Antarctica and countries with no pixel).
    std::vector<uint8_t> colours;

    double seaShare = 0;               ///< share of pixels in the sea colour
    int polygonsWithoutPixel = 0;      ///< polygons too small to fill a pixel
    int dots = 0;                      ///< black dots drawn for them
    std::vector<std::string> countriesWithoutPixel;  ///< names, in file order
    int countriesWithoutPixelDotted = 0;  ///< of those, how many got a dot
    std::vector<std::string> dottedOnLand;  ///< of those, the ones dotted over other land
    std::vector<int> dotPixels;             ///< y·width + x of every dot
};

/// Draws the map:
/// - each country filled by FillEvenOdd over all its rings;
/// - neighbouring countries in different colours of palette::kLandColours;
/// - Antarctica, and Greenland's interior, in ice white;
/// - a land pixel black when a 4-neighbour is sea, or when its right or
///   lower neighbour is another country (so borders are one pixel thick);
///   the map wraps at the date line for this;
/// - a polygon that fills no pixel (Malta, atolls) becomes a black dot at
///   the pixel nearest its outer ring's centroid, when that pixel is sea; a
///   country that fills no pixel and got no such dot (Monaco, Vatican) is
///   dotted at its largest polygon's centroid wherever that falls.
WorldMap MakeWorldMap(const std::vector<Country>& countries);

}  // namespace korvalen::mapmaker
