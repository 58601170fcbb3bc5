#include "viewer/map_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QList>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "data/palette.h"
#include "geo/geo.h"
#include "viewer/map_surface.h"

namespace korvalen::viewer {

bool SaveMapBmp(const QImage& map, const QString& fileName, QString* errorText) {
    auto fail = [&](const QString& reason) {
        if (errorText) *errorText = reason;
        return false;
    };
    // QSaveFile writes to a new file in the target's folder and renames it
    // over the target only on commit: a full disk or a crash mid-write never
    // leaves a truncated map in place of a good one. No direct-write
    // fallback: where no file can be made beside the target, failing is
    // better than overwriting in place.
    QSaveFile file(fileName);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    // Qt's BMP writer picks 4 bits for an indexed image of up to 16 colours
    // and 8 bits above, uncompressed, bottom-up: the pixels go out as they are.
    if (!map.save(&file, "BMP")) {
        const QString reason = file.error() != QFileDevice::NoError
                                   ? file.errorString()
                                   : QStringLiteral("The map could not be encoded as a bitmap.");
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit()) return fail(file.errorString());
    return true;
}

namespace {

// Reading and writing, without creating the file (QFile::open(ReadWrite)
// would create a missing one).
bool OpensForReadAndWrite(const QString& fileName) {
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool HasWriteBit(const QFileInfo& info) {
    constexpr QFileDevice::Permissions kWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteUser | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return (info.permissions() & kWrite) != 0;
}

QImage ToPaletteIndexed(const QImage& image) {
    QList<QRgb> table(std::begin(palette::kColours), std::end(palette::kColours));
    table.append(kOverlayRed);
    // Exact nearest-colour mapping, no dithering: a map saved with more bits
    // than needed still has only palette (and overlay) colours, and each must
    // come back as its own index.
    QImage indexed = image.convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither | Qt::AvoidDither);
    const int red = int(table.size()) - 1;
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar* line = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x)
            if (line[x] == red) return indexed;
    }
    // Without red the map keeps the plain 16-colour table, as a generated one.
    indexed.setColorCount(red);
    return indexed;
}

}  // namespace

KeptMap CheckKeptMap(const QString& fileName) {
    KeptMap result;
    const QString bitmapError = QStringLiteral("Bitmap error");
    const QFileInfo info(fileName);
    // The map is rewritten in place later, so it must open for writing too.
    // Running as root, the permission bits stop no open() at all; a file with
    // no write bit is still the user's "read-only" mark and is refused here
    // explicitly, whoever runs the program.
    if (!info.isFile() || !OpensForReadAndWrite(fileName) || !HasWriteBit(info)) {
        result.message = bitmapError;
        return result;
    }
    if (!fileName.endsWith(QStringLiteral(".bmp"), Qt::CaseSensitive)) {
        result.message = bitmapError;
        return result;
    }

    QImageReader reader(fileName, "BMP");
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull() || image.width() != geo::MapSize || image.height() != geo::MapSize) {
        result.status = KeptMapStatus::DecodeError;
        result.message = QStringLiteral("The kept map \"%1\" cannot be read as a %2 × %2 bitmap.")
                             .arg(QDir::toNativeSeparators(fileName), QString::number(geo::MapSize));
        return result;
    }
    result.status = KeptMapStatus::Ok;
    result.image = image.format() == QImage::Format_Indexed8 ? image : ToPaletteIndexed(image);
    return result;
}

}  // namespace korvalen::viewer
