#include "tools/mapmaker/marks.h"

#include "data/palette.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace korvalen::mapmaker;
namespace palette = korvalen::palette;

namespace {

bool InDisc(int x, int y) {
    const long dx = x - 299, dy = y - 299;
    return 4 * (dx * dx + dy * dy) <= 599L * 599L;
}

bool InMarkBox(int x, int y) { return x >= 493 && x <= 576 && y >= 555 && y <= 575; }

TEST(MarkFont, CellsOfTheMarkLetters) {
    struct Case { char letter; int column, row; bool ink; } cases[] = {
        {'O', 0, 0, false}, {'O', 1, 0, true}, {'O', 2, 3, false}, {'O', 4, 3, true},
        {'R', 0, 0, true}, {'R', 4, 0, false}, {'R', 4, 6, true},
        {'L', 0, 3, true}, {'L', 4, 6, true}, {'L', 4, 5, false},
        {'A', 2, 3, true}, {'A', 2, 4, false}, {'A', 0, 0, false},
        {'K', 4, 0, true}, {'K', 1, 3, true}, {'K', 2, 3, false},
        {'O', 5, 0, false}, {'O', -1, 1, false}, {'O', 1, 7, false},
        {'X', 1, 1, false},
    };
    for (const Case& c : cases) EXPECT_EQ(GlyphBit(c.letter, c.column, c.row), c.ink) << c.letter << c.column << c.row;
}

TEST(DrawRing, PixelCentresWithinTheRadii) {
    IndexedImage disc(5, 5, 0);
    DrawRing(disc, 2, 2, 0, 1, 7);
    int count = 0;
    for (uint8_t p : disc.pixels) count += p == 7;
    EXPECT_EQ(count, 5);  // the centre and its four neighbours
    EXPECT_EQ(disc.At(1, 1), 0);

    IndexedImage ring(9, 9, 0);
    DrawRing(ring, 4, 4, 2.5, 3, 7);
    EXPECT_EQ(ring.At(4, 4), 0);
    EXPECT_EQ(ring.At(7, 4), 7);
    EXPECT_EQ(ring.At(4, 1), 7);
    EXPECT_EQ(ring.At(8, 4), 0);

    IndexedImage open(9, 9, 0);
    DrawRing(open, 4, 4, 2.5, 3, 7, 0.9);
    EXPECT_EQ(open.At(7, 4), 0);  // due east stays open
    EXPECT_EQ(open.At(1, 4), 7);  // west is drawn
    EXPECT_EQ(open.At(4, 7), 7);
}

TEST(TemplateImage, DiscExtentAndColours) {
    const IndexedImage t = MakeTemplate();
    ASSERT_EQ(t.width, 600);
    ASSERT_EQ(t.height, 600);
    struct Case { int x, y; uint8_t index; } cases[] = {
        {0, 299, palette::kWhite}, {598, 299, palette::kWhite}, {299, 0, palette::kWhite},
        {299, 598, palette::kWhite}, {299, 299, palette::kWhite},
        {599, 299, palette::kBlack}, {299, 599, palette::kBlack}, {599, 599, palette::kBlack},
        {0, 0, palette::kBlack}, {598, 0, palette::kBlack},
        {0, 281, palette::kBlack}, {0, 282, palette::kWhite}, {0, 316, palette::kWhite}, {0, 317, palette::kBlack},
    };
    for (const Case& c : cases) EXPECT_EQ(t.At(c.x, c.y), c.index) << c.x << "," << c.y;
    for (int x = 0; x < 600; ++x) {
        EXPECT_EQ(t.At(x, 599), palette::kBlack);
        EXPECT_EQ(t.At(599, x), palette::kBlack);
    }
}

TEST(TemplateImage, MarkIsWhiteOnBlackInItsCornerOnly) {
    const IndexedImage t = MakeTemplate();
    int markPixels = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 600; ++x) {
            const uint8_t p = t.At(x, y);
            ASSERT_TRUE(p == palette::kBlack || p == palette::kWhite) << x << "," << y;
            if (InDisc(x, y)) {
                EXPECT_EQ(p, palette::kWhite) << x << "," << y;
            } else if (p == palette::kWhite) {
                EXPECT_TRUE(InMarkBox(x, y)) << "stray mark pixel " << x << "," << y;
                ++markPixels;
            }
        }
    }
    EXPECT_GT(markPixels, 150);
    // The whole box lies outside the disc.
    EXPECT_FALSE(InDisc(493, 555));
}

TEST(MarkImage, BlackOnWhiteFillingItsImage) {
    const IndexedImage m = MakeMarkImage();
    ASSERT_EQ(m.width, kMarkWidth);
    ASSERT_EQ(m.height, kMarkHeight);
    int left = m.width, right = -1, top = m.height, bottom = -1;
    for (int y = 0; y < m.height; ++y) {
        for (int x = 0; x < m.width; ++x) {
            const uint8_t p = m.At(x, y);
            ASSERT_TRUE(p == palette::kBlack || p == palette::kWhite);
            if (p != palette::kBlack) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    EXPECT_LE(left, 2);
    EXPECT_GE(right, 77);
    EXPECT_EQ(top, 0);
    EXPECT_EQ(bottom, 16);
}

TEST(MarkImage, LettersMatchTheTemplateMark) {
    // Same font, same scale: the letters of both marks are the same pixels,
    // inverted.
    const IndexedImage t = MakeTemplate();
    const IndexedImage m = MakeMarkImage();
    const int textWidth = 5 * kGlyphWidth * kGlyphScale + 4 * kGlyphGap;
    const int textHeight = kGlyphHeight * kGlyphScale;
    const int tx = kTemplateMarkLeft + kTemplateMarkHeight + 3, ty = kTemplateMarkTop + (kTemplateMarkHeight - textHeight + 1) / 2;
    const int mx = (kMarkWidth - MarkWidth(kMarkHeight)) / 2 + kMarkHeight + 3, my = (kMarkHeight - textHeight + 1) / 2;
    int ink = 0;
    for (int y = 0; y < textHeight; ++y) {
        for (int x = 0; x < textWidth; ++x) {
            const bool templateInk = t.At(tx + x, ty + y) == palette::kWhite;
            const bool markInk = m.At(mx + x, my + y) == palette::kBlack;
            EXPECT_EQ(templateInk, markInk) << x << "," << y;
            ink += markInk;
        }
    }
    EXPECT_GT(ink, 200);
    EXPECT_EQ(MarkWidth(kTemplateMarkHeight), 82);
}

}  // namespace
