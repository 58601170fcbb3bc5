#pragma once
// Everything the built-in images are made of, in one call.
#include "tools/mapmaker/worldmap.h"

#include <QString>

namespace korvalen::mapmaker {

/// File names written by WriteImages, the names the resources use.
inline const char* const kWorldFile = "world.bmp";
inline const char* const kTemplateFile = "template.bmp";
inline const char* const kMarkFile = "orlak.bmp";
inline const char* const kDxMarkerFile = "dxmarker.bmp";
inline const char* const kDxMarker45File = "dxmarker45.bmp";
/// The information window's pictures, in their own palette.
inline const char* const kInfoIconFile = "korvalen_icon.bmp";
inline const char* const kLogoFile = "orlak_logo.bmp";
inline const char* const kDonationFile = "donation.bmp";

/// Reads the countries from @p topologyPath and writes world.bmp,
/// template.bmp, orlak.bmp, the two DX markers and the information window's
/// three pictures into @p outputDirectory
/// (which must exist).
/// @returns the world map with its statistics.
/// @throws TopoJsonError or std::runtime_error.
WorldMap WriteImages(const QString& topologyPath, const QString& outputDirectory);

}  // namespace korvalen::mapmaker
