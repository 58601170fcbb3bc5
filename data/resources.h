#pragma once
// The built-in images, compiled into the program as Qt resources.

namespace korvalen::data {

/// The equirectangular world map, 796 × 510, 16 colours.
inline constexpr char kWorldMapPath[] = ":/data/world.bmp";
/// The blank azimuthal map, 600 × 600: white disc on black, the mark.
inline constexpr char kTemplatePath[] = ":/data/template.bmp";
/// The maker's mark, 80 × 17, black on white.
inline constexpr char kMarkPath[] = ":/data/orlak.bmp";
/// The DX marker, 29 × 29, black on white: arrowheads on the diagonals
/// pointing at the centre pixel (14, 14), a small cross there.
inline constexpr char kDxMarkerPath[] = ":/data/dxmarker.bmp";
/// The same marker turned by 45°: arrowheads from above, below and the sides.
inline constexpr char kDxMarker45Path[] = ":/data/dxmarker45.bmp";

/// The information window's pictures. Their background colour,
/// kPictureBackground, is to be shown transparent.
/// The program's icon, 33 × 33: a small azimuthal map with a bearing.
inline constexpr char kInfoIconPath[] = ":/data/korvalen_icon.bmp";
/// The maker's logo, 208 × 58: "ORLAK" in grey bold italic with a shadow.
inline constexpr char kLogoPath[] = ":/data/orlak_logo.bmp";
/// The donation button's picture, 100 × 113: a heart over "DONATE".
inline constexpr char kDonationPath[] = ":/data/donation.bmp";
/// Magenta, 0xAARRGGBB, as no picture uses it otherwise.
inline constexpr unsigned kPictureBackground = 0xFFFF00FF;

/// Registers the resources. They live in a static library, whose
/// registration code the linker would otherwise drop: call once at start,
/// before the first use of a path above. Calling again is harmless.
void InitResources();

}  // namespace korvalen::data
