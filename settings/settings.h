#pragma once
// korvalen.ini: the settings kept from one run to the next.
//
// The file is single-byte Windows-1252 text. Its first line is
// "[KORVALEN]", every other line KEY=value with no spaces around the "=".
// Written lines end with CR LF; LF, CR and CR LF are all accepted on reading
// because users edit the file by hand with whatever editor they have.
//
// The layers here are kept apart so each can be checked on its own:
//   Settings        the values, texts UTF-8 as everywhere in memory;
//   ParseSettings   file bytes -> values (+ the error that stopped reading);
//   FormatSettings  values -> file bytes;
//   LoadSettings / SaveSettings  the file operations in a settings folder;
//   SettingsFolder  which folder that is.
//
// Qt Core only (paths and the standard locations); no Gui, no Widgets.

#include <QDate>
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/expected.h"
#include "geo/geo.h"
#include "languages/languages.h"

namespace korvalen::settings {

inline constexpr char SettingsFileName[] = "korvalen.ini";
/// The new settings are written here first, then renamed over the old file.
inline constexpr char TemporaryFileName[] = "korvalen.~in";
/// SaveSettings' error when the new file cannot be written.
inline constexpr char SaveErrorText[] = "Ne peut cr\u00e9er korvalen.ini";

/// The languages of the language menu. The file keeps the choice even
/// before every language has its texts, so that it survives a run.
using Language = languages::Language;

/// Which of the two DX lists the program shows: amateur bands, or 11 m (CB).
enum class DxList { Ham, ElevenMetre };

/// The separator menu; the numbers are the ones written to the file.
enum class Separator { Default = 0, Underscore = 1, Slash = 2, Equal = 3 };

/// The viewer's geometry when the file does not give it.
inline constexpr int DefaultViewerHeight = 683;
inline constexpr int DefaultViewerWidth = 860;

/// The map kept for the next run (`SavedMapFile`, empty when none) and its
/// centre text: set from the file at start, replaced by a successful save,
/// written at exit.
struct SavedMap {
    QString SavedMapFile;
    QString SavedMapCentreText;
};

struct Settings {
    /// The language read from the file; nullopt when none was read, in which
    /// case nothing is applied at start and English is ticked (and written).
    std::optional<Language> language;
    /// Path of the rotator control program; empty when not set.
    std::string rotatorProgramPath;
    /// Kilometres per displayed unit: geo::KilometreFactor or StatuteMileFactor.
    geo::Real unitFactor = geo::KilometreFactor;
    DxList list = DxList::Ham;
    Separator separator = Separator::Default;
    /// Map kept for the next run (file name), empty when none.
    std::string savedMapFile;
    /// Centre text of that kept map; written only together with it.
    std::string savedMapCentreText;
    /// Centre at start, text and position, both taken from CENTRE_IMAGE.
    std::string centreText;
    geo::LatLong centre;
    /// Viewer window geometry and its horizontal scroll bar position.
    int viewerTop = 0;
    int viewerLeft = 0;
    int viewerHeight = DefaultViewerHeight;
    int viewerWidth = DefaultViewerWidth;
    int viewerScroll = 0;
    /// User DX rows, each the row's fields joined by TAB: as read, in file
    /// order; as written, the editor's entries in table order, then the
    /// stored rows its table could not hold.
    std::vector<std::string> hamDxRecords;
    std::vector<std::string> elevenMetreDxRecords;
    /// The clock shows UTC rather than local time.
    bool utc = false;
    /// Check for a newer release at start.
    bool releaseCheckAtStart = false;
    /// The rotators turned directly, each "host:port" as the operator typed
    /// it; empty when that rotator is not used.
    std::string rotctldAddress;
    std::string pstRotatorAddress;
    /// The address of the versions file the release check reads, as the
    /// operator wrote it; empty for the maker's own.
    std::string versionsUrl;
};

bool operator==(const Settings& a, const Settings& b);
inline bool operator!=(const Settings& a, const Settings& b) { return !(a == b); }

/// Not an Expected: a file that stops at a bad value still gives the values
/// read up to it, and the program keeps them while it shows the error.
struct LoadResult {
    Settings values;
    /// What to show, when reading failed or stopped early. The caller should
    /// then also skip the locator given on the command line.
    std::optional<Error> error;
    /// The file is there but could not be read whole (too large, not a
    /// regular file, unreadable): what it holds is unknown, so the exit must
    /// not write over it but set it aside first (SetAsideUnreadFile).
    bool unread = false;
};

/// Reads the file's bytes. Unknown keys and lines without a key are skipped;
/// the last occurrence of a key wins, except that UNIT=MILE and LIST=CB stay
/// once read; DX and DXCB lines accumulate. A number that is not a decimal
/// integer stops reading at its line with the runtime's conversion message
/// (what was read before stays).
LoadResult ParseSettings(std::string_view fileBytes);

/// The complete file: "[KORVALEN]" and the keys in their fixed order,
/// Windows-1252, CR LF after every line. A character Windows-1252 lacks
/// becomes "?". DX rows with an empty call sign are left out.
std::string FormatSettings(const Settings& values);

/// Whether korvalen.ini is in @p folder. The program takes this once at
/// start, before reading, and hands it to both LoadSettings and SaveSettings.
bool SettingsFileExists(const QString& folder);

/// The largest korvalen.ini read. The real file is a few kilobytes even with
/// full DX tables; anything bigger is not a settings file.
inline constexpr qint64 MaxSettingsFileSize = 1024 * 1024;

/// Reads korvalen.ini from @p folder. When @p settingsFileExisted is false,
/// nothing is read and the defaults come back. Only a regular file (or a
/// symbolic link to one) of at most MaxSettingsFileSize bytes is read, and
/// no open blocks; anything else is a file that cannot be opened, and gives
/// "Impossible d'ouvrir le fichier "korvalen.ini". <reason>", then
/// UnreadFileNotice, with the defaults and `unread` set.
LoadResult LoadSettings(const QString& folder, bool settingsFileExisted);

/// What the operator is told, after the reason, of a settings file that
/// could not be read.
inline constexpr char UnreadFileNotice[] =
    "Korvalen leaves this file as it is. When Korvalen ends, it renames it korvalen.ini.unread-<date> "
    "and writes new settings as korvalen.ini.";

/// Moves the korvalen.ini of @p folder that could not be read out of the
/// way, to "korvalen.ini.unread-YYYY-MM-DD" for @p today, or with "-2",
/// "-3"... after it when that name is taken: an earlier one is never
/// replaced. The name it now has; the error when it could not be moved, in
/// which case it stays as it is, and a SaveSettings told that no file
/// existed leaves the new settings in korvalen.~in beside it.
Expected<QString> SetAsideUnreadFile(const QString& folder, const QDate& today);

/// The points one SaveSettings passes, in this order. Up to FlushedToDisk
/// korvalen.ini is still the old file; from Renamed on it is the new one.
enum class SaveStep {
    TemporaryCreated,  ///< korvalen.~in created, still empty
    HalfWritten,       ///< the first half of the text written to it
    DataWritten,       ///< the whole text written to it
    FlushedToDisk,     ///< its data on the disk
    Renamed,           ///< renamed over korvalen.ini
    FolderFlushed,     ///< the rename on the disk
    MadeReadOnly,      ///< korvalen.ini made read-only
};
inline constexpr int SaveStepCount = static_cast<int>(SaveStep::MadeReadOnly) + 1;

/// Called at each SaveStep a save reaches, so that a test can stop the
/// program at exactly that point.
using SaveStepHook = void (*)(SaveStep step);

/// Writes @p values as korvalen.ini in @p folder, replacing the old file
/// atomically (at every instant one complete settings file exists) and
/// leaving it read-only. When @p settingsFileExisted is false and a
/// korvalen.ini has appeared since start (another copy of the program), that
/// file is kept and the new settings stay in korvalen.~in, read-only.
/// @param onStep when not null, told of every step reached (steps after a
///        failure are not reached)
/// @return the error SaveErrorText when korvalen.~in could not be written
///         (the old file is then untouched); success otherwise, including
///         when a later step failed, as those are not reported.
Expected<void> SaveSettings(const QString& folder, const Settings& values, bool settingsFileExisted,
                            SaveStepHook onStep = nullptr);

/// The folder the settings live in: @p programFolder when files can be
/// created there (a portable install), otherwise the user's configuration
/// folder for the application, created when missing. The program makes this
/// folder current so that maps saved without a folder go there as well.
QString SettingsFolder(const QString& programFolder);

}  // namespace korvalen::settings
