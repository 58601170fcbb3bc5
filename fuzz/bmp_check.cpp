// The BMP check on bytes alone, and the promise it makes: a file it accepts
// decodes to an image of exactly the size asked, every pixel of it read
// from the file. The decoder is given the same bytes twice, into an image
// cleared to zeros and into one set to ones; a pixel it did not read from
// the file keeps what it found and so differs between the two. For up to
// 8 bits, no pixel names a colour outside the decoded table.
//
// Each input is checked at the map's size, as the program does, and at the
// size its own header states, so that small files get through to the
// colour table and the pixels.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "geo/geo.h"
#include "viewer/bmp_check.h"

using namespace korvalen;

namespace {

// Decodes @p bytes into @p image, which the decoder reuses when it already
// has the size and format of the file's image.
bool DecodeInto(const QByteArray& bytes, QImage& image) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "BMP");
    reader.setDecideFormatFromContent(false);
    return reader.read(&image);
}

QImage Prefilled(const QByteArray& bytes, bool ones) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "BMP");
    reader.setDecideFormatFromContent(false);
    QImage image(reader.size(), reader.imageFormat());
    if (image.isNull()) return image;
    // fill() takes a pixel value: for the indexed formats an index, which is
    // all that is compared there.
    if (image.depth() == 1) image.fill(ones ? 1u : 0u);
    else if (image.depth() == 8) image.fill(ones ? 0xFFu : 0u);
    else image.fill(ones ? 0xFFFFFFFFu : 0u);
    return image;
}

bool SamePixels(const QImage& a, const QImage& b) {
    const bool indexed = a.depth() <= 8;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (indexed ? a.pixelIndex(x, y) != b.pixelIndex(x, y) : a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

void CheckAt(const QByteArray& bytes, int width, int height) {
    const std::string_view view(bytes.constData(), static_cast<size_t>(bytes.size()));
    const Expected<void> accepted = viewer::CheckBmpBytes(view, width, height);
    if (!accepted) {
        KORVALEN_FUZZ_CHECK(!accepted.error().text.empty(), "a refusal says why");
        return;
    }
    QImage zeros = Prefilled(bytes, false);
    QImage ones = Prefilled(bytes, true);
    KORVALEN_FUZZ_CHECK(DecodeInto(bytes, zeros) && DecodeInto(bytes, ones), "an accepted file decodes");
    KORVALEN_FUZZ_CHECK(zeros.width() == width && zeros.height() == height, "an accepted file has the size asked");
    KORVALEN_FUZZ_CHECK(zeros.format() == ones.format(), "the decoding does not depend on the image given");
    KORVALEN_FUZZ_CHECK(SamePixels(zeros, ones), "every pixel of an accepted file is read from it");
    if (zeros.depth() <= 8) {
        const int colours = zeros.colorCount();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                KORVALEN_FUZZ_CHECK(zeros.pixelIndex(x, y) < colours, "every pixel's colour is in the table");
    }
}

int32_t Le32(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The decoder warns about odd colour tables at a rate that would slow
    // the run and bury a real report.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg) std::fprintf(stderr, "bmp_check: %s\n", qPrintable(message));
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckAt(bytes, geo::MapSize, geo::MapSize);
    if (size < 26) return 0;
    const int32_t width = Le32(data + 18);
    const int32_t height = Le32(data + 22);
    // The check takes a positive height; a negative one in the file means
    // rows stored top-down.
    if (height == INT32_MIN || (width == geo::MapSize && (height == geo::MapSize || height == -geo::MapSize)))
        return 0;
    CheckAt(bytes, width, height < 0 ? -height : height);
    return 0;
}
