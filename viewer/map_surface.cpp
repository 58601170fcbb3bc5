#include "viewer/map_surface.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "data/palette.h"
#include "geo/geo.h"

namespace korvalen::viewer {

namespace {

// Ellipses wider or taller than this are not drawn: up to it the exact
// residuals below fit in 64 bits, and no such ellipse can matter on a
// 600-pixel map.
constexpr long long kLargestEllipse = 1LL << 14;

// The image's pixels for the length of one drawing call. Taking the pointer
// once per call (rather than per pixel) keeps QImage's detach check out of
// the inner loops.
struct Raster {
    uchar* bits;
    qsizetype stride;
    int width;
    int height;

    explicit Raster(QImage& image)
        : bits(image.bits()), stride(image.bytesPerLine()), width(image.width()), height(image.height()) {}

    bool Inside(long long x, long long y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    void Plot(long long x, long long y, uchar index) {
        if (Inside(x, y)) bits[y * stride + x] = index;
    }
};

// A point of the ellipse in doubled coordinates about the box centre, so
// that even-sized boxes (whose centre falls between pixels) stay integral.
struct Doubled {
    long long x;
    long long y;
};

// One quadrant of the outline, from the top (x ≥ 0 smallest, y = b) to the
// side (x = a, y ≥ 0 smallest), in doubled coordinates. Each step goes
// right, down or both, to whichever of those pixels lies nearest the curve
// by the exact integer residual of b²x² + a²y² = a²b² (among neighbours the
// residual grows with the distance alike). Unlike the classic two-region
// midpoint scheme, this never runs short of the side on flat or tall
// ellipses, whose ends turn within a pixel or two.
std::vector<Doubled> EllipseQuadrant(long long a, long long b) {
    const long long a2 = a * a, b2 = b * b, a2b2 = a2 * b2;
    auto residual = [&](long long x, long long y) {
        const long long f = b2 * x * x + a2 * y * y - a2b2;
        return f < 0 ? -f : f;
    };
    const long long yMin = b % 2;

    std::vector<Doubled> path{{a % 2, b}};
    while (path.back().x < a || path.back().y > yMin) {
        const Doubled at = path.back();
        Doubled best{};
        long long bestResidual = -1;
        // The diagonal first: on a tie it makes the thinner line.
        for (const Doubled step : {Doubled{2, -2}, Doubled{2, 0}, Doubled{0, -2}}) {
            const Doubled next{at.x + step.x, at.y + step.y};
            if (next.x > a || next.y < yMin) continue;
            const long long r = residual(next.x, next.y);
            if (bestResidual < 0 || r < bestResidual) best = next, bestResidual = r;
        }
        path.push_back(best);
    }

    // A step right then down (or down then right) leaves an L-shaped corner
    // whose ends already touch diagonally; dropping the corner keeps the
    // outline one pixel thin.
    std::vector<Doubled> thin;
    thin.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (i > 0 && i + 1 < path.size()) {
            const Doubled& before = thin.back();
            const Doubled& after = path[i + 1];
            if (std::llabs(before.x - after.x) <= 2 && std::llabs(before.y - after.y) <= 2) continue;
        }
        thin.push_back(path[i]);
    }
    return thin;
}

// i × minor / major rounded, halves up, exactly: i < major and minor ≤ major
// are differences of two ints, so below 2^32, and their product fits in 64
// unsigned bits where the doubled form 2·i·minor + major would not.
long long RoundedShare(long long i, long long minor, long long major) {
    const unsigned long long product = static_cast<unsigned long long>(i) * static_cast<unsigned long long>(minor);
    const unsigned long long m = static_cast<unsigned long long>(major);
    const unsigned long long quotient = product / m, remainder = product % m;
    return static_cast<long long>(quotient + (2 * remainder >= m ? 1 : 0));
}

QFont SurfaceFont() {
    // Small enough for the labels' fixed positions near the rim (a
    // three-digit label is about 18 pixels wide, 12 high), hinted and
    // without antialiasing so every glyph pixel is plainly set or not: the
    // map holds palette indices, there is no grey to blend with.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

}  // namespace

MapSurface::MapSurface(QImage* image) : image_(image), font_(SurfaceFont()) {}

bool MapSurface::Drawable() const {
    return image_ && !image_->isNull() && image_->format() == QImage::Format_Indexed8;
}

int MapSurface::ColourIndex(QImage& image, QRgb colour) {
    const int count = image.colorCount();
    for (int i = 0; i < count; ++i)
        if (image.color(i) == colour) return i;
    if (count < 256) {
        image.setColorCount(count + 1);
        image.setColor(count, colour);
        return count;
    }
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < count; ++i) {
        const QRgb c = image.color(i);
        const long dr = qRed(c) - qRed(colour), dg = qGreen(c) - qGreen(colour), db = qBlue(c) - qBlue(colour);
        const long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

void MapSurface::SelectOverlayPen() { pen_ = kOverlayRed; }

void MapSurface::DrawLine(int x0, int y0, int x1, int y1) {
    if (!Drawable()) return;
    const long long dx = static_cast<long long>(x1) - x0, dy = static_cast<long long>(y1) - y0;
    const long long adx = std::llabs(dx), ady = std::llabs(dy);
    if (adx == 0 && ady == 0) return;
    const uchar index = static_cast<uchar>(ColourIndex(*image_, pen_));
    Raster raster(*image_);

    // Step i along the major axis, 0 … length−1 (the end point is not
    // painted); the minor offset is i × minor / major rounded, halves away
    // from the start, which is what the incremental Bresenham error gives.
    // The closed form lets the range of i be clipped to the image first, so
    // a line reaching far outside costs no more than one inside.
    const bool xMajor = adx >= ady;
    const long long major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    const long long start = xMajor ? x0 : y0, minorStart = xMajor ? y0 : x0;
    const int majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1, minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const long long limit = xMajor ? raster.width : raster.height;

    // start + majorStep × i must lie in [0, limit).
    long long first = 0, last = major - 1;
    if (majorStep > 0) {
        first = std::max(first, -start);
        last = std::min(last, limit - 1 - start);
    } else {
        first = std::max(first, start - (limit - 1));
        last = std::min(last, start);
    }
    for (long long i = first; i <= last; ++i) {
        const long long offset = RoundedShare(i, minor, major);
        const long long a = start + majorStep * i, b = minorStart + minorStep * offset;
        if (xMajor)
            raster.Plot(a, b, index);
        else
            raster.Plot(b, a, index);
    }
}

void MapSurface::DrawEllipse(int left, int top, int right, int bottom) {
    if (!Drawable()) return;
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    const long long width = static_cast<long long>(right) - left, height = static_cast<long long>(bottom) - top;
    if (width < 1 || height < 1 || width > kLargestEllipse || height > kLargestEllipse) return;
    const uchar index = static_cast<uchar>(ColourIndex(*image_, pen_));
    Raster raster(*image_);

    // Doubled centre: left + right − 1 is twice the middle of columns
    // left … right−1; the semi-axes in the same units are width−1, height−1.
    const long long cx2 = static_cast<long long>(left) + right - 1, cy2 = static_cast<long long>(top) + bottom - 1;
    for (const Doubled& p : EllipseQuadrant(width - 1, height - 1)) {
        // Mirroring one computed quadrant makes the halves agree exactly.
        const long long xl = (cx2 - p.x) / 2, xr = (cx2 + p.x) / 2;
        const long long yt = (cy2 - p.y) / 2, yb = (cy2 + p.y) / 2;
        raster.Plot(xl, yt, index);
        raster.Plot(xr, yt, index);
        raster.Plot(xl, yb, index);
        raster.Plot(xr, yb, index);
    }
}

QRect MapSurface::TextCell(int x, int y, const QString& text) const {
    const QFontMetrics metrics(font_);
    return QRect(x, y, metrics.horizontalAdvance(text), metrics.height());
}

void MapSurface::TextOut(int x, int y, const QString& text) {
    if (!Drawable()) return;
    const QFontMetrics metrics(font_);
    const QRect cell = TextCell(x, y, text);
    if (brushSolid_) {
        const uchar white = static_cast<uchar>(ColourIndex(*image_, palette::kColours[palette::kWhite]));
        Raster raster(*image_);
        for (int row = cell.top(); row <= cell.bottom(); ++row)
            for (int col = cell.left(); col <= cell.right(); ++col) raster.Plot(col, row, white);
    }
    if (text.isEmpty()) return;

    // Glyphs may overhang their cell (italic tails, a negative left
    // bearing), so the scratch image covers the ink as well.
    const QPoint baseline(x, y + metrics.ascent());
    const QRect area = cell.united(metrics.boundingRect(text).translated(baseline)).adjusted(-1, -1, 1, 1);
    QImage glyphs(area.size(), QImage::Format_ARGB32_Premultiplied);
    glyphs.fill(Qt::transparent);
    {
        QPainter painter(&glyphs);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font_);
        painter.setPen(QColor(Qt::black));
        painter.drawText(baseline - area.topLeft(), text);
    }
    const uchar black = static_cast<uchar>(ColourIndex(*image_, palette::kColours[palette::kBlack]));
    Raster raster(*image_);
    for (int row = 0; row < glyphs.height(); ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(glyphs.constScanLine(row));
        for (int col = 0; col < glyphs.width(); ++col)
            if (qAlpha(line[col]) >= 128) raster.Plot(area.left() + col, area.top() + row, black);
    }
}

void MapSurface::DrawAxes() {
    SelectOverlayPen();
    const int r = geo::MapRadius, size = geo::MapSize;
    // Where the diagonals meet the range circle of radius r: r(1 − √2/2).
    const int d = static_cast<int>(geo::Nint(r * (1 - std::sqrt(2.0L) / 2)));
    DrawLine(r, 0, r, size);
    DrawLine(0, r, size, r);
    DrawLine(d, d, size - d, size - d);
    DrawLine(d, size - d, size - d, d);

    // Each label sits just inside the rim beside its line; the offsets are
    // the original program's, tuned by eye to its font, and kept so that
    // maps drawn by both look alike.
    struct Label {
        int x, y;
        const char* text;
    };
    static constexpr Label kLabels[] = {
        {297, 1, "0"},     {498, 89, "45"},  {584, 294, "90"}, {492, 499, "135"},
        {291, 586, "180"}, {89, 500, "225"}, {1, 294, "270"},  {88, 89, "315"},
    };
    for (const Label& label : kLabels) TextOut(label.x, label.y, QString::fromLatin1(label.text));
}

void MapSurface::DrawCircles() {
    SelectOverlayPen();
    SetBrushClear();
    const int size = geo::MapSize;
    const geo::Real r = geo::MapRadius;
    for (geo::Real radiusShare : {r / 4, r / 2, 3 * r / 4}) {
        const int inset = static_cast<int>(geo::Nint(radiusShare));
        DrawEllipse(inset, inset, size - inset, size - inset);
    }
}

void MapSurface::DrawCentreLabel(const QString& centreText) {
    TextOut(2, 585, QStringLiteral(" Centre : ") + centreText + QStringLiteral(" "));
}

}  // namespace korvalen::viewer
