#include "tools/mapmaker/marks.h"

#include "data/palette.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace korvalen::mapmaker {

namespace {

struct Glyph {
    char letter;
    const char* rows[kGlyphHeight];
};

// Hand-made 5 × 7 capitals, '#' for ink.
constexpr Glyph kFont[] = {
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    // For the donation picture's word.
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
};

constexpr const char* kMarkText = "ORLAK";
constexpr int kCircleToTextGap = 3;
// The C's gap: pixels east of the centre within about 42° of due east.
constexpr double kCOpening = 0.9;

}  // namespace

bool GlyphBit(char letter, int column, int row) {
    if (column < 0 || column >= kGlyphWidth || row < 0 || row >= kGlyphHeight) return false;
    for (const Glyph& glyph : kFont) {
        if (glyph.letter == letter) return glyph.rows[row][column] == '#';
    }
    return false;
}

void DrawRing(IndexedImage& image, double cx, double cy, double inner, double outer, uint8_t ink,
              double eastOpening) {
    const double tangent2 = eastOpening * eastOpening;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const double dx = x - cx, dy = y - cy;
            const double d2 = dx * dx + dy * dy;
            if (d2 < inner * inner || d2 > outer * outer) continue;
            if (eastOpening > 0 && dx > 0 && dy * dy < dx * dx * tangent2) continue;
            image.Set(x, y, ink);
        }
    }
}

int DrawText(IndexedImage& image, int x, int y, const std::string& text, uint8_t ink) {
    for (const char letter : text) {
        for (int row = 0; row < kGlyphHeight * kGlyphScale; ++row) {
            for (int column = 0; column < kGlyphWidth * kGlyphScale; ++column) {
                if (GlyphBit(letter, column / kGlyphScale, row / kGlyphScale) && image.Contains(x + column, y + row)) {
                    image.Set(x + column, y + row, ink);
                }
            }
        }
        x += kGlyphWidth * kGlyphScale + kGlyphGap;
    }
    return x;
}

int MarkWidth(int height) {
    const int letters = static_cast<int>(std::strlen(kMarkText));
    return height + kCircleToTextGap + letters * kGlyphWidth * kGlyphScale + (letters - 1) * kGlyphGap;
}

int DrawMark(IndexedImage& image, int x, int y, int height, uint8_t ink) {
    // The circle fills a height × height box: its centre is that box's
    // middle pixel (or pixel corner), its outer radius reaches the box edge.
    const double r = height / 2.0;
    const double cx = x + (height - 1) / 2.0, cy = y + (height - 1) / 2.0;
    DrawRing(image, cx, cy, r - 2.3, r, ink);

    // The C: a thinner ring of about half the size, open to the east.
    DrawRing(image, cx, cy, r * 0.55 - 2.0, r * 0.55, ink, kCOpening);

    const int textTop = y + (height - kGlyphHeight * kGlyphScale + 1) / 2;
    DrawText(image, x + height + kCircleToTextGap, textTop, kMarkText, ink);
    return MarkWidth(height);
}

IndexedImage MakeTemplate() {
    IndexedImage image(kTemplateSize, kTemplateSize, palette::kBlack);
    // (x − 299)² + (y − 299)² ≤ 299.5², kept in integers: 4d² ≤ 599².
    for (int y = 0; y < kTemplateSize; ++y) {
        for (int x = 0; x < kTemplateSize; ++x) {
            const long dx = x - kDiscCentre, dy = y - kDiscCentre;
            if (4 * (dx * dx + dy * dy) <= 599L * 599L) image.Set(x, y, palette::kWhite);
        }
    }
    DrawMark(image, kTemplateMarkLeft, kTemplateMarkTop, kTemplateMarkHeight, palette::kWhite);
    return image;
}

IndexedImage MakeMarkImage() {
    IndexedImage image(kMarkWidth, kMarkHeight, palette::kWhite);
    const int left = (kMarkWidth - MarkWidth(kMarkHeight)) / 2;
    DrawMark(image, left, 0, kMarkHeight, palette::kBlack);
    return image;
}

IndexedImage MakeDxMarker(bool turned) {
    // Each arrowhead is a triangle along one direction: its tip kTip pixels
    // from the centre, its base kBase pixels out, kHalfBase to either side.
    constexpr double kTip = 4;
    constexpr double kBase = 13;
    constexpr double kHalfBase = 4;
    constexpr int kCrossArm = 2;
    const double r = std::sqrt(0.5);
    const double diagonals[4][2] = {{r, -r}, {r, r}, {-r, r}, {-r, -r}};
    const double axes[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    const auto& directions = turned ? axes : diagonals;
    IndexedImage image(kDxMarkerSize, kDxMarkerSize, palette::kWhite);
    for (int y = 0; y < kDxMarkerSize; ++y) {
        for (int x = 0; x < kDxMarkerSize; ++x) {
            const int dx = x - kDxMarkerCentre;
            const int dy = y - kDxMarkerCentre;
            bool ink = (dy == 0 && std::abs(dx) <= kCrossArm) || (dx == 0 && std::abs(dy) <= kCrossArm);
            for (const auto& d : directions) {
                const double along = dx * d[0] + dy * d[1];
                const double across = std::abs(dx * d[1] - dy * d[0]);
                if (along >= kTip && along <= kBase &&
                    across <= (along - kTip) * kHalfBase / (kBase - kTip) + 0.5)
                    ink = true;
            }
            if (ink) image.Set(x, y, palette::kBlack);
        }
    }
    return image;
}

}  // namespace korvalen::mapmaker
