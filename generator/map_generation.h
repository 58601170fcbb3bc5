#pragma once
// The generation over Qt's indexed images: the window hands over its three
// pictures and gets the azimuthal map back in the target.
#include <QImage>

#include "generator/projection.h"

namespace korvalen::generator {

/// Copies the template whole onto @p target (colour table included, so a
/// red overlay drawn on the previous map is gone), then plots every world
/// pixel. @p world 796 × 510 and @p templ 600 × 600, both Format_Indexed8.
void GenerateMapImage(AzimuthalProjector& projector, const QImage& world, const QImage& templ, QImage& target,
                      geo::Real& centreLatitude, geo::Real centreLongitude, const ColumnProgress& progress = {});

}  // namespace korvalen::generator
