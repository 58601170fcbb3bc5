#pragma once
// The blank azimuthal template and the maker's mark (a circled C, then
// "ORLAK"), drawn from a small bitmap font and a circle rasteriser.
#include "tools/mapmaker/indexed_image.h"

#include <cstdint>
#include <string>

namespace korvalen::mapmaker {

constexpr int kTemplateSize = 600;
/// The template's disc: centre (299, 299), radius 299.5, so it spans
/// columns and rows 0–598.
constexpr int kDiscCentre = 299;
/// Where the mark sits on the template, outside the disc.
constexpr int kTemplateMarkLeft = 494;
constexpr int kTemplateMarkTop = 555;
constexpr int kTemplateMarkHeight = 21;

constexpr int kMarkWidth = 80;
constexpr int kMarkHeight = 17;

/// Glyph cells are 5 × 7, drawn at twice that size, 2 pixels apart.
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kGlyphScale = 2;
constexpr int kGlyphGap = 2;

/// Whether cell (column, row) of the 5 × 7 glyph for @p letter is ink.
/// Only the letters of the mark and of the donation picture exist; any
/// other letter is blank.
bool GlyphBit(char letter, int column, int row);

/// Sets every pixel whose centre lies within the ring between radii
/// @p inner and @p outer around (cx, cy): inner² ≤ d² ≤ outer². With a
/// positive @p eastOpening the ring is left open to the east: pixels east of
/// the centre with |dy| < eastOpening · dx stay untouched.
void DrawRing(IndexedImage& image, double cx, double cy, double inner, double outer, uint8_t ink,
              double eastOpening = 0);

/// Draws @p text with the bitmap font, top-left at (x, y); returns the
/// column after the last glyph's gap.
int DrawText(IndexedImage& image, int x, int y, const std::string& text, uint8_t ink);

/// The mark, top-left at (x, y), @p height pixels tall (the circle's
/// diameter; the letters are centred on it). Returns its width.
int DrawMark(IndexedImage& image, int x, int y, int height, uint8_t ink);

/// Width DrawMark needs for a given height.
int MarkWidth(int height);

/// 600 × 600: black, the white disc, the white mark in the lower right corner.
IndexedImage MakeTemplate();

/// 80 × 17: the mark in black on white.
IndexedImage MakeMarkImage();

/// The DX marker: 29 × 29, black on white (white is shown transparent),
/// the DX at the centre pixel (14, 14).
constexpr int kDxMarkerSize = 29;
constexpr int kDxMarkerCentre = 14;

/// Four arrowheads pointing at the centre, with a small cross there: on
/// the diagonals, or with @p turned by 45° from above, below and the sides.
/// The program alternates the two, so the marker seems to turn.
IndexedImage MakeDxMarker(bool turned);

}  // namespace korvalen::mapmaker
