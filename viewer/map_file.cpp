#include "viewer/map_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QList>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#include "data/palette.h"
#include "geo/geo.h"
#include "settings/durable_file.h"
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

std::optional<QString> SaveMapBmp(const QImage& map, const QString& fileName) {
    // Qt's BMP writer picks 4 bits for an indexed image of up to 16 colours
    // and 8 bits above, uncompressed, bottom-up: the pixels go out as they
    // are. Encoding first means nothing touches the disk for a bad image.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!map.save(&buffer, "BMP")) return QStringLiteral("The map could not be encoded as a bitmap.");
    }

    const QFileInfo old(fileName);
    const bool exists = old.exists();
    if (exists) {
        if (old.isDir()) return settings::SystemErrorText(EISDIR);
        // Renaming over a file needs no right to the file itself, only to
        // its folder; the user's read-only mark must still protect it, as a
        // direct write would (root included, whom isWritable never refuses).
        if (!HasWriteBit(old) || !old.isWritable()) return settings::SystemErrorText(EACCES);
    }

    // The new map is written beside the target and renamed over it only
    // once complete and on disk: a full disk or a crash mid-write never
    // leaves a truncated map in place of a good one. Named after the target
    // so that a leftover is recognisable; NewOnly so that no existing file
    // is ever reused.
    QFile temp;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp.setFileName(fileName + QLatin1Char('.') +
                         QString::number(QRandomGenerator::global()->generate() % 0x1000000, 16) +
                         QStringLiteral(".tmp"));
        if (temp.open(QIODevice::WriteOnly | QIODevice::NewOnly)) break;
        if (!QFileInfo::exists(temp.fileName())) break;  // not a name clash: give up
    }
    if (!temp.isOpen()) return temp.errorString();

    std::optional<QString> failure;
    if (temp.write(bytes) != bytes.size()) failure = temp.errorString();
    // A replaced map keeps the permissions its owner gave the old one.
    if (!failure && exists) failure = settings::CopyPermissionBits(fileName, temp);
    if (!failure) failure = settings::FlushToDisk(temp);
    temp.close();
    if (!failure && temp.error() != QFileDevice::NoError) failure = temp.errorString();
    if (!failure) failure = settings::ReplaceFile(temp.fileName(), fileName);
    if (failure) {
        QFile::remove(temp.fileName());
        return failure;
    }
    settings::FlushFolder(QFileInfo(fileName).absolutePath());
    return std::nullopt;
}

bool HasBmpName(const QString& fileName) { return fileName.endsWith(QLatin1String(".bmp"), Qt::CaseSensitive); }

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
    if (!HasBmpName(fileName)) {
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
