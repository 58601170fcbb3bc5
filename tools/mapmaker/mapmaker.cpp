#include "tools/mapmaker/mapmaker.h"

#include "tools/mapmaker/info_pictures.h"
#include "tools/mapmaker/marks.h"

#include <QDir>

namespace korvalen::mapmaker {

WorldMap WriteImages(const QString& topologyPath, const QString& outputDirectory) {
    const QDir dir(outputDirectory);
    WorldMap world = MakeWorldMap(ReadCountriesFile(topologyPath));
    SaveBmp(world.image, dir.filePath(QString::fromLatin1(kWorldFile)));
    SaveBmp(MakeTemplate(), dir.filePath(QString::fromLatin1(kTemplateFile)));
    SaveBmp(MakeMarkImage(), dir.filePath(QString::fromLatin1(kMarkFile)));
    SaveBmp(MakeDxMarker(false), dir.filePath(QString::fromLatin1(kDxMarkerFile)));
    SaveBmp(MakeDxMarker(true), dir.filePath(QString::fromLatin1(kDxMarker45File)));
    SaveBmp(MakeInfoIcon(), dir.filePath(QString::fromLatin1(kInfoIconFile)), kInfoColours);
    SaveBmp(MakeLogo(), dir.filePath(QString::fromLatin1(kLogoFile)), kInfoColours);
    SaveBmp(MakeDonationPicture(), dir.filePath(QString::fromLatin1(kDonationFile)), kInfoColours);
    return world;
}

}  // namespace korvalen::mapmaker
