#pragma once
// What the two systems' halves of durable_file.h share. Everything there
// that differs between POSIX and Windows (FilePath's units, FlushFolder,
// ReplaceFile, WriteFileDurably, the flush of a file's data) lives in
// durable_file_posix.cpp or durable_file_win.cpp, of which the build takes
// one; what is the same on both stays in durable_file.cpp. For settings/
// only.
#include <QByteArray>

namespace korvalen::settings {

/// The ending of a new file written beside its target: random, so that two
/// savers never meet, and still recognisable as the target's when a crash
/// leaves it behind.
QByteArray TemporarySuffix();

/// Sends the data of the open file @p handle (a C runtime descriptor) to the
/// disk. 0 when done, otherwise errno's value.
int SyncToDisk(int handle);

}  // namespace korvalen::settings
