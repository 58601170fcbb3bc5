#pragma once
// The azimuthal map on disk: saved as a Windows BMP, and the kept map
// checked and loaded again at start-up.

#include <QImage>
#include <QString>

#include <optional>

namespace korvalen::viewer {

/// Writes @p map (Format_Indexed8) as an uncompressed BMP holding exactly
/// its pixels and colours: 4 bits per pixel with at most 16 colours, 8 bits
/// otherwise. The file is written beside the target and renamed over it at
/// the end, so a failed save leaves any old file whole; an existing file is
/// replaced without asking, unless it is read-only (no write permission bit,
/// or not writable by this user), which fails as a direct write would.
/// @return nullopt when the file is complete on disk, otherwise the
///         system's reason
std::optional<QString> SaveMapBmp(const QImage& map, const QString& fileName);

/// The one rule for a map file's name: its last four characters are exactly
/// ".bmp", lower case (MAP.BMP and "map.bmp " are refused, ".bmp" alone is a
/// name).
bool HasBmpName(const QString& fileName);

enum class KeptMapStatus {
    Ok,
    BitmapError,  ///< missing, not readable and writable, or not named *.bmp
    DecodeError,  ///< not a 600 × 600 BMP
};

struct KeptMap {
    KeptMapStatus status = KeptMapStatus::BitmapError;
    QImage image;     ///< the map, Format_Indexed8, when status is Ok
    QString message;  ///< what to tell the user when status is not Ok
};

/// The start-up checks of the kept map, in this order: the file exists and
/// opens for reading and writing (and has a write permission bit), its name
/// ends in ".bmp" exactly (case matters), and it decodes as a 600 × 600 BMP.
/// A map stored with more than 8 bits per pixel comes back indexed against
/// the palette (and the overlays' red where it is used), each pixel taking
/// the nearest of those colours.
KeptMap CheckKeptMap(const QString& fileName);

}  // namespace korvalen::viewer
