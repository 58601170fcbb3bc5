#include "tools/mapmaker/topojson.h"

#include <gtest/gtest.h>

using namespace korvalen::mapmaker;

namespace {

// Quantized grid: lon = −10 + 0.5 q, lat = 20 + 0.25 q.
// arc 0: (0,0) (4,0) (4,4); arc 1: (4,4) (0,4) (0,0); arc 2: a small square.
const char kTopology[] = R"({"type":"Topology",
 "transform":{"scale":[0.5,0.25],"translate":[-10,20]},
 "arcs":[[[0,0],[4,0],[0,4]], [[4,4],[-4,0],[0,-4]], [[1,1],[1,0],[0,1],[-1,0],[0,-1]]],
 "objects":{"countries":{"type":"GeometryCollection","geometries":[
   {"type":"Polygon","arcs":[[0,1],[-3]],"id":"042","properties":{"name":"Square"}},
   {"type":null},
   {"type":"MultiPolygon","arcs":[[[2]],[[-2,-1]]],"id":7,"properties":{"name":"Isles"}}
 ]}}})";

Point Q(int x, int y) { return {-10 + 0.5 * x, 20 + 0.25 * y}; }

TEST(TopoJson, DecodesDeltasTransformAndArcDirections) {
    const std::vector<Country> countries = ReadCountries(QByteArray(kTopology));
    ASSERT_EQ(countries.size(), 2u);  // the null geometry is skipped

    const Country& square = countries[0];
    EXPECT_EQ(square.name, "Square");
    EXPECT_EQ(square.id, "042");
    ASSERT_EQ(square.polygons.size(), 1u);
    ASSERT_EQ(square.polygons[0].rings.size(), 2u);
    // The joint between arcs 0 and 1 appears once.
    EXPECT_EQ(square.polygons[0].rings[0], (Ring{Q(0, 0), Q(4, 0), Q(4, 4), Q(0, 4), Q(0, 0)}));
    // −3 is arc 2 walked backwards.
    EXPECT_EQ(square.polygons[0].rings[1], (Ring{Q(1, 1), Q(1, 2), Q(2, 2), Q(2, 1), Q(1, 1)}));

    const Country& isles = countries[1];
    EXPECT_EQ(isles.name, "Isles");
    EXPECT_EQ(isles.id, "7");
    ASSERT_EQ(isles.polygons.size(), 2u);
    EXPECT_EQ(isles.polygons[0].rings[0], (Ring{Q(1, 1), Q(2, 1), Q(2, 2), Q(1, 2), Q(1, 1)}));
    EXPECT_EQ(isles.polygons[1].rings[0], (Ring{Q(0, 0), Q(0, 4), Q(4, 4), Q(4, 0), Q(0, 0)}));
}

TEST(TopoJson, PlainPositionsWithoutTransform) {
    const char json[] = R"({"type":"Topology","arcs":[[[1.5,2.5],[3.25,2.5],[3.25,4],[1.5,2.5]]],
      "objects":{"countries":{"type":"GeometryCollection","geometries":[
        {"type":"Polygon","arcs":[[0]],"properties":{"name":"Plain"}}]}}})";
    const std::vector<Country> countries = ReadCountries(QByteArray(json));
    ASSERT_EQ(countries.size(), 1u);
    EXPECT_EQ(countries[0].id, "");
    EXPECT_EQ(countries[0].polygons.at(0).rings.at(0),
              (Ring{{1.5, 2.5}, {3.25, 2.5}, {3.25, 4}, {1.5, 2.5}}));
}

TEST(TopoJson, RejectsBrokenTopologies) {
    const char* const head = R"({"type":"Topology","arcs":[[[0,0],[1,0],[0,1]]],"objects":{"countries":{"geometries":[)";
    struct Case {
        const char* what;
        std::string json;
    } cases[] = {
        {"not JSON", "{\"type\":"},
        {"not a topology", R"({"type":"FeatureCollection"})"},
        {"no such object", R"({"type":"Topology","arcs":[],"objects":{"land":{"geometries":[]}}})"},
        {"arc out of range", std::string(head) + R"({"type":"Polygon","arcs":[[1]]}]}}})"},
        {"reversed arc out of range", std::string(head) + R"({"type":"Polygon","arcs":[[-2]]}]}}})"},
        {"unsupported type", std::string(head) + R"({"type":"LineString","arcs":[0]}]}}})"},
        {"fractional quantized delta",
         R"({"type":"Topology","transform":{"scale":[1,1],"translate":[0,0]},"arcs":[[[0.5,0]]],"objects":{"countries":{"geometries":[]}}})"},
        {"transform without translate",
         R"({"type":"Topology","transform":{"scale":[1,1]},"arcs":[],"objects":{"countries":{"geometries":[]}}})"},
    };
    for (const Case& c : cases) {
        EXPECT_THROW(ReadCountries(QByteArray::fromStdString(c.json)), TopoJsonError) << c.what;
    }
}

TEST(TopoJson, MissingFileIsAnError) {
    EXPECT_THROW(ReadCountriesFile(QStringLiteral("/nonexistent/countries.json")), TopoJsonError);
}

}  // namespace
