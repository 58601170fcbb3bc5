#include "generator/map_generation.h"

namespace korvalen::generator {

void GenerateMapImage(AzimuthalProjector& projector, const QImage& world, const QImage& templ, QImage& target,
                      geo::Real& centreLatitude, geo::Real centreLongitude, const ColumnProgress& progress) {
    if (target.size() != templ.size() || target.format() != QImage::Format_Indexed8)
        target = QImage(templ.size(), QImage::Format_Indexed8);
    target.setColorTable(templ.colorTable());
    const IndexedView out{target.bits(), target.width(), target.height(), target.bytesPerLine()};
    CopyTemplate({templ.constBits(), templ.width(), templ.height(), templ.bytesPerLine()}, out);
    projector.Project({world.constBits(), world.width(), world.height(), world.bytesPerLine()}, out,
                      centreLatitude, centreLongitude, progress);
}

}  // namespace korvalen::generator
