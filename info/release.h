#pragma once
// The release check's arithmetic, without network or windows: the version
// number used for comparisons, the reading of the versions file the maker
// publishes, and what a finished check tells the operator.
//
// The versions file lists one program a line, key "=" version, for example
// korvalen=2.1.5; lines end with CR LF, LF or CR.
#include <QByteArray>
#include <QString>

namespace korvalen::info {

/// This program's key in the versions file.
inline constexpr char kProgramKey[] = "korvalen";
/// Where the versions file lies on the maker's web site.
inline constexpr char kVersionsFilePath[] = "/index_fichiers/versions.txt";

/// The number a version compares by: the first character of each of the
/// first three dot-separated parts, as hundreds, tens and units ("2.1.4"
/// gives 214, "2.10.3" 213, "10.0.0" 100, ".5" 50). A character that is not
/// a digit 0-9 ends the count with what was added so far ("V2" gives 0).
/// Only the first character of a part counts, so later versions may compare
/// as older; the published versions are chosen with that in mind.
int VersionNumber(const QString& text);

/// The version the versions file @p fileBytes (Windows-1252) gives for
/// @p key, untrimmed; empty when it gives none. A file with "<" among its
/// first three bytes is a web page (an error page of the server), not the
/// list, and gives none; so does a file shorter than three bytes, which
/// cannot hold an entry. Otherwise the first line whose text before its
/// first "=" is exactly @p key (case counts) gives the rest of that line;
/// lines without "=" or starting with it are skipped.
QString PublishedVersion(const QByteArray& fileBytes, const QString& key);

/// Who asked for a check: the start-up check, or the operator's button.
enum class Asker { AtStart, Now };

/// What a finished check shows.
enum class Reply {
    None,             ///< nothing at all
    NewerRelease,     ///< the beep, then the newer-release text, plain box
    UpToDate,         ///< the up-to-date text, plain box
    InternetFailure,  ///< the Internet-failure text, warning box
};

/// The reply to a check that fetched @p published (empty: nothing could be
/// fetched) while this program is @p ownVersion. The start-up check speaks
/// only of a newer release; failures and older or equal versions stay
/// silent there.
Reply ReplyTo(const QString& published, const QString& ownVersion, Asker asker);

}  // namespace korvalen::info
