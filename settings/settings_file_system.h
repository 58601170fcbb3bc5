#pragma once
// The two steps of settings_file.cpp that each system does its own way, in
// settings_file_posix.cpp or settings_file_win.cpp, of which the build takes
// one. For settings/ only.
#include <QString>

#include <string>

#include "base/expected.h"

namespace korvalen::settings {

/// Renames @p from to @p to unless @p to exists, the check and the rename
/// being one step: a korvalen.ini written by another copy of the program at
/// the last moment must not be lost.
bool MoveWithoutReplacing(const QString& from, const QString& to);

/// The settings file's bytes, or why they cannot be had. Whatever carries
/// the name (a FIFO without a writer, /dev/zero, a runaway log) must neither
/// hang the start-up nor swamp it, so only a regular file, possibly behind a
/// symbolic link, is read, and no more than MaxSettingsFileSize of it.
Expected<std::string> ReadSettingsFile(const QString& path);

}  // namespace korvalen::settings
