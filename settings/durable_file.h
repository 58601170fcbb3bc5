#pragma once
// Replacing a file so that a crash or a power cut at any moment leaves
// either the old file or the new one whole: the new one is written beside
// it, flushed to the disk, and renamed over it in one step. The settings
// and the saved maps both go this way. Qt Core only.
#include <QFile>
#include <QString>

#include <optional>

namespace korvalen::settings {

// Like every fallible operation of the core, these return their failure:
// nullopt when they succeeded, otherwise the system's reason, for the
// operator.

/// The system's text for an errno value (they mean the same on every C
/// runtime, Windows' included).
QString SystemErrorText(int error);

/// Writes @p file's buffers, then its data, to the disk.
std::optional<QString> FlushToDisk(QFile& file);

/// Makes a rename in @p folder durable (POSIX keeps directory entries apart
/// from file data; Windows needs nothing more than the write-through move).
void FlushFolder(const QString& folder);

/// Renames @p from over @p to in one step, even when @p to is read-only.
std::optional<QString> ReplaceFile(const QString& from, const QString& to);

/// Gives the open @p file the permission bits @p model has, so a replaced
/// file keeps what its owner set. Windows keeps no more than the read-only
/// attribute, which a file about to be replaced does not have: nothing to do.
std::optional<QString> CopyPermissionBits(const QString& model, QFile& file);

}  // namespace korvalen::settings
