#include "tools/mapmaker/info_pictures.h"

#include "tools/mapmaker/marks.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace korvalen::mapmaker {

namespace c = info_colours;

namespace {

// Distance from (x, y) to the segment (ax, ay)-(bx, by).
double SegmentDistance(double x, double y, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(x - ax - t * dx, y - ay - t * dy);
}

// Whether (x, y) lies in the triangle a, b, c (either winding).
bool InTriangle(double x, double y, const double a[2], const double b[2], const double c3[2]) {
    const auto side = [&](const double p[2], const double q[2]) {
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0]);
    };
    const double s1 = side(a, b), s2 = side(b, c3), s3 = side(c3, a);
    return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
}

// The logo's lettering: the bitmap font's cells joined into strokes of
// round ends (each cell to its ink neighbours, across a corner only where
// the two cells beside it are blank), kLogoScale pixels a cell, leaning
// right by kLogoSlant pixels per row above the baseline.
constexpr int kLogoScale = 6;
constexpr int kLogoGap = 5;
constexpr double kLogoSlant = 0.25;
constexpr double kStrokeRadius = 0.62;  // in cells
constexpr int kLogoShadow = 3;
constexpr const char* kLogoText = "ORLAK";

// Whether the point (u, v), in cells from the glyph's top-left corner, is
// on a stroke of @p letter.
bool OnStroke(char letter, double u, double v) {
    for (int row = 0; row < kGlyphHeight; ++row) {
        for (int column = 0; column < kGlyphWidth; ++column) {
            if (!GlyphBit(letter, column, row)) continue;
            const double cx = column + 0.5, cy = row + 0.5;
            if (std::hypot(u - cx, v - cy) <= kStrokeRadius) return true;
            // Towards the right, below, and the two lower diagonals: each
            // pair once.
            const int steps[4][2] = {{1, 0}, {0, 1}, {1, 1}, {-1, 1}};
            for (const auto& step : steps) {
                const int nc = column + step[0], nr = row + step[1];
                if (!GlyphBit(letter, nc, nr)) continue;
                const bool diagonal = step[0] != 0 && step[1] != 0;
                if (diagonal && (GlyphBit(letter, nc, row) || GlyphBit(letter, column, nr))) continue;
                if (SegmentDistance(u, v, cx, cy, nc + 0.5, nr + 0.5) <= kStrokeRadius) return true;
            }
        }
    }
    return false;
}

void DrawLeaningText(IndexedImage& image, int left, int top, uint8_t ink) {
    const int height = kGlyphHeight * kLogoScale;
    const double pitch = kGlyphWidth * kLogoScale + kLogoGap;
    const int letters = static_cast<int>(std::strlen(kLogoText));
    for (int y = top - kLogoScale; y < top + height + kLogoScale; ++y) {
        // Pixel centres, so that the lean is the same on either side.
        const double v = (y + 0.5 - top) / kLogoScale;
        const double shift = kLogoSlant * (top + height - (y + 0.5));
        for (int x = 0; x < image.width; ++x) {
            const double along = x + 0.5 - left - shift;
            const int letter = static_cast<int>(std::floor(along / pitch));
            if (letter < 0 || letter >= letters) continue;
            const double u = (along - letter * pitch) / kLogoScale;
            if (OnStroke(kLogoText[letter], u, v) && image.Contains(x, y)) image.Set(x, y, ink);
        }
    }
}

}  // namespace

IndexedImage MakeInfoIcon() {
    IndexedImage image(kIconSize, kIconSize, c::kBackground);
    const double centre = (kIconSize - 1) / 2.0;  // 16
    const double rim = kIconSize / 2.0;           // 16.5: the disc fills the square
    // The bearing: 40° east of north, to just inside the rim.
    const double bearing = 40 * std::acos(-1.0) / 180;
    const double tipX = centre + 14 * std::sin(bearing), tipY = centre - 14 * std::cos(bearing);
    const double baseX = centre + 8.5 * std::sin(bearing), baseY = centre - 8.5 * std::cos(bearing);
    const double across[2] = {std::cos(bearing), std::sin(bearing)};
    const double tip[2] = {tipX, tipY};
    const double wingA[2] = {baseX + 3.5 * across[0], baseY + 3.5 * across[1]};
    const double wingB[2] = {baseX - 3.5 * across[0], baseY - 3.5 * across[1]};
    for (int y = 0; y < kIconSize; ++y) {
        for (int x = 0; x < kIconSize; ++x) {
            const double d = std::hypot(x - centre, y - centre);
            if (d > rim) continue;
            uint8_t ink = c::kLightSea;
            if (std::abs(d - 5.5) < 0.5 || std::abs(d - 10.5) < 0.5 || x == kIconSize / 2 || y == kIconSize / 2) ink = c::kSea;
            if (SegmentDistance(x, y, centre, centre, baseX, baseY) <= 0.8 || InTriangle(x, y, tip, wingA, wingB))
                ink = c::kRed;
            if (d >= rim - 1.6) ink = c::kBlack;
            if (std::abs(x - centre) <= 1 && std::abs(y - centre) <= 1) ink = c::kBlack;
            image.Set(x, y, ink);
        }
    }
    return image;
}

IndexedImage MakeLogo() {
    IndexedImage image(kLogoWidth, kLogoHeight, c::kBackground);
    const int letters = static_cast<int>(std::strlen(kLogoText));
    const int textWidth = letters * kGlyphWidth * kLogoScale + (letters - 1) * kLogoGap;
    const int lean = static_cast<int>(std::ceil(kLogoSlant * (kGlyphHeight * kLogoScale - 1)));
    const int left = (kLogoWidth - textWidth - lean - kLogoShadow) / 2;
    const int top = (kLogoHeight - kGlyphHeight * kLogoScale - kLogoShadow) / 2;
    // A solid shadow: the letters pushed down and right a pixel at a time.
    for (int offset = kLogoShadow; offset > 0; --offset)
        DrawLeaningText(image, left + offset, top + offset, c::kDarkGrey);
    DrawLeaningText(image, left, top, c::kGrey);
    return image;
}

IndexedImage MakeDonationPicture() {
    IndexedImage image(kDonationWidth, kDonationHeight, c::kBackground);
    // The card: a rectangle with corners rounded to kRadius, framed in gold.
    constexpr double kRadius = 9;
    constexpr double kFrame = 2.5;
    for (int y = 0; y < kDonationHeight; ++y) {
        for (int x = 0; x < kDonationWidth; ++x) {
            // Distance outside the rectangle shrunk by the radius.
            const double dx = std::max({kRadius - (x + 0.5), (x + 0.5) - (kDonationWidth - kRadius), 0.0});
            const double dy = std::max({kRadius - (y + 0.5), (y + 0.5) - (kDonationHeight - kRadius), 0.0});
            const double d = std::hypot(dx, dy);
            if (d > kRadius) continue;
            const double inside = std::min({x + 0.5, kDonationWidth - x - 0.5, y + 0.5, kDonationHeight - y - 0.5});
            const bool frame = d > kRadius - kFrame || inside < kFrame;
            image.Set(x, y, frame ? c::kGold : c::kCream);
        }
    }

    // The heart: (u² + v² − 1)³ ≤ u² v³, v upwards, scaled into the card's
    // upper part.
    constexpr double kHeartX = 49.5, kHeartY = 40, kHeartScale = 26;
    const auto inHeart = [&](int x, int y) {
        const double u = (x - kHeartX) / kHeartScale;
        const double v = -(y - kHeartY) / kHeartScale + 0.1;
        const double s = u * u + v * v - 1;
        return s * s * s <= u * u * v * v * v;
    };
    for (int y = 0; y < kDonationHeight; ++y) {
        for (int x = 0; x < kDonationWidth; ++x) {
            if (!inHeart(x, y)) continue;
            bool edge = false;
            for (int ny = y - 1; ny <= y + 1; ++ny)
                for (int nx = x - 1; nx <= x + 1; ++nx) edge = edge || !inHeart(nx, ny);
            image.Set(x, y, edge ? c::kDarkRed : c::kRed);
        }
    }
    // A highlight on the left lobe.
    for (int y = 0; y < kDonationHeight; ++y)
        for (int x = 0; x < kDonationWidth; ++x)
            if (std::hypot((x - 35) / 5.0, (y - 27) / 3.2) <= 1) image.Set(x, y, c::kPink);

    const char* const word = "DONATE";
    const int letters = static_cast<int>(std::strlen(word));
    const int wordWidth = letters * kGlyphWidth * kGlyphScale + (letters - 1) * kGlyphGap;
    DrawText(image, (kDonationWidth - wordWidth) / 2, 82, word, c::kNavy);
    return image;
}

}  // namespace korvalen::mapmaker
