#pragma once
// Replacing a file so that a crash or a power cut at any moment leaves
// either the old file or the new one whole: the new one is written beside
// it, flushed to the disk, and renamed over it in one step. The settings
// and the saved maps both go this way. Qt Core only.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <string>

#include "base/expected.h"

namespace korvalen::settings {

// Like every fallible operation of the core, these return their failure as
// the error of an Expected: the system's reason, for the operator.

/// The system's text for an errno value (they mean the same on every C
/// runtime, Windows' included), in UTF-8.
std::string SystemErrorText(int error);

/// Writes @p file's buffers, then its data, to the disk.
Expected<void> FlushToDisk(QFile& file);

/// Makes a rename in @p folder durable (POSIX keeps directory entries apart
/// from file data; Windows needs nothing more than the write-through move).
void FlushFolder(const QString& folder);

/// Renames @p from over @p to in one step, even when @p to is read-only.
Expected<void> ReplaceFile(const QString& from, const QString& to);

/// A file's name as the system's calls take it. POSIX names are bytes and are
/// kept exactly: one that is not valid UTF-8, which a QString would turn into
/// U+FFFD, still names its own file and no other. Windows names are UTF-16,
/// kept as their code units, unpaired surrogates included.
class FilePath {
public:
    FilePath() = default;
    /// The name @p name gives, encoded as Qt's own file calls encode it.
    explicit FilePath(const QString& name);
    /// A name as the command line gives it: its bytes exactly on POSIX; on
    /// Windows decoded from the local code page.
    static FilePath FromCommandLine(const char* argument);
    /// The name for messages and for the rules on its ending, decoded as Qt
    /// decodes names (bytes that are not UTF-8 show as U+FFFD).
    QString ToString() const;
    /// The name in the system's own units: POSIX's bytes; on Windows the
    /// UTF-16 code units, two bytes each in the machine's order. Only the
    /// system's own half (durable_file_posix.cpp, durable_file_win.cpp)
    /// reads them.
    const QByteArray& Native() const { return native_; }

private:
    QByteArray native_;
};

/// The reason given when the name holds something other than a directory or
/// a file of data: a FIFO, a device, a socket, or a link to one of them.
inline constexpr char kNotARegularFile[] = "Not a regular file";

/// Makes @p target hold exactly @p bytes, durably: a new file is written
/// beside it, every write and the flush to the disk checked, and renamed over
/// it in one step, so a full disk or a crash leaves the old file whole.
/// Only a new name or a regular file is written. A symbolic link to a regular
/// file is followed: the link stays and the file it points to is replaced, in
/// its own folder. Anything else (a directory, a FIFO, a device, a link to
/// one of them or to nothing) is refused from its type alone, never opened.
/// An existing file keeps its permission bits, and one that is read-only (no
/// write bit, or not writable by this user) is refused, root included.
/// @return success once the file is complete on disk, otherwise the reason:
///         the system's own, or kNotARegularFile
Expected<void> WriteFileDurably(const FilePath& target, const QByteArray& bytes);

}  // namespace korvalen::settings
