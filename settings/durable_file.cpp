#include "settings/durable_file.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace korvalen::settings {
namespace {

// errno values mean the same on every C runtime, Windows' included.
bool Fail(QString* reason, const QString& text) {
    if (reason) *reason = text;
    return false;
}

bool FailWithErrno(QString* reason) { return Fail(reason, QString::fromLocal8Bit(std::strerror(errno))); }

}  // namespace

bool FlushToDisk(QFile& file, QString* reason) {
    if (!file.flush()) return Fail(reason, file.errorString());
#ifdef _WIN32
    if (_commit(file.handle()) != 0) return FailWithErrno(reason);
#else
    if (::fsync(file.handle()) != 0) return FailWithErrno(reason);
#endif
    return true;
}

void FlushFolder(const QString& folder) {
#ifndef _WIN32
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#else
    (void)folder;
#endif
}

bool ReplaceFile(const QString& from, const QString& to, QString* reason) {
#ifdef _WIN32
    // Windows refuses to replace a read-only file; the attribute is cleared
    // first, which leaves the old file whole should the move then fail.
    if (QFileInfo::exists(to)) QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
    const QString nativeFrom = QDir::toNativeSeparators(from);
    const QString nativeTo = QDir::toNativeSeparators(to);
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(nativeFrom.utf16()),
                    reinterpret_cast<const wchar_t*>(nativeTo.utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0)
        return Fail(reason, qt_error_string(static_cast<int>(GetLastError())));
#else
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return FailWithErrno(reason);
#endif
    return true;
}

bool CopyPermissionBits(const QString& model, QFile& file, QString* reason) {
#ifdef _WIN32
    (void)model;
    (void)file;
    (void)reason;
#else
    // The mode itself: QFile::permissions() mixes in what the running user
    // may do (everything, for root), which is not the owner's choice.
    struct stat st {};
    if (::stat(QFile::encodeName(model).constData(), &st) != 0 || ::fchmod(file.handle(), st.st_mode & 07777) != 0)
        return FailWithErrno(reason);
#endif
    return true;
}

}  // namespace korvalen::settings
