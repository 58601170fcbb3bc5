#include "tools/mapmaker/raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

using namespace korvalen::mapmaker;

namespace {

const Grid kWorld{796, 510};
// 10° per pixel: pixel (x, y) is lon 10x − 180, lat 90 − 10y.
const Grid kCoarse{36, 18};

using Pixels = std::set<std::pair<int, int>>;

Pixels Fill(const std::vector<Ring>& rings, const Grid& grid = kCoarse) {
    std::vector<Edge> edges;
    for (const Ring& ring : rings) AddRingEdges(edges, PlaneRing(ring));
    Pixels pixels;
    FillEvenOdd(edges, grid, [&](int y, int b, int e) {
        EXPECT_LT(b, e);
        for (int x = b; x < e; ++x) EXPECT_TRUE(pixels.emplace(x, y).second) << "pixel twice " << x << "," << y;
    });
    return pixels;
}

Ring Box(double west, double south, double east, double north) {
    return {{west, south}, {east, south}, {east, north}, {west, north}, {west, south}};
}

Pixels Block(int x0, int y0, int x1, int y1) {
    Pixels p;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) p.emplace(x, y);
    return p;
}

TEST(EquirectangularGrid, PixelPositions) {
    EXPECT_EQ(kWorld.Longitude(0), -180);
    EXPECT_EQ(kWorld.Longitude(398), 0);
    EXPECT_EQ(kWorld.Latitude(0), 90);
    EXPECT_EQ(kWorld.Latitude(255), 0);
    EXPECT_NEAR(kWorld.Longitude(795), 179.547738693467, 1e-9);
    EXPECT_NEAR(kWorld.Latitude(509), -89.647058823529, 1e-9);
}

TEST(EquirectangularGrid, FirstColumnAtOrEast) {
    struct Case { double lon; int column; } cases[] = {
        {-500, 0}, {-180, 0}, {-179.99, 1}, {0, 398}, {-1e-12, 398}, {1e-12, 399},
        {kWorld.Longitude(400), 400}, {179.547738693467, 795}, {179.6, 796}, {500, 796},
    };
    for (const Case& c : cases) EXPECT_EQ(kWorld.FirstColumnAtOrEast(c.lon), c.column) << c.lon;
}

TEST(EquirectangularGrid, FirstRowSouthOf) {
    struct Case { double lat; int row; } cases[] = {
        {100, 0}, {90, 1}, {90.0001, 0}, {0, 256}, {1e-12, 255}, {kWorld.Latitude(100), 101},
        {-89.6, 509}, {-89.7, 510}, {-95, 510},
    };
    for (const Case& c : cases) EXPECT_EQ(kWorld.FirstRowSouthOf(c.lat), c.row) << c.lat;
}

TEST(EquirectangularGrid, NearestPixel) {
    struct Case { double lon, lat; int x, y; } cases[] = {
        {2.35, 48.85, 403, 117},   // Paris
        {0, 0, 398, 255},
        {-180, 90, 0, 0},
        {180, 0, 0, 255},          // the date line from the east wraps to column 0
        {179.9, -90, 0, 509},      // rounds past the last column, and clamps to the last row
        {-160, 0, 44, 255},
    };
    for (const Case& c : cases) {
        int x = -1, y = -1;
        kWorld.NearestPixel(c.lon, c.lat, x, y);
        EXPECT_EQ(x, c.x) << c.lon << "," << c.lat;
        EXPECT_EQ(y, c.y) << c.lon << "," << c.lat;
    }
}

TEST(PlaneRing, UnwrapsDateLineJumpsAndDropsTheRepeatedEnd) {
    const Ring stored{{178, -16}, {-179, -16}, {-179, -18}, {178, -18}, {178, -16}};
    const std::vector<Point> plane = PlaneRing(stored);
    EXPECT_EQ(plane, (std::vector<Point>{{178, -16}, {181, -16}, {181, -18}, {178, -18}}));
}

TEST(PlaneRing, ClosesRingsRoundAPoleThroughThatPole) {
    struct Case {
        const char* what;
        Ring stored;
        std::vector<Point> plane;
    } cases[] = {
        {"south, eastwards", {{-180, -70}, {0, -60}, {180, -70}},
         {{-180, -70}, {0, -60}, {180, -70}, {180, -90}, {-180, -90}}},
        {"south, westwards across the line", {{-180, -89}, {90, -89}, {-90, -89}, {-180, -89}},
         {{-180, -89}, {-270, -89}, {-450, -89}, {-540, -89}, {-540, -90}, {-180, -90}}},
        {"north", {{-170, 80}, {-10, 85}, {120, 80}, {-170, 80}},
         {{-170, 80}, {-10, 85}, {120, 80}, {190, 80}, {190, 90}, {-170, 90}}},
    };
    for (const Case& c : cases) EXPECT_EQ(PlaneRing(c.stored), c.plane) << c.what;
}

TEST(FillEvenOdd, BoxTakesPixelsOnItsSouthAndWestEdgesOnly) {
    // lon [0, 30) → columns 18–20; lat [0, 30) → rows 9, 8, 7.
    EXPECT_EQ(Fill({Box(0, 0, 30, 30)}), Block(18, 7, 20, 9));
}

TEST(FillEvenOdd, HoleIsLeftOpen) {
    Pixels expected = Block(18, 6, 21, 9);
    for (const auto& p : Block(19, 7, 20, 8)) expected.erase(p);
    // Orientation of the hole does not matter for even-odd.
    EXPECT_EQ(Fill({Box(0, 0, 40, 40), Box(10, 10, 30, 30)}), expected);
    Ring reversed = Box(10, 10, 30, 30);
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(Fill({Box(0, 0, 40, 40), reversed}), expected);
}

TEST(FillEvenOdd, NeighboursSharingABorderSplitItsPixelsExactly) {
    // A slanted shared border walked in opposite directions, on the fine
    // grid where crossings fall between pixel centres.
    const Ring west{{0, 0}, {3.3, 0}, {5.7, 7.1}, {0, 7.1}, {0, 0}};
    const Ring east{{3.3, 0}, {9, 0}, {9, 7.1}, {5.7, 7.1}, {3.3, 0}};
    const Pixels a = Fill({west}, kWorld), b = Fill({east}, kWorld), both = Fill({Box(0, 0, 9, 7.1)}, kWorld);
    Pixels joined = a;
    for (const auto& p : b) EXPECT_TRUE(joined.insert(p).second) << "overlap at " << p.first << "," << p.second;
    EXPECT_EQ(joined, both);
    EXPECT_FALSE(a.empty());
    EXPECT_FALSE(b.empty());
}

TEST(FillEvenOdd, RingAcrossTheDateLineFillsBothEnds) {
    // Stored with the jump, as the data stores Fiji.
    const Ring ring{{170, 0}, {-170, 0}, {-170, 20}, {170, 20}, {170, 0}};
    // lon 170 (column 35) and −180 (column 0); −170 is the east edge, left out.
    Pixels expected = Block(35, 8, 35, 9);
    for (const auto& p : Block(0, 8, 0, 9)) expected.insert(p);
    EXPECT_EQ(Fill({ring}), expected);
}

TEST(FillEvenOdd, PolarRingFillsDownToThePole) {
    const Ring coast{{-180, -60}, {0, -60}, {180, -60}, {-180, -60}};
    // Rows at −70 and −80 (row 15, at −60, is on the edge and stays out).
    EXPECT_EQ(Fill({coast}), Block(0, 16, 35, 17));
    // The data's form: a ring just short of the pole plus the coast, whose
    // even-odd sum is the same land.
    Ring cap;
    for (int lon = 180; lon >= -180; lon -= 45) cap.push_back({static_cast<double>(lon), -89.999});
    EXPECT_EQ(Fill({cap, coast}), Block(0, 16, 35, 17));
}

TEST(RingCentroid, AreaCentroidAndWrap) {
    struct Case {
        const char* what;
        std::vector<Point> ring;
        double lon, lat;
    } cases[] = {
        {"box", {{0, 0}, {4, 0}, {4, 2}, {0, 2}}, 2, 1},
        {"L shape is weighted by area", {{0, 0}, {3, 0}, {3, 1}, {1, 1}, {1, 3}, {0, 3}}, 1.1, 1.1},
        {"past the date line", {{179.9, 0}, {180.3, 0}, {180.3, 1}, {179.9, 1}}, -179.9, 0.5},
        {"no area: vertex mean", {{10, 10}, {12, 10}, {14, 10}}, 12, 10},
    };
    for (const Case& c : cases) {
        const Point p = RingCentroid(c.ring);
        EXPECT_NEAR(p.lon, c.lon, 1e-9) << c.what;
        EXPECT_NEAR(p.lat, c.lat, 1e-9) << c.what;
    }
}

}  // namespace

namespace {

TEST(RingArea, EitherOrientation) {
    struct Case {
        const char* what;
        std::vector<Point> ring;
        double area;
    } cases[] = {
        {"box", {{0, 0}, {4, 0}, {4, 2}, {0, 2}}, 8},
        {"box clockwise", {{0, 0}, {0, 2}, {4, 2}, {4, 0}}, 8},
        {"triangle far from the origin", {{170, 60}, {171, 60}, {170, 61}}, 0.5},
        {"line", {{1, 1}, {2, 2}}, 0},
        {"empty", {}, 0},
    };
    for (const Case& c : cases) EXPECT_NEAR(RingArea(c.ring), c.area, 1e-9) << c.what;
}

}  // namespace
