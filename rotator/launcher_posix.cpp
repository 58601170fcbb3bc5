// The rotator program found among this user's processes, by /proc.
#include <QByteArray>
#include <QFile>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <memory>

#include "rotator/launcher.h"
#include "rotator/process_scan_posix.h"

namespace korvalen::rotator {

namespace {

/// The target of the symbolic link @p path; empty when it cannot be read.
QByteArray ReadLink(const QByteArray& path) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.constData(), target, sizeof target);
    if (n <= 0) return {};
    return QByteArray(target, static_cast<qsizetype>(n));
}

QByteArray FileName(const QByteArray& path) { return path.mid(path.lastIndexOf('/') + 1); }

/// The executable's file name of the process in @p folder, or its `comm`
/// when the executable cannot be read.
QByteArray ExecutableName(const QByteArray& folder) {
    QByteArray exe = ReadLink(folder + "/exe");
    if (!exe.isEmpty()) {
        // The kernel marks an executable replaced or removed since the
        // start; the process is still the same program.
        static const QByteArray kDeleted(" (deleted)");
        if (exe.endsWith(kDeleted)) exe.chop(kDeleted.size());
        return FileName(exe);
    }
    QFile comm(QFile::decodeName(folder + "/comm"));
    if (!comm.open(QIODevice::ReadOnly)) return {};
    QByteArray name = comm.readAll();
    if (name.endsWith('\n')) name.chop(1);
    return name;
}

bool IsProcessFolder(const char* name) {
    if (!*name) return false;
    for (const char* c = name; *c; ++c)
        if (!std::isdigit(static_cast<unsigned char>(*c))) return false;
    return true;
}

}  // namespace

bool ProgramRunning(const QString& procRoot, const QString& name, uid_t uid) {
    const QByteArray root = QFile::encodeName(procRoot);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(root.constData()), ::closedir);
    if (!dir) return false;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (!IsProcessFolder(entry->d_name)) continue;
        const QByteArray folder = root + '/' + entry->d_name;
        struct stat info;
        if (::stat(folder.constData(), &info) != 0 || info.st_uid != uid) continue;
        const QByteArray executable = ExecutableName(folder);
        if (!executable.isEmpty() &&
            QFile::decodeName(executable).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool RotatorProgramRunning() {
    return ProgramRunning(QStringLiteral("/proc"), QLatin1String(kRotatorProgramName), ::getuid());
}

}  // namespace korvalen::rotator
