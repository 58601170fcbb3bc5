// The fast generation must give exactly the pixels of the straightforward
// extended-precision formulas, for every centre a user can choose.
#include "generator/projection.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <random>
#include <string>
#include <vector>

using namespace korvalen;
using namespace korvalen::generator;
using geo::Real;

namespace {

struct Centre {
    std::string name;
    Real latitude;
    Real longitude;
};

void PrintTo(const Centre& c, std::ostream* os) {
    *os << c.name << " (" << static_cast<double>(c.latitude) << ", " << static_cast<double>(c.longitude) << ")";
}

// The centre's name as a test name: "pixel 398,0" gives "Pixel398x0",
// "locator JN18EU" gives "LocatorJN18EU".
std::string TestName(const std::string& name) {
    std::string out;
    bool wordStart = true;
    for (const char ch : name) {
        if (std::isalnum(static_cast<unsigned char>(ch))) {
            out += wordStart ? static_cast<char>(std::toupper(static_cast<unsigned char>(ch))) : ch;
            wordStart = false;
        } else {
            if (ch == ',') out += 'x';
            wordStart = true;
        }
    }
    return out;
}

Centre FromPixel(int x, int y) {
    const geo::LatLong p = geo::WorldPixelToLatLong(x, y);
    return {"pixel " + std::to_string(x) + "," + std::to_string(y), p.latitude, p.longitude};
}

Centre FromLocator(const std::string& loc) {
    const auto p = geo::LocatorToLatLong(loc);
    return {"locator " + loc, p->latitude, p->longitude};
}

std::vector<Centre> Centres() {
    std::vector<Centre> out;
    // Both poles' rows, the date line, the equator and Greenwich.
    for (int x : {0, 1, 397, 398, 399, 597, 795}) out.push_back(FromPixel(x, 0));
    for (int x : {0, 398, 795}) out.push_back(FromPixel(x, 509));
    for (int y : {1, 100, 254, 255, 256, 400, 508}) out.push_back(FromPixel(0, y));
    for (int y : {128, 255, 382}) out.push_back(FromPixel(795, y));
    for (int x : {199, 398, 597}) out.push_back(FromPixel(x, 255));
    // The corners and middle of the locator grid, and some real stations.
    for (const char* loc : {"AA00AA", "AR09AX", "RA90XA", "RR99XX", "JJ00AA", "JN18EU", "FN31PR", "QF56OD",
                            "PM95VQ", "KP20LE", "GG87JA", "BL11BH", "RB32ID", "AP00AA"})
        out.push_back(FromLocator(loc));
    out.push_back({"exact north pole", 90, 0});
    out.push_back({"exact south pole", -90, 0});
    out.push_back({"date line east", 0, 180});
#ifdef KORVALEN_FULL_IDENTITY
    // Random clicks on the world map, reproducible. They add centres for the
    // arithmetic, not new code paths, so the sanitized build (where each
    // takes many times longer) leaves them out; see tests/generator/CMakeLists.txt.
    std::mt19937 rng(1852);
    std::uniform_int_distribution<int> col(0, geo::WorldWidth - 1), row(0, geo::WorldHeight - 1);
    for (int i = 1; i <= 20; ++i) {
        // Two clicks may fall on one pixel: the number keeps the names apart.
        Centre c = FromPixel(col(rng), row(rng));
        c.name = "random " + std::to_string(i) + " " + c.name;
        out.push_back(c);
    }
#endif
    return out;
}

class ProjectionIdentity : public ::testing::TestWithParam<Centre> {};

TEST_P(ProjectionIdentity, EveryPointLandsWhereTheReferencePutsIt) {
    const Centre& c = GetParam();
    std::vector<uint8_t> world(geo::WorldWidth * geo::WorldHeight, 0);
    std::vector<uint8_t> target(geo::MapSize * geo::MapSize, 0);
    AzimuthalProjector fast(2);
    Real lat = c.latitude;
    fast.Project({world.data(), geo::WorldWidth, geo::WorldHeight, geo::WorldWidth},
                 {target.data(), geo::MapSize, geo::MapSize, geo::MapSize}, lat, c.longitude);
    int mismatches = 0;
    for (int col = 0; col < geo::WorldWidth; ++col)
        for (int r = 0; r < geo::WorldHeight; ++r) {
            const int32_t want = ReferenceDestination(col, r, c.latitude, c.longitude);
            const int32_t got = fast.Destination(col, r);
            if (want != got && ++mismatches <= 5)
                ADD_FAILURE() << c.name << ": world pixel " << col << "," << r << " reference " << want % 600
                              << "," << want / 600 << " fast " << got % 600 << "," << got / 600;
        }
    EXPECT_EQ(mismatches, 0) << c.name;
    // Rechecks are the exception, not the rule (except at the exact south
    // pole, where every bearing is ill-conditioned).
    if (c.latitude != -90) {
        EXPECT_LT(fast.RecheckedPoints(), 20000) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Centres, ProjectionIdentity, ::testing::ValuesIn(Centres()),
                         [](const auto& info) { return TestName(info.param.name); });

// Whole images: the template is copied first, later source pixels win, the
// progress runs over every column in order, and the centre latitude of the
// north pole row becomes 89.9 as it does in the reference.
TEST(Projection, ImagesIdenticalWithOneAndTwoThreads) {
    std::vector<uint8_t> world(geo::WorldWidth * geo::WorldHeight);
    for (int r = 0; r < geo::WorldHeight; ++r)
        for (int col = 0; col < geo::WorldWidth; ++col)
            world[r * geo::WorldWidth + col] = static_cast<uint8_t>((col * 31 + r * 17) % 251);
    std::vector<uint8_t> templ(geo::MapSize * geo::MapSize, 200);
    const ConstIndexedView w{world.data(), geo::WorldWidth, geo::WorldHeight, geo::WorldWidth};
    const ConstIndexedView t{templ.data(), geo::MapSize, geo::MapSize, geo::MapSize};

    for (const Centre& c : {FromLocator("JN18EU"), FromPixel(398, 0), FromPixel(100, 400)}) {
        std::vector<uint8_t> ref(geo::MapSize * geo::MapSize, 7);
        IndexedView rv{ref.data(), geo::MapSize, geo::MapSize, geo::MapSize};
        CopyTemplate(t, rv);
        Real refLat = c.latitude;
        ProjectReference(w, rv, refLat, c.longitude);
        for (int threads : {1, 2}) {
            // A stride wider than the image checks that rows are addressed by stride.
            const int stride = 640;
            std::vector<uint8_t> out(stride * geo::MapSize, 9);
            IndexedView ov{out.data(), geo::MapSize, geo::MapSize, stride};
            CopyTemplate(t, ov);
            AzimuthalProjector fast(threads);
            Real lat = c.latitude;
            std::vector<int> columns;
            fast.Project(w, ov, lat, c.longitude, [&](int col) { columns.push_back(col); });
            EXPECT_EQ(lat, refLat) << c.name;
            ASSERT_EQ(columns.size(), size_t(geo::WorldWidth));
            for (int i = 0; i < geo::WorldWidth; ++i) ASSERT_EQ(columns[i], i);
            int diff = 0;
            for (int y = 0; y < geo::MapSize; ++y)
                for (int x = 0; x < geo::MapSize; ++x) diff += out[y * stride + x] != ref[y * geo::MapSize + x];
            EXPECT_EQ(diff, 0) << c.name << " threads " << threads;
            for (int y = 0; y < geo::MapSize; ++y) EXPECT_EQ(out[y * stride + 600], 9);  // padding untouched
        }
    }
}

TEST(Projection, NorthPoleRowCentreBecomes899) {
    std::vector<uint8_t> world(geo::WorldWidth * geo::WorldHeight, 1), target(geo::MapSize * geo::MapSize, 0);
    Real lat = 90;
    AzimuthalProjector(1).Project({world.data(), geo::WorldWidth, geo::WorldHeight, geo::WorldWidth},
                                  {target.data(), geo::MapSize, geo::MapSize, geo::MapSize}, lat, 0);
    EXPECT_EQ(lat, 89.9L);
}

TEST(Projection, EquatorPointsForCentreZero) {
    AzimuthalProjector p(2);
    std::vector<uint8_t> world(geo::WorldWidth * geo::WorldHeight, 1), target(geo::MapSize * geo::MapSize, 0);
    Real lat = 0;
    p.Project({world.data(), geo::WorldWidth, geo::WorldHeight, geo::WorldWidth},
              {target.data(), geo::MapSize, geo::MapSize, geo::MapSize}, lat, 0);
    EXPECT_EQ(p.Destination(597, 255), 300 * 600 + 450);
    EXPECT_EQ(p.Destination(199, 255), 300 * 600 + 150);
    EXPECT_EQ(p.Destination(398, 255), 300 * 600 + 300);
    for (int col = 0; col < geo::WorldWidth; col += 53) {
        const int32_t d = p.Destination(col, 0);
        EXPECT_LE(std::abs(d % 600 - 300), 1);
        EXPECT_LE(std::abs(d / 600 - 150), 1);
    }
}

// A centre clicked near Paris: the points of its own meridian lie due north
// and due south, on the vertical line through the centre; for a centre on
// the equator, the equator's points east of it lie on the horizontal line.
TEST(Projection, MeridianAndEquatorPointsLandOnTheAxes) {
    std::vector<uint8_t> world(geo::WorldWidth * geo::WorldHeight, 1), target(geo::MapSize * geo::MapSize, 0);
    const ConstIndexedView w{world.data(), geo::WorldWidth, geo::WorldHeight, geo::WorldWidth};
    const IndexedView t{target.data(), geo::MapSize, geo::MapSize, geo::MapSize};
    AzimuthalProjector p(2);
    geo::LatLong centre = geo::WorldPixelToLatLong(403, 94);
    p.Project(w, t, centre.latitude, centre.longitude);
    for (int r = 1; r < geo::WorldHeight; ++r) {
        const int32_t d = p.Destination(403, r);
        EXPECT_EQ(d % 600, 300) << r;
        if (r < 94) {
            EXPECT_LT(d / 600, 300) << r;
        } else if (r > 94) {
            EXPECT_GT(d / 600, 300) << r;
        }
    }
    centre = geo::WorldPixelToLatLong(450, 255);
    p.Project(w, t, centre.latitude, centre.longitude);
    for (int col = 451; col < 450 + 398; ++col) {
        const int32_t d = p.Destination(col % geo::WorldWidth, 255);
        EXPECT_EQ(d / 600, 300) << col;
        EXPECT_GT(d % 600, 300) << col;
    }
}

}  // namespace
