#pragma once
// Reading country outlines from a TopoJSON topology (the world-atlas
// package's countries-50m.json). Only what the world map needs is decoded:
// arcs (quantized and delta-encoded when the topology has a transform, plain
// positions otherwise) and Polygon / MultiPolygon geometries.
#include <QByteArray>
#include <QString>

#include <stdexcept>
#include <string>
#include <vector>

namespace korvalen::mapmaker {

/// A position in degrees as stored in the file: longitude east, latitude north.
struct Point {
    double lon = 0;
    double lat = 0;
    bool operator==(const Point& o) const { return lon == o.lon && lat == o.lat; }
};

/// A ring as the arcs spell it out: consecutive arcs joined, the shared
/// joint point kept once. A closed ring repeats its first point at the end.
using Ring = std::vector<Point>;

/// One polygon: its outer ring first, then its holes.
struct Polygon {
    std::vector<Ring> rings;
};

struct Country {
    std::string name;  ///< the "name" property, UTF-8
    std::string id;    ///< ISO 3166 numeric code; empty for the few without one
    std::vector<Polygon> polygons;
};

/// Raised for a file that is not a usable topology.
class TopoJsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Decodes every geometry of the object @p objectName.
/// Geometries of type null are skipped; other non-polygon types are an error,
/// as is an arc index outside the arc list.
std::vector<Country> ReadCountries(const QByteArray& json, const QString& objectName = QStringLiteral("countries"));

/// Same, from a file. @throws TopoJsonError also when the file cannot be read.
std::vector<Country> ReadCountriesFile(const QString& path, const QString& objectName = QStringLiteral("countries"));

}  // namespace korvalen::mapmaker
