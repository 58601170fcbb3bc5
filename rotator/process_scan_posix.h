#pragma once
// How a running program is found on a system with a process folder (/proc):
// by the name of the executable its processes run. POSIX only.
#include <QString>

#include <sys/types.h>

namespace korvalen::rotator {

/// Whether a process of user @p uid runs an executable named @p name (any
/// case) according to the process folder @p procRoot ("/proc" on Linux).
///
/// A process counts when its folder belongs to @p uid and the file name of
/// its executable (the target of `exe`, without folder; a " (deleted)" mark
/// of a replaced file is ignored) equals @p name. When `exe` cannot be read
/// (a kernel thread, a process that is ending) its `comm`, the first 15
/// bytes of the name it was started as, is compared instead. Processes that
/// vanish during the scan are simply skipped.
bool ProgramRunning(const QString& procRoot, const QString& name, uid_t uid);

}  // namespace korvalen::rotator
