// The byte check of a kept map: maps as the program and other programs save
// them pass, and every way of damaging one is refused before a decoder can
// make up the pixels the file lacks.
#include "viewer/bmp_check.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <ostream>
#include <random>
#include <string>

#include "data/palette.h"
#include "viewer/map_file.h"
#include "viewer/map_surface.h"
#include "tests/support/failure_text.h"

using namespace korvalen;
using namespace korvalen::viewer;
using korvalen::testing::FailureText;

namespace {

using Bytes = std::string;

// Where the fields lie in the file (file header, then the info header).
constexpr size_t kOffBits = 10, kInfoSize = 14, kWidth = 18, kHeight = 22, kPlanes = 26, kBitCount = 28,
                 kCompression = 30, kColoursUsed = 46, kInfo = 54;

uint32_t Get(const Bytes& b, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + i]);
    return v;
}

void Put(Bytes& b, size_t at, uint32_t v, int size = 4) {
    char le[4];
    for (int i = 0; i < 4; ++i) le[i] = static_cast<char>(v >> (8 * i));
    b.replace(at, static_cast<size_t>(size), le, static_cast<size_t>(size));
}

QImage RandomMap() {
    QImage image(600, 600, QImage::Format_Indexed8);
    image.setColorTable(QList<QRgb>(std::begin(palette::kColours), std::end(palette::kColours)));
    std::mt19937 rng(45);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x) image.setPixel(x, y, rng() % 16);
    return image;
}

// Seventeen colours: the overlays' red added to the palette.
QImage MapWithRed() {
    QImage map = RandomMap();
    MapSurface(&map).DrawAxes();
    return map;
}

Bytes ReadAll(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : Bytes();
}

void WriteAll(const QString& name, const Bytes& bytes) {
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
}

// A real file as the program saves it.
Bytes SavedBy(const QImage& map) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("map.bmp"));
    EXPECT_EQ(FailureText(SaveMapBmp(map, name)), std::nullopt);
    return ReadAll(name);
}

// A real file as Qt saves any image (24 bits for true colour, 1 for mono).
Bytes SavedByQt(const QImage& image) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("map.bmp"));
    EXPECT_TRUE(image.save(name, "BMP"));
    return ReadAll(name);
}

const Bytes& FourBits() {
    static const Bytes bytes = SavedBy(RandomMap());
    return bytes;
}
const Bytes& EightBits() {
    static const Bytes bytes = SavedBy(MapWithRed());
    return bytes;
}
const Bytes& TwentyFourBits() {
    static const Bytes bytes = SavedByQt(MapWithRed().convertToFormat(QImage::Format_RGB32));
    return bytes;
}

// The 24-bit file's pixels rewritten at 32 bits per pixel after an info
// header of @p infoSize bytes, as other programs save a map: uncompressed,
// or BI_BITFIELDS with the masks after a 40-byte header or inside a V4/V5.
Bytes ThirtyTwoBits(uint32_t infoSize, bool bitfields) {
    const Bytes& from = TwentyFourBits();
    const size_t masks = bitfields && infoSize == 40 ? 12 : 0;
    const size_t offset = 14 + infoSize + masks;
    Bytes out(offset, '\0');
    out.replace(0, kInfo, from, 0, kInfo);
    Put(out, kOffBits, static_cast<uint32_t>(offset));
    Put(out, kInfoSize, infoSize);
    Put(out, kBitCount, 32, 2);
    Put(out, kCompression, bitfields ? 3 : 0);
    if (bitfields) {
        Put(out, kInfo, 0x00FF0000);
        Put(out, kInfo + 4, 0x0000FF00);
        Put(out, kInfo + 8, 0x000000FF);
        if (infoSize >= 108) Put(out, kInfo + 12, 0xFF000000);
    }
    if (infoSize >= 108) Put(out, kInfo + 16, 0x73524742);  // 'sRGB'
    const size_t in = Get(from, kOffBits);
    for (size_t pixel = 0; pixel < 600 * 600; ++pixel) {
        out.append(from, in + pixel / 600 * 1800 + pixel % 600 * 3, 3);
        out += '\xff';  // opaque, where an alpha mask reads it
    }
    Put(out, 2, static_cast<uint32_t>(out.size()));
    return out;
}

// The 8-bit file with its rows stored top-down, as a negative height says.
Bytes TopDown() {
    Bytes out = EightBits();
    const size_t offset = Get(out, kOffBits);
    Put(out, kHeight, static_cast<uint32_t>(-600));
    for (size_t row = 0; row < 600; ++row)
        out.replace(offset + row * 600, 600, EightBits(), offset + (599 - row) * 600, 600);
    return out;
}

// The 4-bit file with a colour table of @p entries (the first entries kept,
// black added), the pixel data moved to follow it.
Bytes FourBitsWithTable(uint32_t entries) {
    const Bytes& from = FourBits();
    Bytes out = from.substr(0, kInfo);
    for (uint32_t i = 0; i < entries; ++i) out += i < 16 ? from.substr(kInfo + 4 * i, 4) : Bytes(4, '\0');
    Put(out, kColoursUsed, entries);
    Put(out, kOffBits, static_cast<uint32_t>(out.size()));
    out += from.substr(Get(from, kOffBits));
    Put(out, 2, static_cast<uint32_t>(out.size()));
    return out;
}

// The smallest damaged RLE map, 62 bytes: the headers, a one-colour table
// and a stream that ends the bitmap at once, setting no pixel at all.
Bytes Rle4HeaderOnly() {
    Bytes out(62, '\0');
    out[0] = 'B';
    out[1] = 'M';
    Put(out, 2, 62);
    Put(out, kOffBits, kInfo + 4);
    Put(out, kInfoSize, 40);
    Put(out, kWidth, 600);
    Put(out, kHeight, 600);
    Put(out, kPlanes, 1, 2);
    Put(out, kBitCount, 4, 2);
    Put(out, kCompression, 2);
    Put(out, kColoursUsed, 1);
    Put(out, kInfo, 0x00FFFFFF);
    Put(out, kInfo + 4, 0x0100, 2);  // escape 0, 1: end of bitmap
    return out;
}

Bytes Cut(const Bytes& bytes, size_t size) { return bytes.substr(0, size); }

Bytes With(Bytes bytes, size_t at, uint32_t value, int size = 4) {
    Put(bytes, at, value, size);
    return bytes;
}

struct BmpCase {
    const char* label;
    std::function<Bytes()> make;
    bool passes;
};

void PrintTo(const BmpCase& c, std::ostream* os) { *os << c.label << (c.passes ? " (passes)" : " (refused)"); }

const BmpCase kBmpCases[] = {
    // As saved: by the program (4 and 8 bits), by Qt, by other programs.
    {"FourBits", [] { return FourBits(); }, true},
    {"EightBits", [] { return EightBits(); }, true},
    {"TwentyFourBits", [] { return TwentyFourBits(); }, true},
    {"ThirtyTwoBits", [] { return ThirtyTwoBits(40, false); }, true},
    {"ThirtyTwoBitsV4Header", [] { return ThirtyTwoBits(108, false); }, true},
    {"BitfieldsAfterTheHeader", [] { return ThirtyTwoBits(40, true); }, true},
    {"BitfieldsInV5Header", [] { return ThirtyTwoBits(124, true); }, true},
    {"OneBit", [] { return SavedByQt(RandomMap().convertToFormat(QImage::Format_Mono)); }, true},
    {"TopDown", TopDown, true},
    {"SizeFieldZero", [] { return With(EightBits(), 2, 0); }, true},
    {"SixteenColoursGivenAsNone", [] { return With(FourBits(), kColoursUsed, 0); }, true},
    // Cut short.
    {"Empty", [] { return Bytes(); }, false},
    {"CutInTheFileHeader", [] { return Cut(EightBits(), 10); }, false},
    {"CutInTheInfoHeader", [] { return Cut(EightBits(), 30); }, false},
    {"CutInTheV5Header", [] { return Cut(ThirtyTwoBits(124, true), 100); }, false},
    {"CutInTheMasks", [] { return Cut(ThirtyTwoBits(40, true), 60); }, false},
    {"CutInTheColourTable", [] { return Cut(EightBits(), kInfo + 20); }, false},
    {"CutAfterTheColourTable", [] { return Cut(EightBits(), Get(EightBits(), kOffBits)); }, false},
    {"CutHalfWay", [] { return Cut(FourBits(), FourBits().size() / 2); }, false},
    {"OneByteShort", [] { return Cut(EightBits(), EightBits().size() - 1); }, false},
    {"OneRowShort", [] { return Cut(TwentyFourBits(), TwentyFourBits().size() - 1800); }, false},
    // Pixel data not where the file has it.
    {"OffsetPastTheEnd", [] { return With(EightBits(), kOffBits, static_cast<uint32_t>(EightBits().size())); }, false},
    {"OffsetOneRowOn", [] { return With(EightBits(), kOffBits, Get(EightBits(), kOffBits) + 600); }, false},
    {"OffsetHuge", [] { return With(EightBits(), kOffBits, 0xFFFFFFFF); }, false},
    {"OffsetInsideTheColourTable", [] { return With(EightBits(), kOffBits, kInfo + 8); }, false},
    // Headers of other kinds or out of bounds.
    {"NotBM", [] { return With(EightBits(), 0, 'B' | 'A' << 8, 2); }, false},
    {"Os2Header", [] { return With(EightBits(), kInfoSize, 12); }, false},
    {"HeaderOf52Bytes", [] { return With(EightBits(), kInfoSize, 52); }, false},
    {"HeaderOfZeroBytes", [] { return With(EightBits(), kInfoSize, 0); }, false},
    {"Width599", [] { return With(EightBits(), kWidth, 599); }, false},
    {"WidthMinus600", [] { return With(EightBits(), kWidth, static_cast<uint32_t>(-600)); }, false},
    {"Height599", [] { return With(EightBits(), kHeight, 599); }, false},
    {"HeightMinus601", [] { return With(EightBits(), kHeight, static_cast<uint32_t>(-601)); }, false},
    {"HeightMostNegative", [] { return With(EightBits(), kHeight, 0x80000000); }, false},
    {"NoPlane", [] { return With(EightBits(), kPlanes, 0, 2); }, false},
    {"TwoPlanes", [] { return With(EightBits(), kPlanes, 2, 2); }, false},
    // Bit counts outside 1/4/8/24/32, each on a file long enough for it.
    {"ZeroBits", [] { return With(EightBits(), kBitCount, 0, 2); }, false},
    {"TwoBits", [] { return With(With(FourBits(), kBitCount, 2, 2), kColoursUsed, 4); }, false},
    {"SixteenBits", [] { return With(TwentyFourBits(), kBitCount, 16, 2); }, false},
    {"FortyEightBits", [] { return With(ThirtyTwoBits(40, false), kBitCount, 48, 2); }, false},
    // Compression.
    {"Rle8", [] { return With(EightBits(), kCompression, 1); }, false},
    {"Rle4", [] { return With(FourBits(), kCompression, 2); }, false},
    {"Rle4HeaderOnly", Rle4HeaderOnly, false},
    {"BitfieldsOnEightBits", [] { return With(EightBits(), kCompression, 3); }, false},
    {"BitfieldsOnTwentyFourBits", [] { return With(TwentyFourBits(), kCompression, 3); }, false},
    {"Jpeg", [] { return With(TwentyFourBits(), kCompression, 4); }, false},
    {"Png", [] { return With(TwentyFourBits(), kCompression, 5); }, false},
    {"MasksOverlapping", [] { return With(ThirtyTwoBits(40, true), kInfo + 4, 0x0001FE00); }, false},
    {"RedMaskEmpty", [] { return With(ThirtyTwoBits(40, true), kInfo, 0); }, false},
    {"RedMaskNineBits", [] { return With(ThirtyTwoBits(40, true), kInfo, 0x01FF0000); }, false},
    {"RedMaskInTwoRuns", [] { return With(ThirtyTwoBits(40, true), kInfo, 0x0F0F0000); }, false},
    {"AlphaMaskOverlapping", [] { return With(ThirtyTwoBits(124, true), kInfo + 12, 0x000000FF); }, false},
    {"V5ReservedSet", [] { return With(ThirtyTwoBits(124, true), kInfoSize + 120, 1); }, false},
    // The colour table.
    {"SeventeenColoursInFourBits", [] { return FourBitsWithTable(17); }, false},
    {"TableOverlapsThePixels", [] { return With(EightBits(), kColoursUsed, 18); }, false},
    {"TableLargerThanTheFile", [] { return With(TwentyFourBits(), kColoursUsed, 0x40000000); }, false},
    // Pixels naming a colour the table lacks.
    {"FifteenColoursForSixteen", [] { return FourBitsWithTable(15); }, false},
    {"IndexBeyondTheTable", [] { return With(EightBits(), Get(EightBits(), kOffBits) + 1234, 17, 1); }, false},
    {"LastIndexBeyondTheTable", [] { return With(EightBits(), EightBits().size() - 1, 255, 1); }, false},
    {"OneBitWithOneColour", [] {
         return With(SavedByQt(RandomMap().convertToFormat(QImage::Format_Mono)), kColoursUsed, 1);
     }, false},
};

class BmpCheck : public ::testing::TestWithParam<BmpCase> {};

TEST_P(BmpCheck, PassesWholeMapsOnly) {
    const BmpCase& c = GetParam();
    const Bytes bytes = c.make();
    const std::optional<std::string> reason = FailureText(CheckBmpBytes(bytes, 600, 600));
    if (c.passes) {
        EXPECT_EQ(reason, std::nullopt);
        // What passes, Qt decodes to a whole map.
        QByteArray data = QByteArray::fromStdString(bytes);
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        const QImage image = QImageReader(&buffer, "BMP").read();
        EXPECT_EQ(image.size(), QSize(600, 600));
    } else {
        ASSERT_TRUE(reason);
        EXPECT_FALSE(reason->empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Files, BmpCheck, ::testing::ValuesIn(kBmpCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(BmpCheck, EveryPrefixOfAMapIsRefused) {
    for (const Bytes& whole : {FourBits(), ThirtyTwoBits(124, true)}) {
        // Copies where the headers end, so that a read past the cut is a
        // read past the buffer; further on, views of the whole file.
        for (size_t size = 0; size < 400; ++size)
            ASSERT_TRUE(FailureText(CheckBmpBytes(Cut(whole, size), 600, 600))) << size;
        for (size_t size = 400; size < whole.size(); size += 7919)
            ASSERT_TRUE(FailureText(CheckBmpBytes(std::string_view(whole).substr(0, size), 600, 600))) << size;
    }
}

TEST(BmpCheck, AChangedHeaderByteIsRefusedOrDecodesWhole) {
    // Whatever passes must be what the decoder reads in full.
    std::mt19937 rng(46);
    for (const Bytes& good : {EightBits(), ThirtyTwoBits(124, true)}) {
        for (int round = 0; round < 300; ++round) {
            Bytes bytes = good;
            bytes[rng() % 140] = static_cast<char>(rng());
            if (FailureText(CheckBmpBytes(bytes, 600, 600))) continue;
            QByteArray data = QByteArray::fromStdString(bytes);
            QBuffer buffer(&data);
            buffer.open(QIODevice::ReadOnly);
            ASSERT_EQ(QImageReader(&buffer, "BMP").read().size(), QSize(600, 600)) << round;
        }
    }
}

// ---- Through the start-up check: a damaged kept map is not shown.

struct KeptBmpCase {
    const char* label;
    std::function<Bytes()> make;
    KeptMapStatus want;
};

void PrintTo(const KeptBmpCase& c, std::ostream* os) { *os << c.label; }

const char* StatusName(KeptMapStatus status) {
    switch (status) {
        case KeptMapStatus::Ok: return "Ok";
        case KeptMapStatus::BitmapError: return "BitmapError";
        case KeptMapStatus::DecodeError: return "DecodeError";
    }
    return "?";
}

class KeptBmp : public ::testing::TestWithParam<KeptBmpCase> {};

TEST_P(KeptBmp, IsShownOnlyWhenWhole) {
    const KeptBmpCase& c = GetParam();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("kept.bmp"));
    WriteAll(file, c.make());
    const KeptMap kept = CheckKeptMap(file);
    EXPECT_STREQ(StatusName(kept.status), StatusName(c.want));
    if (c.want == KeptMapStatus::DecodeError) {
        EXPECT_EQ(FailureText(kept.error).value_or(""),
                  QStringLiteral("The kept map \"%1\" cannot be read as a 600 × 600 bitmap.")
                      .arg(QDir::toNativeSeparators(file))
                      .toStdString());
        EXPECT_TRUE(kept.image.isNull());
    } else {
        EXPECT_EQ(kept.image, MapWithRed());
    }
}

INSTANTIATE_TEST_SUITE_P(
    StartUp, KeptBmp,
    ::testing::Values(
        KeptBmpCase{"HalfASavedMap", [] { return Cut(EightBits(), EightBits().size() / 2); },
                    KeptMapStatus::DecodeError},
        KeptBmpCase{"OffsetPastTheEnd",
                    [] { return With(EightBits(), kOffBits, static_cast<uint32_t>(EightBits().size())); },
                    KeptMapStatus::DecodeError},
        KeptBmpCase{"Rle4HeaderOnly", Rle4HeaderOnly, KeptMapStatus::DecodeError},
        KeptBmpCase{"IndexBeyondTheTable",
                    [] { return With(EightBits(), Get(EightBits(), kOffBits) + 1234, 17, 1); },
                    KeptMapStatus::DecodeError},
        KeptBmpCase{"FarTooLarge", [] { return EightBits() + Bytes(16 * 1024 * 1024, '\0'); },
                    KeptMapStatus::DecodeError},
        KeptBmpCase{"TopDown", TopDown, KeptMapStatus::Ok},
        KeptBmpCase{"BitfieldsInV5Header", [] { return ThirtyTwoBits(124, true); }, KeptMapStatus::Ok},
        KeptBmpCase{"ThirtyTwoBits", [] { return ThirtyTwoBits(40, false); }, KeptMapStatus::Ok}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
