// The overlays are drawn pixel by pixel into the indexed map; these tests
// check those pixels against what the old device context drew.
#include "viewer/map_surface.h"

#include <gtest/gtest.h>

#include <QList>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "data/palette.h"

using namespace korvalen;
using viewer::MapSurface;

namespace {

constexpr int kSea = palette::kSea;
constexpr int kRed = 16;

QImage Blank(int size = 600, int fill = kSea) {
    QImage image(size, size, QImage::Format_Indexed8);
    image.setColorTable(QList<QRgb>(std::begin(palette::kColours), std::end(palette::kColours)));
    image.fill(fill);
    return image;
}

using Pixels = std::set<std::pair<int, int>>;

Pixels WithIndex(const QImage& image, int index) {
    Pixels out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelIndex(x, y) == index) out.insert({x, y});
    return out;
}

Pixels Drawn(int x0, int y0, int x1, int y1) {
    QImage image = Blank();
    MapSurface surface(&image);
    surface.SelectOverlayPen();
    surface.DrawLine(x0, y0, x1, y1);
    return WithIndex(image, kRed);
}

// --- Lines ---------------------------------------------------------------

struct LineCase {
    const char* name;
    int x0, y0, x1, y1;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name << " (" << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1 << ")";
}

class Line : public ::testing::TestWithParam<LineCase> {};

TEST_P(Line, OnePixelPerMajorStepFromTheStartUpToButNotTheEnd) {
    const auto [name, x0, y0, x1, y1] = GetParam();
    const Pixels red = Drawn(x0, y0, x1, y1);
    const int dx = x1 - x0, dy = y1 - y0, length = std::max(std::abs(dx), std::abs(dy));
    ASSERT_EQ(static_cast<int>(red.size()), length);
    EXPECT_TRUE(red.count({x0, y0}));
    EXPECT_FALSE(red.count({x1, y1}));
    for (int i = 0; i < length; ++i) {
        // The pixel i steps along is the ideal point rounded, either way at a tie.
        const double ix = x0 + double(dx) * i / length, iy = y0 + double(dy) * i / length;
        bool found = false;
        for (const auto& [x, y] : red) found |= std::abs(x - ix) <= 0.5 && std::abs(y - iy) <= 0.5;
        EXPECT_TRUE(found) << "step " << i << " near " << ix << "," << iy;
    }
}

// Directions as seen on the screen, y growing downwards.
INSTANTIATE_TEST_SUITE_P(AllOctants, Line,
                         ::testing::Values(LineCase{"Right", 10, 10, 20, 10}, LineCase{"Left", 20, 10, 10, 10},
                                           LineCase{"Down", 5, 5, 5, 40}, LineCase{"Up", 5, 40, 5, 5},
                                           LineCase{"ShallowDownRight", 100, 100, 137, 111},
                                           LineCase{"ShallowUpLeft", 137, 111, 100, 100},
                                           LineCase{"SteepDownRight", 100, 100, 111, 137},
                                           LineCase{"SteepUpLeft", 100, 100, 89, 63},
                                           LineCase{"DiagonalUpRight", 50, 80, 80, 50},
                                           LineCase{"AcrossWithOneRowDown", 0, 0, 599, 1},
                                           LineCase{"SingleDiagonalStep", 7, 3, 8, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Line, ClippedPixelsAreThoseOfTheWholeLineThatFallInside) {
    // The same lines drawn on a large image, shifted so that they fit whole.
    const int shift = 1500;
    for (const LineCase& c :
         {LineCase{"LeftToRightEdges", -1000, 37, 1700, 580}, LineCase{"TopToBottomEdges", -50, -1200, 640, 900},
          LineCase{"BottomRightToTopLeft", 900, 650, -300, -20}, LineCase{"JustWiderThanTheMap", -5, 300, 605, 300}}) {
        QImage big = Blank(4000);
        MapSurface bigSurface(&big);
        bigSurface.SelectOverlayPen();
        bigSurface.DrawLine(c.x0 + shift, c.y0 + shift, c.x1 + shift, c.y1 + shift);
        Pixels expected;
        for (const auto& [x, y] : WithIndex(big, kRed))
            if (x >= shift && y >= shift && x < shift + 600 && y < shift + 600) expected.insert({x - shift, y - shift});
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(Drawn(c.x0, c.y0, c.x1, c.y1), expected) << testing::PrintToString(c);
    }
    EXPECT_TRUE(Drawn(-10, -10, -1, 700).empty());
    EXPECT_TRUE(Drawn(42, 42, 42, 42).empty());
}

// Lines spanning the whole int range: the rounding of each step must stay
// exact where i × minor no longer fits in 63 bits (it once needed 128-bit
// arithmetic, which not every compiler has).
TEST(Line, EndsAtTheLimitsOfIntStillRoundEveryStepExactly) {
    const int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    // Major and minor extents equal: exactly the diagonal.
    Pixels diagonal;
    for (int k = 0; k < 600; ++k) diagonal.insert({k, k});
    EXPECT_EQ(Drawn(lo, lo, hi, hi), diagonal);
    // Minor extent exactly half the major one, passing (0, 300): step i
    // goes down ceil(i / 2) rows (halves away from the start), so column x
    // of the map is at row 300 + ceil(x / 2), until the bottom edge.
    const int quarter = 1 << 30;
    const Pixels half = Drawn(lo, 300 - quarter, hi - 1, 300 + quarter - 1);
    ASSERT_EQ(half.size(), 599u);
    for (const auto& [x, y] : half) EXPECT_EQ(y, 300 + x / 2 + x % 2) << x;
}

// --- Ellipses ------------------------------------------------------------

struct Box {
    const char* name;
    int left, top, right, bottom;
};

void PrintTo(const Box& b, std::ostream* os) {
    *os << b.name << " (" << b.left << "," << b.top << " to " << b.right << "," << b.bottom << ")";
}

int Neighbours(const Pixels& set, int x, int y) {
    int n = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) n += (dx || dy) && set.count({x + dx, y + dy});
    return n;
}

class Ellipse : public ::testing::TestWithParam<Box> {};

TEST_P(Ellipse, ThinClosedSymmetricOutlineFillingTheBoxLessItsRightAndBottomEdges) {
    const Box b = GetParam();
    QImage image = Blank();
    MapSurface surface(&image);
    surface.SelectOverlayPen();
    surface.DrawEllipse(b.left, b.top, b.right, b.bottom);
    const Pixels red = WithIndex(image, kRed);
    ASSERT_FALSE(red.empty());

    int minX = 600, maxX = -1, minY = 600, maxY = -1;
    for (const auto& [x, y] : red) {
        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
        EXPECT_TRUE(red.count({b.left + b.right - 1 - x, y})) << "left/right mirror of " << x << "," << y;
        EXPECT_TRUE(red.count({x, b.top + b.bottom - 1 - y})) << "top/bottom mirror of " << x << "," << y;
        // A simple closed 8-connected curve: every pixel has two neighbours.
        EXPECT_EQ(Neighbours(red, x, y), 2) << x << "," << y;
        // Near the ideal curve through the edge pixels' centres.
        const double a = (b.right - b.left - 1) / 2.0, c = (b.bottom - b.top - 1) / 2.0;
        const double u = (x - (b.left + a)) / a, v = (y - (b.top + c)) / c;
        // Distance to the curve to first order: residual over gradient
        // (along a ray from the centre would overstate it on flat ellipses).
        const double distance = std::abs(u * u + v * v - 1) / std::hypot(2 * u / a, 2 * v / c);
        EXPECT_LT(distance, 0.75) << x << "," << y;
    }
    EXPECT_EQ(minX, b.left);
    EXPECT_EQ(maxX, b.right - 1);
    EXPECT_EQ(minY, b.top);
    EXPECT_EQ(maxY, b.bottom - 1);

    // One component, by flood fill.
    Pixels seen{*red.begin()};
    std::vector<std::pair<int, int>> todo{*red.begin()};
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (red.count({x + dx, y + dy}) && seen.insert({x + dx, y + dy}).second) todo.push_back({x + dx, y + dy});
    }
    EXPECT_EQ(seen.size(), red.size());
}

INSTANTIATE_TEST_SUITE_P(CirclesAndOthers, Ellipse,
                         ::testing::Values(Box{"LargeCircle", 75, 75, 525, 525},
                                           Box{"MiddleCircle", 150, 150, 450, 450},
                                           Box{"SmallCircle", 225, 225, 375, 375},
                                           Box{"OddSizedCircle", 10, 20, 31, 41}, Box{"Wide", 100, 200, 401, 260},
                                           Box{"Tall", 300, 10, 340, 590}, Box{"NearlyRound", 40, 40, 51, 52},
                                           Box{"VeryFlat", 10, 300, 70, 309}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Ellipse, TheLargeCircleHasAboutTheDigitalCircumferencesPixelCount) {
    QImage image = Blank();
    MapSurface surface(&image);
    surface.SelectOverlayPen();
    surface.DrawEllipse(75, 75, 525, 525);
    // Steps of 1 and √2 pixels: between C/√2 and C pixels for circumference C.
    const double circumference = 2 * M_PI * 224.5;
    const double count = static_cast<double>(WithIndex(image, kRed).size());
    EXPECT_GT(count, circumference / std::sqrt(2.0));
    EXPECT_LT(count, circumference);
}

// --- Text ----------------------------------------------------------------

TEST(Text, SolidBrushFillsTheCellWhiteUnderBlackGlyphsAndTouchesNothingElse) {
    QImage image = Blank();
    MapSurface surface(&image);
    const QString text = QStringLiteral(" Centre : 48°51' N / 2°21' E ");
    surface.DrawCentreLabel(QStringLiteral("48°51' N / 2°21' E"));
    const QRect cell = surface.TextCell(2, 585, text);
    ASSERT_TRUE(QRect(0, 0, 600, 600).contains(cell));
    EXPECT_GT(cell.width(), 100);
    int black = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x) {
            const int index = image.pixelIndex(x, y);
            if (!cell.contains(x, y)) {
                ASSERT_EQ(index, kSea) << x << "," << y;
                continue;
            }
            ASSERT_TRUE(index == palette::kWhite || index == palette::kBlack) << x << "," << y;
            black += index == palette::kBlack;
        }
    EXPECT_GT(black, 60);
    EXPECT_EQ(image.pixelIndex(2, 585), palette::kWhite);  // the leading space
    EXPECT_EQ(image.colorCount(), 16);
}

TEST(Text, ClearBrushLeavesTheBackgroundAndClipsAtTheImageEdge) {
    QImage image = Blank();
    MapSurface surface(&image);
    surface.SetBrushClear();
    EXPECT_FALSE(surface.BrushSolid());
    surface.TextOut(570, 590, QStringLiteral("XYZW 123"));
    const Pixels black = WithIndex(image, palette::kBlack);
    EXPECT_FALSE(black.empty());
    EXPECT_TRUE(WithIndex(image, palette::kWhite).empty());
    for (const auto& [x, y] : black) EXPECT_TRUE(x >= 570 && y >= 590) << x << "," << y;
}

// --- The overlay commands ------------------------------------------------

struct LabelSpot {
    int x, y;
    const char* text;
};
constexpr LabelSpot kLabels[] = {{297, 1, "0"},     {498, 89, "45"},  {584, 294, "90"}, {492, 499, "135"},
                                 {291, 586, "180"}, {89, 500, "225"}, {1, 294, "270"},  {88, 89, "315"}};

TEST(Axes, LinesEvery45DegreesUnderWhiteLabelCells) {
    QImage image = Blank();
    MapSurface surface(&image);
    surface.DrawAxes();
    std::vector<QRect> cells;
    for (const LabelSpot& l : kLabels) cells.push_back(surface.TextCell(l.x, l.y, QString::fromLatin1(l.text)));
    Pixels line;
    for (int i = 0; i < 600; ++i) line.insert({300, i}), line.insert({i, 300});
    for (int i = 0; i < 424; ++i) line.insert({88 + i, 88 + i}), line.insert({88 + i, 512 - i});

    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x) {
            bool inCell = false;
            for (const QRect& c : cells) inCell |= c.contains(x, y);
            const int index = image.pixelIndex(x, y);
            if (inCell)
                ASSERT_TRUE(index == palette::kWhite || index == palette::kBlack) << x << "," << y;
            else
                ASSERT_EQ(index, line.count({x, y}) ? kRed : kSea) << x << "," << y;
        }
    // The end points are not painted: (512,512) and (512,88) lie on no other line.
    EXPECT_EQ(image.pixelIndex(512, 512), kSea);
    EXPECT_EQ(image.pixelIndex(512, 88), kSea);
    EXPECT_EQ(image.colorCount(), 17);
    EXPECT_EQ(image.color(kRed), viewer::kOverlayRed);
}

TEST(Circles, AreTheThreeEllipsesAndClearTheBrush) {
    QImage image = Blank(), expected = Blank();
    MapSurface surface(&image), reference(&expected);
    surface.DrawCircles();
    EXPECT_FALSE(surface.BrushSolid());
    reference.SelectOverlayPen();
    for (int inset : {75, 150, 225}) reference.DrawEllipse(inset, inset, 600 - inset, 600 - inset);
    EXPECT_EQ(image, expected);
}

TEST(Overlays, CirclesFirstLeaveLabelsWithoutCellsAxesFirstKeepThem) {
    QImage circlesFirst = Blank(), axesFirst = Blank(), axesOnly = Blank(), circlesOnly = Blank();
    MapSurface a(&circlesFirst), b(&axesFirst), c(&axesOnly), d(&circlesOnly);
    a.DrawCircles();
    a.DrawAxes();
    b.DrawAxes();
    b.DrawCircles();
    c.DrawAxes();
    d.DrawCircles();
    for (const LabelSpot& l : kLabels) {
        const QRect cell = c.TextCell(l.x, l.y, QString::fromLatin1(l.text));
        int whites = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x) {
                EXPECT_NE(circlesFirst.pixelIndex(x, y), palette::kWhite) << l.text;
                whites += axesFirst.pixelIndex(x, y) == palette::kWhite;
                const int want = circlesOnly.pixelIndex(x, y) == kRed ? kRed : axesOnly.pixelIndex(x, y);
                EXPECT_EQ(axesFirst.pixelIndex(x, y), want) << l.text << " " << x << "," << y;
            }
        EXPECT_GT(whites, cell.width() * cell.height() / 2) << l.text;
    }
}

TEST(Overlays, RepeatingACommandChangesNothingAndOnlyPaletteIndicesAppear) {
    QImage image = Blank();
    MapSurface surface(&image);
    // Twice in a row paints the same pixels again. (Axes after circles do
    // differ: the labels then lose their white cells, as they should.)
    surface.DrawAxes();
    QImage once = image.copy();
    surface.DrawAxes();
    EXPECT_EQ(image, once);
    surface.DrawCircles();
    once = image.copy();
    surface.DrawCircles();
    EXPECT_EQ(image, once);
    surface.DrawCentreLabel(QStringLiteral("JN18EU"));
    once = image.copy();
    surface.DrawCentreLabel(QStringLiteral("JN18EU"));
    EXPECT_EQ(image, once);
    ASSERT_EQ(image.colorCount(), 17);
    std::set<int> used;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x) used.insert(image.pixelIndex(x, y));
    EXPECT_EQ(used, (std::set<int>{palette::kBlack, kSea, palette::kWhite, kRed}));
}

// --- Colour table --------------------------------------------------------

TEST(Colours, RedIsAppendedOnceAndAgainAfterTheTableIsReset) {
    QImage image = Blank();
    MapSurface surface(&image);
    surface.DrawLine(0, 0, 10, 0);  // the fresh pen is black, a palette colour
    EXPECT_EQ(image.colorCount(), 16);
    EXPECT_EQ(image.pixelIndex(5, 0), palette::kBlack);
    surface.SelectOverlayPen();
    surface.DrawLine(0, 1, 10, 1);
    surface.DrawLine(0, 2, 10, 2);
    EXPECT_EQ(image.colorCount(), 17);
    EXPECT_EQ(image.pixelIndex(5, 2), kRed);
    // A new generation puts the template's 16 colours back.
    image.setColorTable(QList<QRgb>(std::begin(palette::kColours), std::end(palette::kColours)));
    surface.DrawLine(0, 3, 10, 3);
    EXPECT_EQ(image.colorCount(), 17);
    EXPECT_EQ(image.color(image.pixelIndex(5, 3)), viewer::kOverlayRed);
}

TEST(Colours, AFullTableGivesTheNearestColourAndOtherFormatsAreLeftAlone) {
    QImage full(4, 4, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i) table.append(qRgb(i, i, i));
    table[77] = qRgb(250, 5, 0);
    full.setColorTable(table);
    EXPECT_EQ(MapSurface::ColourIndex(full, viewer::kOverlayRed), 77);
    EXPECT_EQ(full.colorCount(), 256);

    QImage rgb(50, 50, QImage::Format_RGB32);
    rgb.fill(Qt::white);
    const QImage before = rgb.copy();
    MapSurface surface(&rgb);
    surface.DrawAxes();
    surface.DrawCircles();
    surface.DrawCentreLabel(QStringLiteral("x"));
    EXPECT_EQ(rgb, before);
}

}  // namespace
