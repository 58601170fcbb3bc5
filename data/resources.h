#pragma once
// The built-in images, compiled into the program as Qt resources.

namespace korvalen::data {

/// The equirectangular world map, 796 × 510, 16 colours.
inline constexpr char kWorldMapPath[] = ":/data/world.bmp";
/// The blank azimuthal map, 600 × 600: white disc on black, the mark.
inline constexpr char kTemplatePath[] = ":/data/template.bmp";
/// The maker's mark, 80 × 17, black on white.
inline constexpr char kMarkPath[] = ":/data/orlak.bmp";

/// Registers the resources. They live in a static library, whose
/// registration code the linker would otherwise drop: call once at start,
/// before the first use of a path above. Calling again is harmless.
void InitResources();

}  // namespace korvalen::data
