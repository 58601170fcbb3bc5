#include "viewer/map_file.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QList>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/palette.h"
#include "geo/geo.h"
#include "viewer/map_surface.h"

namespace korvalen::viewer {

namespace {

QString SystemReason(int error) { return qt_error_string(error); }

// Writes all of @p bytes to @p fd, resuming after short writes.
bool WriteAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

}  // namespace

bool SaveMapBmp(const QImage& map, const QString& fileName, QString* errorText) {
    auto fail = [&](const QString& reason) {
        if (errorText) *errorText = reason;
        return false;
    };
    // Qt's BMP writer picks 4 bits for an indexed image of up to 16 colours
    // and 8 bits above, uncompressed, bottom-up: the pixels go out as they
    // are. Encoding first means nothing touches the disk for a bad image.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!map.save(&buffer, "BMP")) return fail(QStringLiteral("The map could not be encoded as a bitmap."));
    }

    const QByteArray target = QFile::encodeName(fileName);
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists) {
        if (S_ISDIR(old.st_mode)) return fail(SystemReason(EISDIR));
        // Renaming over a file needs no right to the file itself, only to
        // its folder; the user's read-only mark must still protect it, as a
        // direct write would (root included, whom access() never refuses).
        if ((old.st_mode & 0222) == 0 || ::access(target.constData(), W_OK) != 0) return fail(SystemReason(EACCES));
    }

    // The new map is written beside the target and renamed over it only
    // once complete and on disk: a full disk or a crash mid-write never
    // leaves a truncated map in place of a good one. Named after the target
    // so that a leftover is recognisable; O_EXCL so that no existing file is
    // ever reused, created 0666 so the umask applies as for any new file.
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = target + '.' + QByteArray::number(QRandomGenerator::global()->generate() % 0x1000000, 16) + ".tmp";
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return fail(SystemReason(errno));

    bool ok = WriteAll(fd, bytes);
    // A replaced map keeps the permissions its owner gave the old one.
    if (ok && exists) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    if (ok) ok = ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temp.constData(), target.constData()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temp.constData());
        return fail(SystemReason(error));
    }
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
