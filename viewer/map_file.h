#pragma once
// The azimuthal map on disk: saved as a Windows BMP (or a PNG, from the
// command line), and the kept map checked and loaded again at start-up.

#include <QImage>
#include <QString>

#include <optional>

#include "base/expected.h"
#include "settings/durable_file.h"

namespace korvalen::viewer {

enum class MapFormat {
    Bmp,  ///< uncompressed Windows bitmap, as SaveMapBmp describes
    Png,  ///< lossless, the palette kept
};

/// Writes @p map (Format_Indexed8) to @p file in @p format. The map is
/// encoded first, then written beside the target and renamed over it at the
/// end (settings::WriteFileDurably), so a failed save, a full disk included,
/// leaves any old file whole and gives the system's reason. An existing file
/// is replaced without asking, unless it is read-only (no write permission
/// bit, or not writable by this user), which fails as a direct write would.
/// Only a new name or a regular file is written; a symbolic link to a
/// regular file is followed (the link stays, the file it points to is
/// replaced); anything else (a directory, a FIFO, a device, a link to one of
/// them or to nothing) is refused without being opened.
/// @return success once the file is complete on disk, otherwise the reason
Expected<void> SaveMapFile(const QImage& map, const settings::FilePath& file, MapFormat format);

/// SaveMapFile as a BMP holding exactly the map's pixels and colours: 4 bits
/// per pixel with at most 16 colours, 8 bits otherwise, uncompressed.
Expected<void> SaveMapBmp(const QImage& map, const QString& fileName);

/// The one rule for a map file's name: its last four characters are exactly
/// ".bmp", lower case (MAP.BMP and "map.bmp " are refused, ".bmp" alone is a
/// name).
bool HasBmpName(const QString& fileName);

enum class KeptMapStatus {
    Ok,
    BitmapError,  ///< missing, not readable and writable, or not named *.bmp
    DecodeError,  ///< not a whole 600 × 600 BMP
};

/// Not an Expected: the window shows the two failures in different boxes,
/// which the status tells.
struct KeptMap {
    KeptMapStatus status = KeptMapStatus::BitmapError;
    QImage image;                ///< the map, Format_Indexed8, when status is Ok
    std::optional<Error> error;  ///< what to tell the user, exactly when status is not Ok
};

/// The start-up checks of the kept map, in this order: the file exists and
/// opens for reading and writing (and has a write permission bit), its name
/// ends in ".bmp" exactly (case matters), and it decodes as a 600 × 600 BMP.
/// Its bytes must first pass CheckBmpBytes (bmp_check.h) and be at most
/// 16 MiB: a damaged map, whose missing pixels the decoder would make up, is
/// a DecodeError like any file that does not decode.
/// A map stored with more than 8 bits per pixel comes back indexed against
/// the palette (and the overlays' red where it is used), each pixel taking
/// the nearest of those colours.
KeptMap CheckKeptMap(const QString& fileName);

}  // namespace korvalen::viewer
