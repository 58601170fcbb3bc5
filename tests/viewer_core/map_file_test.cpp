// The map on disk: exact pixels through save and reload, a save that never
// destroys the old file, and the start-up checks of the kept map.
#include "viewer/map_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <ostream>
#include <random>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "data/palette.h"
#include "viewer/map_surface.h"
#include "tests/support/failure_text.h"

using namespace korvalen;
using namespace korvalen::viewer;
using korvalen::testing::FailureText;

namespace {

QImage RandomMap(int width = 600, int height = 600) {
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable(QList<QRgb>(std::begin(palette::kColours), std::end(palette::kColours)));
    std::mt19937 rng(44);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, rng() % 16);
    return image;
}

QByteArray ReadAll(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

uint32_t Le(const QByteArray& b, int at, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + i]);
    return v;
}

// Reads the pixel indices of a 4- or 8-bit BMP straight from its bytes, as
// another program would, rather than trusting the same library both ways.
int IndexInFile(const QByteArray& bmp, int x, int y) {
    const int bits = static_cast<int>(Le(bmp, 28, 2)), width = static_cast<int>(Le(bmp, 18, 4));
    const int height = static_cast<int>(Le(bmp, 22, 4)), rowBytes = (width * bits + 31) / 32 * 4;
    const int at = static_cast<int>(Le(bmp, 10, 4)) + (height - 1 - y) * rowBytes;  // bottom-up
    const auto byte = static_cast<uint8_t>(bmp[at + x * bits / 8]);
    return bits == 8 ? byte : (x % 2 ? byte & 0x0F : byte >> 4);
}

void ExpectFileHolds(const QString& name, const QImage& map, int bits) {
    const QByteArray bmp = ReadAll(name);
    ASSERT_GE(bmp.size(), 54);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(Le(bmp, 2, 4), static_cast<uint32_t>(bmp.size()));
    EXPECT_EQ(Le(bmp, 14, 4), 40u);
    EXPECT_EQ(Le(bmp, 28, 2), static_cast<uint32_t>(bits));
    EXPECT_EQ(Le(bmp, 30, 4), 0u);  // uncompressed
    EXPECT_EQ(bmp.size(), 54 + map.colorCount() * 4 + 600 * (600 * bits / 8));
    for (int i = 0; i < map.colorCount(); ++i) EXPECT_EQ(Le(bmp, 54 + 4 * i, 3), map.color(i) & 0xFFFFFF);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x) ASSERT_EQ(IndexInFile(bmp, x, y), map.pixelIndex(x, y)) << x << "," << y;

    const KeptMap back = CheckKeptMap(name);
    ASSERT_EQ(back.status, KeptMapStatus::Ok) << FailureText(back.error).value_or("");
    EXPECT_EQ(back.image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(back.image.colorTable(), map.colorTable());
    EXPECT_EQ(back.image, map);
}

class MapFile : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

TEST_F(MapFile, SixteenColoursRoundTripAsFourBits) {
    const QImage map = RandomMap();
    ASSERT_EQ(FailureText(SaveMapBmp(map, Path("map.bmp"))), std::nullopt);
    ExpectFileHolds(Path("map.bmp"), map, 4);
}

TEST_F(MapFile, RedOverlaysRoundTripAsEightBitsReplacingTheOldFile) {
    QImage map = RandomMap();
    MapSurface surface(&map);
    surface.DrawAxes();
    ASSERT_EQ(map.colorCount(), 17);
    WriteAll(Path("map.bmp"), "an older map");
    ASSERT_EQ(FailureText(SaveMapBmp(map, Path("map.bmp"))), std::nullopt);
    ExpectFileHolds(Path("map.bmp"), map, 8);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"map.bmp"});  // no temporary left
}

#ifndef _WIN32
TEST_F(MapFile, AReplacedMapKeepsTheModeItsOwnerGaveIt) {
    WriteAll(Path("map.bmp"), "an older map");
    ASSERT_EQ(::chmod(QFile::encodeName(Path("map.bmp")).constData(), 0640), 0);
    ASSERT_EQ(FailureText(SaveMapBmp(RandomMap(), Path("map.bmp"))), std::nullopt);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(Path("map.bmp")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    ExpectFileHolds(Path("map.bmp"), RandomMap(), 4);
}
#endif

TEST_F(MapFile, AFailedSaveGivesTheReasonAndLeavesTheOldFileWhole) {
    const QImage map = RandomMap();
    std::optional<std::string> error = FailureText(SaveMapBmp(map, Path("missing/map.bmp")));
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->empty());
    EXPECT_FALSE(QFileInfo::exists(Path("missing")));

    // A name at the length limit leaves no room for the temporary's.
    const QString longName = Path(QString(251, u'm') + ".bmp");
    WriteAll(longName, "the old map");
    error = FailureText(SaveMapBmp(map, longName));
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->empty());
    EXPECT_EQ(ReadAll(longName), QByteArray("the old map"));

    // A read-only map is protected even from root, for whom rename ignores it.
    WriteAll(Path("kept.bmp"), "read-only map");
    QFile::setPermissions(Path("kept.bmp"), QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    error = FailureText(SaveMapBmp(map, Path("kept.bmp")));
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->empty());
    EXPECT_EQ(ReadAll(Path("kept.bmp")), QByteArray("read-only map"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 2);
}

struct KeptCase {
    const char* label;
    const char* file;                               // its name in the test's folder
    std::function<void(const QString& file)> make;  // creates the file to check
    KeptMapStatus want;
};

void PrintTo(const KeptCase& c, std::ostream* os) { *os << c.label << " (\"" << c.file << "\")"; }

void SaveOf(const QImage& image, const QString& file) { ASSERT_TRUE(image.save(file, "BMP")); }

class KeptMapCheck : public MapFile, public ::testing::WithParamInterface<KeptCase> {};

TEST_P(KeptMapCheck, GivesTheExpectedVerdict) {
    const KeptCase& c = GetParam();
    const QString file = Path(QString::fromLatin1(c.file));
    c.make(file);
    const KeptMap result = CheckKeptMap(file);
    EXPECT_EQ(result.status, c.want);
    if (c.want == KeptMapStatus::BitmapError) {
        EXPECT_EQ(FailureText(result.error), "Bitmap error");
    } else if (c.want == KeptMapStatus::DecodeError) {
        const QString message = QString::fromStdString(FailureText(result.error).value_or(""));
        EXPECT_TRUE(message.contains(QDir::toNativeSeparators(file))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("600 × 600")));
    } else {
        EXPECT_EQ(result.image, RandomMap());
    }
}

INSTANTIATE_TEST_SUITE_P(
    StartUp, KeptMapCheck,
    ::testing::Values(
        KeptCase{"Good", "good.bmp", [](const QString& f) { SaveOf(RandomMap(), f); }, KeptMapStatus::Ok},
        KeptCase{"ExtensionOnly", ".bmp", [](const QString& f) { SaveOf(RandomMap(), f); }, KeptMapStatus::Ok},
        KeptCase{"Missing", "missing.bmp", [](const QString&) {}, KeptMapStatus::BitmapError},
        KeptCase{"ReadOnly", "readonly.bmp",
                 [](const QString& f) {
                     SaveOf(RandomMap(), f);
                     QFile::setPermissions(f, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
                 },
                 KeptMapStatus::BitmapError},
        KeptCase{"Folder", "folder.bmp", [](const QString& f) { QDir().mkdir(f); }, KeptMapStatus::BitmapError},
        KeptCase{"UpperCaseExtension", "MAP.BMP", [](const QString& f) { SaveOf(RandomMap(), f); },
                 KeptMapStatus::BitmapError},
        KeptCase{"ExtensionAfterBmp", "map.bmp.old", [](const QString& f) { SaveOf(RandomMap(), f); },
                 KeptMapStatus::BitmapError},
        KeptCase{"NotABitmap", "garbage.bmp", [](const QString& f) { WriteAll(f, QByteArray(5000, 'x')); },
                 KeptMapStatus::DecodeError},
        KeptCase{"PercentInName", "100%2.bmp", [](const QString& f) { WriteAll(f, "BM"); }, KeptMapStatus::DecodeError},
        KeptCase{"OneColumnShort", "small.bmp", [](const QString& f) { SaveOf(RandomMap(599, 600), f); },
                 KeptMapStatus::DecodeError}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(MapFile, ATrueColourMapComesBackIndexedWithExactColours) {
    QImage withRed = RandomMap();
    MapSurface surface(&withRed);
    surface.DrawCircles();
    for (const QImage& map : {RandomMap(), withRed}) {
        ASSERT_TRUE(map.convertToFormat(QImage::Format_RGB32).save(Path("rgb.bmp"), "BMP"));
        const KeptMap back = CheckKeptMap(Path("rgb.bmp"));
        ASSERT_EQ(back.status, KeptMapStatus::Ok);
        EXPECT_EQ(back.image.format(), QImage::Format_Indexed8);
        EXPECT_EQ(back.image.colorCount(), map.colorCount());  // red only where drawn
        EXPECT_EQ(back.image, map);
    }
}

}  // namespace
