#include "viewer/map_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QList>

#include <cerrno>
#include <cstring>

#include "data/palette.h"
#include "geo/geo.h"
#include "settings/durable_file.h"
#include "viewer/bmp_check.h"
#include "viewer/log.h"
#include "viewer/map_surface.h"

namespace korvalen::viewer {

namespace {

// Reading and writing, without creating a missing file.
bool OpensForReadAndWrite(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly);
}

// The mode's write bits only: WriteUser is whether *this* user may write,
// which is always true for root and so says nothing about the mark.
bool HasWriteBit(const QFileInfo& info) {
    constexpr QFileDevice::Permissions kWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return (info.permissions() & kWrite) != 0;
}

// Far above any 600 × 600 map (32 bits per pixel with a V5 header and a
// colour profile is under 2 MB): a bigger file is not a map, and is not read
// whole to find that out.
constexpr qint64 kMaxMapFileBytes = 16 * 1024 * 1024;

// The map decoded from @p fileName, or a null image. The bytes are read once
// and checked before the decoder sees them, since Qt's reader makes up what a
// damaged file lacks; the bytes checked are the bytes decoded.
QImage DecodeCheckedMap(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return QImage();
    // The size first: reading up to the limit would reserve the whole limit
    // at every start. A file grown since is still caught by the byte check,
    // which measures what was read.
    if (file.size() > kMaxMapFileBytes) return QImage();
    QByteArray bytes = file.read(file.size());
    if (file.error() != QFileDevice::NoError) return QImage();
    if (!CheckBmpBytes(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), geo::MapSize,
                       geo::MapSize))
        return QImage();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "BMP");
    reader.setDecideFormatFromContent(false);
    return reader.read();
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

Expected<void> SaveMapFile(const QImage& map, const settings::FilePath& file, MapFormat format) {
    // Qt's BMP writer picks 4 bits for an indexed image of up to 16 colours
    // and 8 bits above, uncompressed, bottom-up: the pixels go out as they
    // are. Encoding into memory first means nothing touches the disk for a
    // bad image, and the file is then written by checked system calls: Qt's
    // file devices lose the system's reason for a failed write, and
    // QSaveFile can even miss the failure of its last one.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!map.save(&buffer, format == MapFormat::Bmp ? "BMP" : "PNG"))
            return Error{format == MapFormat::Bmp ? "The map could not be encoded as a bitmap."
                                                  : "The map could not be encoded as a PNG image."};
    }
    return settings::WriteFileDurably(file, bytes);
}

Expected<void> SaveMapBmp(const QImage& map, const QString& fileName) {
    return SaveMapFile(map, settings::FilePath(fileName), MapFormat::Bmp);
}

bool HasBmpName(const QString& fileName) { return fileName.endsWith(QLatin1String(".bmp"), Qt::CaseSensitive); }

KeptMap CheckKeptMap(const QString& fileName) {
    KeptMap result;
    const QFileInfo info(fileName);
    // The map is rewritten in place later, so it must open for writing too.
    // Running as root, the permission bits stop no open() at all; a file with
    // no write bit is still the user's "read-only" mark and is refused here
    // explicitly, whoever runs the program.
    const auto refuse = [&](const char* why) {
        qCWarning(lcViewer).noquote() << "kept map" << QDir::toNativeSeparators(fileName) << "refused:" << why;
        result.error = Error{"Bitmap error"};
        return result;
    };
    if (!info.isFile()) return refuse("not a file (missing, or a folder or device)");
    if (!OpensForReadAndWrite(fileName)) return refuse("does not open for reading and writing");
    if (!HasWriteBit(info)) return refuse("marked read-only");
    if (!HasBmpName(fileName)) return refuse("its name does not end in \".bmp\"");

    const QImage image = DecodeCheckedMap(fileName);
    if (image.isNull() || image.width() != geo::MapSize || image.height() != geo::MapSize) {
        qCWarning(lcViewer).noquote() << "kept map" << QDir::toNativeSeparators(fileName)
                                      << "refused: not a whole" << geo::MapSize << "x" << geo::MapSize << "bitmap";
        result.status = KeptMapStatus::DecodeError;
        result.error = Error{QStringLiteral("The kept map \"%1\" cannot be read as a %2 × %2 bitmap.")
                                 .arg(QDir::toNativeSeparators(fileName), QString::number(geo::MapSize))
                                 .toStdString()};
        return result;
    }
    result.status = KeptMapStatus::Ok;
    result.image = image.format() == QImage::Format_Indexed8 ? image : ToPaletteIndexed(image);
    return result;
}

}  // namespace korvalen::viewer
