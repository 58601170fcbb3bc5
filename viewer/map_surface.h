#pragma once
// Drawing on the azimuthal map the way the original program drew on its
// device context: lines, hollow ellipses and text straight into the 8-bit
// indexed map image.
//
// QPainter cannot paint on an indexed image, and converting the map to RGB
// and back would risk changing pixels that must keep their exact palette
// indices (the map is saved and reloaded as a palette BMP), so everything is
// rasterised here, pixel by pixel, writing palette indices only.
//
// The surface keeps its drawing settings (pen, brush, font) for its whole
// life, as a device context selected once would: a later command sees what an
// earlier one chose.

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QtGui/qrgb.h>

namespace korvalen::viewer {

/// The overlays' pen colour, pure red; not one of the 16 palette colours.
constexpr QRgb kOverlayRed = 0xFFFF0000;

class MapSurface {
public:
    /// @param image the map, Format_Indexed8; it must outlive the surface.
    /// Any other format is left untouched by every drawing call.
    explicit MapSurface(QImage* image);

    QImage* image() const { return image_; }

    /// Selects the overlays' pen: solid, red, plain copy, one pixel wide.
    /// Until then the pen is black, like a fresh device context's.
    void SelectOverlayPen();

    /// The brush starts solid white; once cleared it stays clear.
    void SetBrushClear() { brushSolid_ = false; }
    bool BrushSolid() const { return brushSolid_; }

    /// A line from (x0, y0) towards (x1, y1); the end point itself is not
    /// painted. Pixels outside the image are clipped.
    void DrawLine(int x0, int y0, int x1, int y1);

    /// The outline of the ellipse inscribed in the box whose right and
    /// bottom edges are excluded: its pixels fill columns left … right−1 and
    /// rows top … bottom−1, touching all four sides. Never filled.
    void DrawEllipse(int left, int top, int right, int bottom);

    /// Black text whose cell's top-left corner is (x, y); while the brush is
    /// solid the cell is first filled white.
    void TextOut(int x, int y, const QString& text);

    /// The cell TextOut fills for @p text at (x, y): the text's advance wide
    /// and the font's height high.
    QRect TextCell(int x, int y, const QString& text) const;

    /// The bearing lines every 45° and their labels.
    void DrawAxes();
    /// The range circles at a quarter, half and three quarters of the radius.
    void DrawCircles();
    /// " Centre : <text> " in the bottom-left corner.
    void DrawCentreLabel(const QString& centreText);

    /// Index of @p colour in the image's colour table, appending it when it
    /// is missing (or, with a full table, the nearest colour). The table can
    /// be replaced behind the surface's back by a new map generation, so
    /// callers ask again for every drawing call rather than keeping it.
    static int ColourIndex(QImage& image, QRgb colour);

private:
    bool Drawable() const;

    QImage* image_;
    QRgb pen_ = 0xFF000000;
    bool brushSolid_ = true;
    QFont font_;
};

}  // namespace korvalen::viewer
