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
QString SystemErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

std::optional<QString> FlushToDisk(QFile& file) {
    if (!file.flush()) return file.errorString();
#ifdef _WIN32
    if (_commit(file.handle()) != 0) return SystemErrorText(errno);
#else
    if (::fsync(file.handle()) != 0) return SystemErrorText(errno);
#endif
    return std::nullopt;
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

std::optional<QString> ReplaceFile(const QString& from, const QString& to) {
#ifdef _WIN32
    // Windows refuses to replace a read-only file; the attribute is cleared
    // first, which leaves the old file whole should the move then fail.
    if (QFileInfo::exists(to)) QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
    const QString nativeFrom = QDir::toNativeSeparators(from);
    const QString nativeTo = QDir::toNativeSeparators(to);
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(nativeFrom.utf16()),
                    reinterpret_cast<const wchar_t*>(nativeTo.utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0)
        return qt_error_string(static_cast<int>(GetLastError()));
#else
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return SystemErrorText(errno);
#endif
    return std::nullopt;
}

std::optional<QString> CopyPermissionBits(const QString& model, QFile& file) {
#ifdef _WIN32
    (void)model;
    (void)file;
#else
    // The mode itself: QFile::permissions() mixes in what the running user
    // may do (everything, for root), which is not the owner's choice.
    struct stat st {};
    if (::stat(QFile::encodeName(model).constData(), &st) != 0 || ::fchmod(file.handle(), st.st_mode & 07777) != 0)
        return SystemErrorText(errno);
#endif
    return std::nullopt;
}

}  // namespace korvalen::settings
