#pragma once
// A palette-index raster and its 4-bit BMP form.
#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

namespace korvalen::mapmaker {

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  ///< row by row, one palette index each

    IndexedImage() = default;
    IndexedImage(int w, int h, uint8_t fill) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}

    uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    void Set(int x, int y, uint8_t index) { pixels[static_cast<size_t>(y) * width + x] = index; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

/// A colour table of 16 entries, 0xAARRGGBB.
using Colours = uint32_t[16];

/// Indexed8 image whose colour table is exactly the 16 colours of
/// data/palette.h (or @p colours), with a fixed resolution (96 dpi) so that
/// saving does not depend on the screen of whoever runs the tool.
QImage ToQImage(const IndexedImage& image);
QImage ToQImage(const IndexedImage& image, const Colours& colours);

/// Saves as BMP. Qt writes an Indexed8 image of at most 16 colours as a
/// 4-bit BMP, which is the form the program's older readers expect. The
/// colours are those of data/palette.h unless @p colours are given.
/// @throws std::runtime_error when the file cannot be written.
void SaveBmp(const IndexedImage& image, const QString& path);
void SaveBmp(const IndexedImage& image, const QString& path, const Colours& colours);

}  // namespace korvalen::mapmaker
