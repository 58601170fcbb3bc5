// Writes the seed maps of fuzz/corpus/kept_map/ and fuzz/corpus/bmp_check/.
//
// For the kept map: the map of JN18EU saved by the program's own SaveMapBmp,
// in 4 bits and (with the red overlays, so 17 colours) in 8 bits, and small
// variants of them. A 600 × 600 map saved uncompressed is 180 or 360 KB, and
// mutating pixel data teaches the fuzzer little, so only the 4-bit map is
// kept whole; the others are cut short or run-length encoded and cut, which
// the check refuses. A 1-bit map is whole too (46 KB): it is the smallest
// way to a map decoded with other than 8 bits, which must be brought back to
// the palette.
//
// For the BMP check: a 9 × 5 cut of the map in every layout the check
// accepts (1, 4, 8, 24 and 32 bits, bit fields, the V4 and V5 headers,
// top-down rows, rows padded), and some it must refuse.
//
//   cmake --build build-fuzz --target fuzz_map_seeds
//   build-fuzz/fuzz/make_map_seeds fuzz/corpus

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QList>
#include <QRect>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/resources.h"
#include "generator/map_generation.h"
#include "geo/geo.h"
#include "viewer/map_file.h"
#include "viewer/map_surface.h"

using namespace korvalen;

namespace {

// The fixed offsets of a BMP's file header and BITMAPINFOHEADER.
constexpr int kFileSize = 2, kDataOffset = 10, kInfoSize = 14, kWidth = 18, kHeight = 22, kBits = 28,
              kCompression = 30, kImageSize = 34, kInfoEnd = 54;
constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;
constexpr int kInfoHeader = 40, kV4Header = 108, kV5Header = 124;

uint32_t Get(const QByteArray& b, int at, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + i]);
    return v;
}

void Put(QByteArray& b, int at, int size, uint32_t v) {
    for (int i = 0; i < size; ++i) b[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
}

void Append(QByteArray& b, int size, uint32_t v) {
    b.append(QByteArray(size, '\0'));
    Put(b, static_cast<int>(b.size()) - size, size, v);
}

struct Layout {
    int bits = 8;
    int infoSize = kInfoHeader;
    uint32_t compression = kRgb;
    bool topDown = false;
    int colours = 0;  ///< table entries written; for up to 8 bits 0 means all
};

// @p map (Format_Indexed8) as a complete BMP file in @p layout, written here
// byte by byte rather than by Qt so that every layout can be had.
QByteArray Bmp(const QImage& map, const Layout& layout) {
    const int w = map.width(), h = map.height(), bits = layout.bits;
    const bool masksAfterHeader = layout.compression == kBitfields && layout.infoSize == kInfoHeader;
    int tableEntries = layout.colours;
    if (bits <= 8 && tableEntries == 0) tableEntries = 1 << bits;

    QByteArray b("BM");
    Append(b, 4, 0);  // file size, below
    Append(b, 4, 0);
    Append(b, 4, 0);  // pixel data offset, below
    Append(b, 4, static_cast<uint32_t>(layout.infoSize));
    Append(b, 4, static_cast<uint32_t>(w));
    Append(b, 4, static_cast<uint32_t>(layout.topDown ? -h : h));
    Append(b, 2, 1);
    Append(b, 2, static_cast<uint32_t>(bits));
    Append(b, 4, layout.compression);
    Append(b, 4, 0);  // image size, below
    Append(b, 4, 3780);
    Append(b, 4, 3780);
    Append(b, 4, static_cast<uint32_t>(layout.colours));
    Append(b, 4, 0);
    const bool alpha = layout.infoSize >= kV4Header && bits == 32;
    if (layout.infoSize >= kV4Header || masksAfterHeader) {
        Append(b, 4, 0x00FF0000);
        Append(b, 4, 0x0000FF00);
        Append(b, 4, 0x000000FF);
    }
    if (layout.infoSize >= kV4Header) {
        Append(b, 4, alpha ? 0xFF000000 : 0);
        Append(b, 4, 0x73524742);  // 'sRGB'
        b.append(QByteArray(36 + 12, '\0'));  // end points, gamma
    }
    if (layout.infoSize == kV5Header) b.append(QByteArray(16, '\0'));  // intent, profile, reserved

    for (int i = 0; i < tableEntries; ++i) {
        const QRgb c = bits == 1 ? (i ? 0xFFFFFFFF : 0xFF000000) : map.color(i % map.colorCount());
        Append(b, 4, c & 0xFFFFFF);
    }
    Put(b, kDataOffset, 4, static_cast<uint32_t>(b.size()));

    const int dataStart = static_cast<int>(b.size());
    for (int row = 0; row < h; ++row) {
        const int y = layout.topDown ? row : h - 1 - row;
        QByteArray line;
        if (bits <= 8) {
            line = QByteArray((w * bits + 7) / 8, '\0');
            for (int x = 0; x < w; ++x) {
                const int index = map.pixelIndex(x, y) & ((1 << bits) - 1);
                const int bit = x * bits;
                line[bit / 8] = static_cast<char>(static_cast<uint8_t>(line[bit / 8]) | index << (8 - bits - bit % 8));
            }
        } else {
            for (int x = 0; x < w; ++x) {
                const QRgb c = map.color(map.pixelIndex(x, y));
                line.append(static_cast<char>(qBlue(c))).append(static_cast<char>(qGreen(c))).append(static_cast<char>(qRed(c)));
                if (bits == 32) line.append(alpha ? '\xFF' : '\0');
            }
        }
        while (line.size() % 4) line.append('\0');
        b.append(line);
    }
    Put(b, kFileSize, 4, static_cast<uint32_t>(b.size()));
    Put(b, kImageSize, 4, static_cast<uint32_t>(b.size() - dataStart));
    return b;
}

// The pixel indices of an uncompressed 4- or 8-bit BMP, rows as stored.
QList<QByteArray> StoredRows(const QByteArray& bmp) {
    const int bits = static_cast<int>(Get(bmp, kBits, 2)), width = static_cast<int>(Get(bmp, kWidth, 4));
    const int height = static_cast<int>(Get(bmp, kHeight, 4)), rowBytes = (width * bits + 31) / 32 * 4;
    const int data = static_cast<int>(Get(bmp, kDataOffset, 4));
    QList<QByteArray> rows;
    for (int y = 0; y < height; ++y) {
        QByteArray row(width, '\0');
        for (int x = 0; x < width; ++x) {
            const auto byte = static_cast<uint8_t>(bmp[data + y * rowBytes + x * bits / 8]);
            row[x] = static_cast<char>(bits == 8 ? byte : (x % 2 ? byte & 0x0F : byte >> 4));
        }
        rows.append(row);
    }
    return rows;
}

// The same file run-length encoded (runs only, no absolute mode: every
// decoder takes that).
QByteArray RunLengthEncoded(const QByteArray& bmp) {
    const int bits = static_cast<int>(Get(bmp, kBits, 2));
    QByteArray out = bmp.left(static_cast<int>(Get(bmp, kDataOffset, 4)));
    Put(out, kCompression, 4, bits == 8 ? kRle8 : kRle4);
    for (const QByteArray& row : StoredRows(bmp)) {
        for (int x = 0; x < row.size();) {
            int run = 1;
            while (x + run < row.size() && run < 255 && row[x + run] == row[x]) ++run;
            const auto index = static_cast<uint8_t>(row[x]);
            out.append(static_cast<char>(run));
            out.append(static_cast<char>(bits == 8 ? index : (index << 4 | index)));
            x += run;
        }
        out.append(2, '\0');  // end of line
    }
    out.append('\0');
    out.append('\1');  // end of bitmap
    Put(out, kFileSize, 4, static_cast<uint32_t>(out.size()));
    Put(out, kImageSize, 4, static_cast<uint32_t>(out.size()) - Get(out, kDataOffset, 4));
    return out;
}

QByteArray Saved(const QImage& map, const QString& fileName) {
    if (const Expected<void> saved = viewer::SaveMapBmp(map, fileName); !saved) {
        std::fprintf(stderr, "make_map_seeds: %s\n", saved.error().text.c_str());
        std::exit(1);
    }
    QFile file(fileName);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// A file cut short after its colour table and @p pixelBytes of pixels.
QByteArray Cut(const QByteArray& bmp, int pixelBytes) {
    return bmp.left(static_cast<int>(Get(bmp, kDataOffset, 4)) + pixelBytes);
}

// The @p w × @p h window of @p map holding the most distinct colours.
QRect MostColourful(const QImage& map, int w, int h) {
    QRect best(0, 0, w, h);
    int bestCount = 0;
    for (int top = 0; top + h <= map.height(); top += h) {
        for (int left = 0; left + w <= map.width(); left += w) {
            bool seen[256] = {};
            int count = 0;
            for (int y = top; y < top + h; ++y)
                for (int x = left; x < left + w; ++x)
                    if (!seen[map.pixelIndex(x, y)]) {
                        seen[map.pixelIndex(x, y)] = true;
                        ++count;
                    }
            if (count > bestCount) {
                bestCount = count;
                best = QRect(left, top, w, h);
            }
        }
    }
    return best;
}

bool Write(const QDir& folder, const char* name, const QByteArray& bytes) {
    QFile file(folder.filePath(QString::fromLatin1(name)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "make_map_seeds: cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    std::printf("%8lld  %s/%s\n", static_cast<long long>(bytes.size()), qPrintable(folder.dirName()), name);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_map_seeds CORPUS_FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir corpus(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir work;
    if (!corpus.mkpath(QStringLiteral("kept_map")) || !corpus.mkpath(QStringLiteral("bmp_check")) || !work.isValid()) {
        std::fprintf(stderr, "make_map_seeds: cannot use %s\n", argv[1]);
        return 1;
    }
    const QDir kept(corpus.filePath(QStringLiteral("kept_map")));
    const QDir check(corpus.filePath(QStringLiteral("bmp_check")));

    // The map as the generator makes it and the viewer saves it.
    data::InitResources();
    const QImage world(QString::fromLatin1(data::kWorldMapPath));
    const QImage templ(QString::fromLatin1(data::kTemplatePath));
    const geo::LatLong centre = *geo::LocatorToLatLong("JN18EU");
    geo::Real latitude = centre.latitude;
    QImage map;
    generator::AzimuthalProjector projector;
    generator::GenerateMapImage(projector, world, templ, map, latitude, centre.longitude);
    viewer::MapSurface surface(&map);
    surface.DrawCentreLabel(QString::fromStdString(geo::LatLongToText(centre.latitude, centre.longitude)));
    const QByteArray four = Saved(map, work.filePath(QStringLiteral("four.bmp")));

    // With the overlays the red makes a 17th colour, and the save 8 bits.
    QImage overlaid = map;
    viewer::MapSurface overlays(&overlaid);
    overlays.SelectOverlayPen();
    overlays.DrawAxes();
    overlays.DrawCircles();
    const QByteArray eight = Saved(overlaid, work.filePath(QStringLiteral("eight.bmp")));

    QByteArray topDown = Cut(four, 4 * 300);
    Put(topDown, kHeight, 4, static_cast<uint32_t>(-geo::MapSize));

    bool ok = Write(kept, "jn18eu-4bit.bmp", four);
    ok = Write(kept, "jn18eu-1bit.bmp", Bmp(map, Layout{1})) && ok;
    ok = Write(kept, "jn18eu-4bit-cut.bmp", Cut(four, 3000)) && ok;
    ok = Write(kept, "jn18eu-4bit-top-down-cut.bmp", topDown) && ok;
    ok = Write(kept, "jn18eu-4bit-rle4-cut.bmp", Cut(RunLengthEncoded(four), 4000)) && ok;
    ok = Write(kept, "jn18eu-4bit-header-only.bmp", four.left(kInfoEnd)) && ok;
    ok = Write(kept, "jn18eu-overlays-8bit-cut.bmp", Cut(eight, 3000)) && ok;
    ok = Write(kept, "jn18eu-overlays-8bit-rle8-cut.bmp", Cut(RunLengthEncoded(eight), 4000)) && ok;

    // The 9 × 5 window of the map with the most colours (the overlays'
    // red among them); 9 wide so that rows of 1, 4 and 24 bits need padding.
    const QRect window = MostColourful(overlaid, 9, 5);
    const QImage cut = overlaid.copy(window);
    const QByteArray small = Saved(map.copy(window), work.filePath(QStringLiteral("small.bmp")));
    const QByteArray smallRed = Saved(cut, work.filePath(QStringLiteral("small-red.bmp")));
    QByteArray outside = Bmp(cut, Layout{8, kInfoHeader, kRgb, false, 4});
    QByteArray overlapping = Bmp(cut, Layout{32, kInfoHeader, kBitfields});
    Put(overlapping, kInfoEnd + 4, 4, 0x0001FE00);  // green one bit into red
    QByteArray core = Bmp(cut, Layout{24});
    Put(core, kInfoSize, 4, 12);

    ok = Write(check, "saved-4bit.bmp", small) && ok;
    ok = Write(check, "saved-8bit.bmp", smallRed) && ok;
    ok = Write(check, "1bit.bmp", Bmp(cut, Layout{1})) && ok;
    ok = Write(check, "4bit-top-down.bmp", Bmp(cut, Layout{4, kInfoHeader, kRgb, true})) && ok;
    ok = Write(check, "8bit-v4-header.bmp", Bmp(cut, Layout{8, kV4Header, kRgb, false, 17})) && ok;
    ok = Write(check, "24bit.bmp", Bmp(cut, Layout{24})) && ok;
    ok = Write(check, "32bit.bmp", Bmp(cut, Layout{32})) && ok;
    ok = Write(check, "32bit-bitfields.bmp", Bmp(cut, Layout{32, kInfoHeader, kBitfields})) && ok;
    ok = Write(check, "32bit-v5-alpha.bmp", Bmp(cut, Layout{32, kV5Header, kBitfields, true})) && ok;
    ok = Write(check, "refused-index-outside-table.bmp", outside) && ok;
    ok = Write(check, "refused-overlapping-masks.bmp", overlapping) && ok;
    ok = Write(check, "refused-core-header.bmp", core) && ok;
    ok = Write(check, "refused-rle8.bmp", RunLengthEncoded(smallRed)) && ok;
    ok = Write(check, "refused-cut.bmp", small.left(small.size() - 3)) && ok;
    return ok ? 0 : 1;
}
