#include "tools/mapmaker/topojson.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>

namespace korvalen::mapmaker {

namespace {

[[noreturn]] void Fail(const std::string& what) { throw TopoJsonError("TopoJSON: " + what); }

struct Transform {
    bool quantized = false;
    double scaleX = 1, scaleY = 1, translateX = 0, translateY = 0;
};

Transform ReadTransform(const QJsonObject& topology) {
    Transform t;
    const QJsonValue value = topology.value(QStringLiteral("transform"));
    if (value.isUndefined() || value.isNull()) return t;
    const QJsonObject object = value.toObject();
    const QJsonArray scale = object.value(QStringLiteral("scale")).toArray();
    const QJsonArray translate = object.value(QStringLiteral("translate")).toArray();
    if (scale.size() != 2 || translate.size() != 2) Fail("transform needs a scale and a translate of two numbers");
    t.quantized = true;
    t.scaleX = scale[0].toDouble();
    t.scaleY = scale[1].toDouble();
    t.translateX = translate[0].toDouble();
    t.translateY = translate[1].toDouble();
    return t;
}

// Quantized arcs hold integers: the first position absolute, the others as
// differences from the previous one. The sums are kept in integers so that
// an arc walked forwards and the same arc walked backwards by a neighbouring
// country give bit-identical points.
std::vector<Ring> ReadArcs(const QJsonObject& topology, const Transform& t) {
    const QJsonValue value = topology.value(QStringLiteral("arcs"));
    if (!value.isArray()) Fail("no arcs array");
    const QJsonArray arcs = value.toArray();
    std::vector<Ring> out;
    out.reserve(static_cast<size_t>(arcs.size()));
    for (const QJsonValue& arcValue : arcs) {
        const QJsonArray arc = arcValue.toArray();
        Ring points;
        points.reserve(static_cast<size_t>(arc.size()));
        long long x = 0, y = 0;
        for (const QJsonValue& positionValue : arc) {
            const QJsonArray position = positionValue.toArray();
            if (position.size() < 2) Fail("an arc position needs two numbers");
            if (t.quantized) {
                const double dx = position[0].toDouble(), dy = position[1].toDouble();
                if (dx != std::floor(dx) || dy != std::floor(dy)) Fail("a quantized arc holds a non-integer");
                x += static_cast<long long>(dx);
                y += static_cast<long long>(dy);
                points.push_back({static_cast<double>(x) * t.scaleX + t.translateX,
                                  static_cast<double>(y) * t.scaleY + t.translateY});
            } else {
                points.push_back({position[0].toDouble(), position[1].toDouble()});
            }
        }
        out.push_back(std::move(points));
    }
    return out;
}

// A negative index ~i stands for arc i walked backwards. Each arc after the
// first starts where the previous one ended, so that joint is not repeated.
Ring BuildRing(const QJsonArray& indices, const std::vector<Ring>& arcs) {
    Ring ring;
    for (const QJsonValue& indexValue : indices) {
        const double raw = indexValue.toDouble(NAN);
        if (!indexValue.isDouble() || raw != std::floor(raw)) Fail("an arc index is not an integer");
        const long long index = static_cast<long long>(raw);
        const long long arcIndex = index >= 0 ? index : ~index;
        if (arcIndex >= static_cast<long long>(arcs.size())) Fail("arc index " + std::to_string(index) + " out of range");
        const Ring& arc = arcs[static_cast<size_t>(arcIndex)];
        const size_t skip = ring.empty() ? 0 : 1;
        if (index >= 0) {
            for (size_t i = skip; i < arc.size(); ++i) ring.push_back(arc[i]);
        } else {
            for (size_t i = skip; i < arc.size(); ++i) ring.push_back(arc[arc.size() - 1 - i]);
        }
    }
    return ring;
}

Polygon BuildPolygon(const QJsonArray& rings, const std::vector<Ring>& arcs) {
    Polygon polygon;
    for (const QJsonValue& ringValue : rings) {
        if (!ringValue.isArray()) Fail("a ring is not an array of arc indices");
        polygon.rings.push_back(BuildRing(ringValue.toArray(), arcs));
    }
    return polygon;
}

}  // namespace

std::vector<Country> ReadCountries(const QByteArray& json, const QString& objectName) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) Fail("not JSON: " + error.errorString().toStdString());
    const QJsonObject topology = document.object();
    if (topology.value(QStringLiteral("type")).toString() != QStringLiteral("Topology")) Fail("not a Topology");

    const Transform transform = ReadTransform(topology);
    const std::vector<Ring> arcs = ReadArcs(topology, transform);

    const QJsonObject object = topology.value(QStringLiteral("objects")).toObject().value(objectName).toObject();
    if (object.isEmpty()) Fail("no object named " + objectName.toStdString());
    const QJsonArray geometries = object.value(QStringLiteral("geometries")).toArray();

    std::vector<Country> countries;
    for (const QJsonValue& geometryValue : geometries) {
        const QJsonObject geometry = geometryValue.toObject();
        const QJsonValue typeValue = geometry.value(QStringLiteral("type"));
        if (typeValue.isNull()) continue;
        const QString type = typeValue.toString();
        const QJsonArray parts = geometry.value(QStringLiteral("arcs")).toArray();

        Country country;
        country.name = geometry.value(QStringLiteral("properties")).toObject().value(QStringLiteral("name")).toString().toStdString();
        const QJsonValue id = geometry.value(QStringLiteral("id"));
        country.id = id.isDouble() ? QString::number(id.toInt()).toStdString() : id.toString().toStdString();

        if (type == QStringLiteral("Polygon")) {
            country.polygons.push_back(BuildPolygon(parts, arcs));
        } else if (type == QStringLiteral("MultiPolygon")) {
            for (const QJsonValue& part : parts) {
                if (!part.isArray()) Fail("a MultiPolygon part is not an array of rings");
                country.polygons.push_back(BuildPolygon(part.toArray(), arcs));
            }
        } else {
            Fail("unsupported geometry type \"" + type.toStdString() + "\"");
        }
        countries.push_back(std::move(country));
    }
    return countries;
}

std::vector<Country> ReadCountriesFile(const QString& path, const QString& objectName) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) Fail("cannot read " + path.toStdString());
    return ReadCountries(file.readAll(), objectName);
}

}  // namespace korvalen::mapmaker
