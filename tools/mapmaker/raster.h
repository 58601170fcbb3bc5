#pragma once
// Scanline filling of longitude/latitude rings on an equirectangular grid.
//
// The grid's pixel (x, y) is the single point longitude 360·x/width − 180,
// latitude 90 − 180·y/height: column 0 is 180° W, row 0 the north pole. A
// pixel is inside a set of rings when that point is, by the even-odd rule, so
// holes (Lesotho in South Africa) need no special case. A point exactly on
// an edge belongs to the side of greater longitude and lesser latitude; two
// countries sharing a border therefore split its pixels with no gap and no
// overlap.
#include "tools/mapmaker/topojson.h"

#include <functional>
#include <vector>

namespace korvalen::mapmaker {

struct Grid {
    int width = 0;
    int height = 0;

    double Longitude(int x) const { return 360.0 * x / width - 180.0; }
    double Latitude(int y) const { return 90.0 - 180.0 * y / height; }

    /// Smallest column in [0, width] whose longitude is ≥ @p lon.
    int FirstColumnAtOrEast(double lon) const;
    /// Smallest row in [0, height] whose latitude is < @p lat.
    int FirstRowSouthOf(double lat) const;
    /// Pixel nearest to a position; the longitude wraps, the latitude clamps.
    void NearestPixel(double lon, double lat, int& x, int& y) const;
};

/// An edge with its endpoints in a fixed order (y0 < y1, i.e. south to
/// north), whatever way the ring ran: the crossing longitude is then computed
/// by the same arithmetic for both countries that share the edge.
struct Edge {
    double x0, y0, x1, y1;
};

/// Turns a ring as stored into a plane ring:
/// - longitudes are made continuous, a step of more than 180° being taken
///   as a crossing of the date line (Fiji and Chukotka are stored with
///   such jumps), so the result may leave −180…180;
/// - a ring whose continuous longitudes end a whole turn away from where they
///   started goes round a pole (Antarctica). It is closed through that pole:
///   the north pole when its points lie north of the equator on average,
///   the south pole otherwise.
/// The result does not repeat its first point.
std::vector<Point> PlaneRing(const Ring& ring);

/// Adds the edges of a plane ring and of its copies shifted by ±360°, so a
/// ring unwrapped past the date line fills its part on the other side too.
void AddRingEdges(std::vector<Edge>& edges, const std::vector<Point>& planeRing);

/// Calls @p span(y, xBegin, xEnd) for every run of pixels inside @p edges by
/// the even-odd rule, rows top down, runs west to east, xBegin < xEnd.
void FillEvenOdd(const std::vector<Edge>& edges, const Grid& grid,
                 const std::function<void(int y, int xBegin, int xEnd)>& span);

/// Area of a plane ring in square degrees, whatever its orientation.
double RingArea(const std::vector<Point>& planeRing);

/// Area-weighted centroid of a plane ring (vertex mean when it has no area),
/// longitude brought into −180…180.
Point RingCentroid(const std::vector<Point>& planeRing);

}  // namespace korvalen::mapmaker
