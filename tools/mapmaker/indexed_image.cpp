#include "tools/mapmaker/indexed_image.h"

#include "data/palette.h"

#include <QImageWriter>

#include <cstring>
#include <stdexcept>
#include <string>

namespace korvalen::mapmaker {

namespace {
constexpr int kDotsPerMetre = 3780;  // 96 dpi
}

QImage ToQImage(const IndexedImage& image) { return ToQImage(image, palette::kColours); }

QImage ToQImage(const IndexedImage& image, const Colours& colours) {
    QImage out(image.width, image.height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (const uint32_t colour : colours) table.append(colour);
    out.setColorTable(table);
    out.setDotsPerMeterX(kDotsPerMetre);
    out.setDotsPerMeterY(kDotsPerMetre);
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(out.scanLine(y), image.pixels.data() + static_cast<size_t>(y) * image.width,
                    static_cast<size_t>(image.width));
    }
    return out;
}

void SaveBmp(const IndexedImage& image, const QString& path) { SaveBmp(image, path, palette::kColours); }

void SaveBmp(const IndexedImage& image, const QString& path, const Colours& colours) {
    for (const uint8_t index : image.pixels) {
        if (index >= 16) throw std::runtime_error("palette index " + std::to_string(index) + " beyond the 16 colours");
    }
    QImageWriter writer(path, "bmp");
    if (!writer.write(ToQImage(image, colours))) {
        throw std::runtime_error("cannot write " + path.toStdString() + ": " + writer.errorString().toStdString());
    }
}

}  // namespace korvalen::mapmaker
