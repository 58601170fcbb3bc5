// The committed images in data/: that the tool makes them again byte for
// byte, that they are the 4-bit BMPs the program expects, that the world
// map shows what it should, and that the program's resources hold them.
#include "data/palette.h"
#include "data/resources.h"
#include "tools/mapmaker/mapmaker.h"
#include "tools/mapmaker/marks.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

using namespace korvalen::mapmaker;
namespace palette = korvalen::palette;

namespace {

QString SourceDir() {
    const char* env = std::getenv("KORVALEN_SOURCE_DIR");
    return QString::fromLocal8Bit(env && *env ? env : KORVALEN_ASSETS_SOURCE_DIR);
}

QString CommittedPath(const char* name) { return SourceDir() + "/data/" + name; }

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

bool IsLand(uint8_t index) {
    return std::find(std::begin(palette::kLandColours), std::end(palette::kLandColours), index) !=
           std::end(palette::kLandColours);
}

// What a BMP file says about itself, read field by field.
struct Bmp {
    bool ok = false;
    uint32_t fileSize = 0, headerSize = 0, compression = 0, colourCount = 0;
    int32_t width = 0, height = 0;
    uint16_t planes = 0, bitCount = 0;
    std::vector<uint32_t> colours;
    std::vector<uint8_t> indices;  // top row first
};

uint32_t U32(const QByteArray& b, int at) {
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 | static_cast<uint8_t>(b[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}
uint16_t U16(const QByteArray& b, int at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

Bmp ParseBmp(const QByteArray& b) {
    Bmp bmp;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return bmp;
    bmp.fileSize = U32(b, 2);
    const uint32_t pixelsAt = U32(b, 10);
    bmp.headerSize = U32(b, 14);
    bmp.width = static_cast<int32_t>(U32(b, 18));
    bmp.height = static_cast<int32_t>(U32(b, 22));
    bmp.planes = U16(b, 26);
    bmp.bitCount = U16(b, 28);
    bmp.compression = U32(b, 30);
    bmp.colourCount = (pixelsAt - 14 - bmp.headerSize) / 4;
    for (uint32_t i = 0; i < bmp.colourCount; ++i) {
        bmp.colours.push_back(0xFF000000u | (U32(b, static_cast<int>(14 + bmp.headerSize + 4 * i)) & 0xFFFFFFu));
    }
    if (bmp.bitCount != 4 || bmp.width <= 0 || bmp.height <= 0) return bmp;
    const int rowBytes = (bmp.width * 4 + 31) / 32 * 4;
    if (static_cast<qsizetype>(pixelsAt) + static_cast<qsizetype>(rowBytes) * bmp.height > b.size()) return bmp;
    for (int y = 0; y < bmp.height; ++y) {
        const int row = static_cast<int>(pixelsAt) + (bmp.height - 1 - y) * rowBytes;  // stored bottom up
        for (int x = 0; x < bmp.width; ++x) {
            const uint8_t byte = static_cast<uint8_t>(b[row + x / 2]);
            bmp.indices.push_back(x % 2 == 0 ? byte >> 4 : byte & 0x0F);
        }
    }
    bmp.ok = true;
    return bmp;
}

std::vector<uint8_t> Indices(const QImage& image) {
    std::vector<uint8_t> out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) out.push_back(static_cast<uint8_t>(image.pixelIndex(x, y)));
    return out;
}

uint8_t WorldAt(const IndexedImage& world, double lat, double lon) {
    int x = 0, y = 0;
    Grid{kWorldWidth, kWorldHeight}.NearestPixel(lon, lat, x, y);
    return world.At(x, y);
}

class BuiltInImages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(dir_->isValid());
        world_ = std::make_unique<WorldMap>(
            WriteImages(SourceDir() + "/tools/worldmap/countries-50m.json", dir_->path()));
    }
    static void TearDownTestSuite() {
        world_.reset();
        dir_.reset();
    }

    struct File {
        const char* name;
        int width, height;
        IndexedImage made;
    };
    static std::vector<File> Files() {
        return {{kWorldFile, 796, 510, world_->image},
                {kTemplateFile, 600, 600, MakeTemplate()},
                {kMarkFile, 80, 17, MakeMarkImage()},
                {kDxMarkerFile, 29, 29, MakeDxMarker(false)},
                {kDxMarker45File, 29, 29, MakeDxMarker(true)}};
    }

    static std::unique_ptr<QTemporaryDir> dir_;
    static std::unique_ptr<WorldMap> world_;
};
std::unique_ptr<QTemporaryDir> BuiltInImages::dir_;
std::unique_ptr<WorldMap> BuiltInImages::world_;

TEST_F(BuiltInImages, RegeneratedFilesEqualTheCommittedOnes) {
    for (const File& f : Files()) {
        const QByteArray committed = ReadAll(CommittedPath(f.name));
        const QByteArray made = ReadAll(dir_->filePath(f.name));
        ASSERT_FALSE(committed.isEmpty()) << f.name;
        ASSERT_EQ(made.size(), committed.size()) << f.name;
        qsizetype firstDifference = -1;
        for (qsizetype i = 0; i < made.size() && firstDifference < 0; ++i) {
            if (made[i] != committed[i]) firstDifference = i;
        }
        EXPECT_EQ(firstDifference, -1) << f.name << " differs; run the regeneration command in tools/README.md";
    }
}

TEST_F(BuiltInImages, CommittedFilesAreFourBitBmpsWithThePalette) {
    const std::vector<uint32_t> expectedColours(std::begin(palette::kColours), std::end(palette::kColours));
    for (const File& f : Files()) {
        const QByteArray bytes = ReadAll(CommittedPath(f.name));
        const Bmp bmp = ParseBmp(bytes);
        ASSERT_TRUE(bmp.ok) << f.name;
        EXPECT_EQ(bmp.fileSize, static_cast<uint32_t>(bytes.size())) << f.name;
        EXPECT_EQ(bmp.headerSize, 40u) << f.name;
        EXPECT_EQ(bmp.width, f.width) << f.name;
        EXPECT_EQ(bmp.height, f.height) << f.name;
        EXPECT_EQ(bmp.planes, 1) << f.name;
        EXPECT_EQ(bmp.bitCount, 4) << f.name;
        EXPECT_EQ(bmp.compression, 0u) << f.name;
        EXPECT_EQ(bmp.colourCount, 16u) << f.name;
        EXPECT_EQ(bmp.colours, expectedColours) << f.name;
        EXPECT_EQ(bmp.indices, f.made.pixels) << f.name;

        // Qt reads it back with the same indices and colour table.
        const QImage read(CommittedPath(f.name));
        ASSERT_FALSE(read.isNull()) << f.name;
        EXPECT_EQ(read.format(), QImage::Format_Indexed8) << f.name;
        EXPECT_EQ(read.colorCount(), 16) << f.name;
        EXPECT_EQ(Indices(read), f.made.pixels) << f.name;
    }
}

TEST_F(BuiltInImages, WorldUsesOnlyMapColoursAndIsMostlySea) {
    const IndexedImage& w = world_->image;
    ASSERT_EQ(w.width, 796);
    ASSERT_EQ(w.height, 510);
    long sea = 0;
    for (const uint8_t p : w.pixels) {
        ASSERT_TRUE(p == palette::kBlack || p == palette::kSea || p == palette::kWhite || IsLand(p)) << int{p};
        sea += p == palette::kSea;
    }
    const double share = static_cast<double>(sea) / static_cast<double>(w.pixels.size());
    EXPECT_GT(share, 0.6);
    EXPECT_LT(share, 0.75);
    EXPECT_DOUBLE_EQ(share, world_->seaShare);
}

TEST_F(BuiltInImages, WorldPlaces) {
    enum Kind { Land, Sea, Ice };
    struct Case {
        const char* what;
        double lat, lon;
        Kind kind;
    } cases[] = {
        {"Paris", 48.85, 2.35, Land},
        {"Sahara", 23, 10, Land},
        {"Siberia", 62, 100, Land},
        {"Chukotka east of the date line", 66, -175, Land},
        {"Brazil", -10, -52, Land},
        {"Australia", -25, 135, Land},
        {"mid-Pacific", 0, -160, Sea},
        {"mid-Atlantic", 30, -40, Sea},
        {"Indian Ocean", -20, 75, Sea},
        {"Greenland Sea, lat 80", 80, -5, Sea},
        {"Greenland's north, lat 80", 80, -40, Ice},
        {"Arctic Ocean over Russia's longitudes", 86, 100, Sea},
        {"Caspian Sea", 42, 50.5, Sea},
        {"Greenland ice cap", 75, -40, Ice},
        {"Greenland ice cap, south", 66, -42, Ice},
        {"Antarctica", -80, 30, Ice},
        {"South Pole", -89.6, 0, Ice},
    };
    for (const Case& c : cases) {
        const uint8_t p = WorldAt(world_->image, c.lat, c.lon);
        switch (c.kind) {
            case Land: EXPECT_TRUE(IsLand(p)) << c.what << ": " << int{p}; break;
            case Sea: EXPECT_EQ(p, palette::kSea) << c.what; break;
            case Ice: EXPECT_EQ(p, palette::kWhite) << c.what; break;
        }
    }
}

TEST_F(BuiltInImages, RussiaDoesNotSmearAcrossTheArctic) {
    // A ring jumping the date line, filled without unwrapping, would cover
    // whole rows from one end of Russia to the other.
    const IndexedImage& w = world_->image;
    for (int y = 0; y <= 10; ++y)  // north of 86.5°: open sea all round
        for (int x = 0; x < w.width; ++x) ASSERT_EQ(w.At(x, y), palette::kSea) << x << "," << y;
    const int row80 = 28;  // 90 − 180·28/510 ≈ 80.1
    for (const double lon : {-10.0, -5.0, 0.0, 3.0}) {  // between Greenland and Svalbard
        int x = 0, y = 0;
        Grid{kWorldWidth, kWorldHeight}.NearestPixel(lon, 80, x, y);
        EXPECT_EQ(y, row80);
        EXPECT_EQ(w.At(x, y), palette::kSea) << lon;
    }
    // Down the Greenland and Norwegian Seas, where rows crossed by Russia's
    // Arctic coast would be painted too.
    for (const double lat : {67.0, 69.0, 71.0, 73.0, 75.0, 77.0}) {
        EXPECT_EQ(WorldAt(w, lat, -15), palette::kSea) << lat;
        EXPECT_EQ(WorldAt(w, lat, 0), palette::kSea) << lat;
    }
}

TEST_F(BuiltInImages, PolarRowsAreIceAndGreenlandKeepsAColouredCoast) {
    const IndexedImage& w = world_->image;
    for (int y = 500; y < w.height; ++y)
        for (int x = 0; x < w.width; ++x) ASSERT_EQ(w.At(x, y), palette::kWhite) << x << "," << y;

    // Walking east from the ice cap at 72° N, the coast comes as colour, then black.
    int x = 0, y = 0;
    Grid{kWorldWidth, kWorldHeight}.NearestPixel(-40, 72, x, y);
    ASSERT_EQ(w.At(x, y), palette::kWhite);
    while (x < w.width && w.At(x, y) == palette::kWhite) ++x;
    EXPECT_TRUE(IsLand(w.At(x, y))) << "no coloured strip at column " << x;
}

TEST_F(BuiltInImages, SmallIslandNationsAreVisible) {
    struct Case {
        const char* what;
        double lat, lon;
    } cases[] = {
        {"Fiji", -17.8, 178.0},
        {"Malta", 35.9, 14.4},
        {"Bermuda", 32.3, -64.75},
        {"Nauru", -0.53, 166.93},
        {"Maldives", 3.2, 73.2},
    };
    const Grid grid{kWorldWidth, kWorldHeight};
    for (const Case& c : cases) {
        int cx = 0, cy = 0, found = 0;
        grid.NearestPixel(c.lon, c.lat, cx, cy);
        for (int y = cy - 2; y <= cy + 2; ++y)
            for (int x = cx - 2; x <= cx + 2; ++x) found += world_->image.At((x + 796) % 796, y) != palette::kSea;
        EXPECT_GT(found, 0) << c.what;
    }
    EXPECT_GT(world_->dots, 100);
    EXPECT_LE(world_->dots, world_->polygonsWithoutPixel);
    // Every country too small for a pixel of its own still gets a dot.
    EXPECT_FALSE(world_->countriesWithoutPixel.empty());
    EXPECT_EQ(world_->countriesWithoutPixelDotted, static_cast<int>(world_->countriesWithoutPixel.size()));
    // Enclosed ones are dotted over their neighbour: Vatican inside Italy.
    EXPECT_EQ(WorldAt(world_->image, 41.9, 12.43), palette::kBlack);
    EXPECT_NE(std::find(world_->dottedOnLand.begin(), world_->dottedOnLand.end(), "Vatican"),
              world_->dottedOnLand.end());
}

TEST_F(BuiltInImages, NamedNeighboursDiffer) {
    struct Case {
        const char* what;
        double lat1, lon1, lat2, lon2;
    } cases[] = {
        {"France / Spain", 46.5, 2.5, 40.0, -3.7},
        {"USA / Canada", 40, -100, 56, -100},
        {"Brazil / Argentina", -10, -52, -35, -65},
        {"Germany / Poland", 51, 10, 52, 19.5},
        {"China / Mongolia", 33, 105, 47, 103},
        {"Russia / USA across the Bering Strait", 66, -175, 65, -155},
    };
    for (const Case& c : cases) {
        const uint8_t a = WorldAt(world_->image, c.lat1, c.lon1), b = WorldAt(world_->image, c.lat2, c.lon2);
        EXPECT_TRUE(IsLand(a)) << c.what;
        EXPECT_TRUE(IsLand(b)) << c.what;
        EXPECT_NE(a, b) << c.what;
    }
}

TEST_F(BuiltInImages, EveryPixelAgreesWithTheCountryUnderIt) {
    const WorldMap& m = *world_;
    const IndexedImage& w = m.image;
    auto label = [&](int x, int y) { return m.labels[static_cast<size_t>(y) * w.width + (x + w.width) % w.width]; };
    std::vector<bool> dot(w.pixels.size(), false);
    for (const int i : m.dotPixels) dot.at(static_cast<size_t>(i)) = true;
    for (int y = 0; y < w.height; ++y) {
        for (int x = 0; x < w.width; ++x) {
            const int c = label(x, y);
            const uint8_t p = w.At(x, y);
            const bool isDot = dot[static_cast<size_t>(y) * w.width + x];
            if (c < 0) {
                ASSERT_EQ(p, isDot ? palette::kBlack : palette::kSea) << x << "," << y;
                continue;
            }
            ASSERT_TRUE(p == palette::kBlack || p == palette::kWhite || p == m.colours[static_cast<size_t>(c)])
                << x << "," << y;
            // Line exactly where land meets sea (any side) or another
            // country (right or below only, so borders stay one pixel wide).
            bool line = false;
            for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                if (y + dy >= 0 && y + dy < w.height && label(x + dx, y + dy) < 0) line = true;
            }
            if (label(x + 1, y) >= 0 && label(x + 1, y) != c) line = true;
            if (y + 1 < w.height && label(x, y + 1) >= 0 && label(x, y + 1) != c) line = true;
            ASSERT_EQ(p == palette::kBlack, line || isDot) << x << "," << y;
        }
    }
}

TEST_F(BuiltInImages, CountriesWithinTwoPixelsHaveDifferentColours) {
    const WorldMap& m = *world_;
    const int width = m.image.width, height = m.image.height;
    int pairs = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int a = m.labels[static_cast<size_t>(y) * width + x];
            if (a < 0 || m.colours[static_cast<size_t>(a)] == 0) continue;
            for (int dy = 0; dy <= 2; ++dy) {
                for (int dx = -2; dx <= 2; ++dx) {
                    if (y + dy >= height || (dy == 0 && dx <= 0)) continue;
                    const int b = m.labels[static_cast<size_t>(y + dy) * width + (x + dx + width) % width];
                    if (b < 0 || b == a || m.colours[static_cast<size_t>(b)] == 0) continue;
                    ++pairs;
                    ASSERT_NE(m.colours[static_cast<size_t>(a)], m.colours[static_cast<size_t>(b)])
                        << "countries " << a << " and " << b << " at " << x << "," << y;
                }
            }
        }
    }
    EXPECT_GT(pairs, 1000);
}

TEST(DataResources, LoadFromTheEmbeddedFiles) {
    korvalen::data::InitResources();
    korvalen::data::InitResources();  // a second call is harmless
    struct Case {
        const char* resource;
        const char* file;
        int width, height;
    } cases[] = {
        {korvalen::data::kWorldMapPath, "world.bmp", 796, 510},
        {korvalen::data::kTemplatePath, "template.bmp", 600, 600},
        {korvalen::data::kMarkPath, "orlak.bmp", 80, 17},
    };
    for (const Case& c : cases) {
        const QImage embedded(QString::fromLatin1(c.resource));
        ASSERT_FALSE(embedded.isNull()) << c.resource;
        EXPECT_EQ(embedded.width(), c.width) << c.resource;
        EXPECT_EQ(embedded.height(), c.height) << c.resource;
        EXPECT_EQ(embedded.colorCount(), 16) << c.resource;
        EXPECT_EQ(Indices(embedded), Indices(QImage(CommittedPath(c.file)))) << c.resource;
    }
}

}  // namespace
