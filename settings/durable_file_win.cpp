// The Windows half of durable_file.h: names as UTF-16, the replacement done
// through Qt's files and MoveFileExW, which replaces in one step and writes
// through.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <io.h>
#include <windows.h>

#include "settings/durable_file.h"
#include "settings/durable_file_system.h"

namespace korvalen::settings {
namespace {

// FilePath keeps the code units as bytes; copied, not cast, so that the
// bytes' alignment never matters.
QByteArray UnitsOf(const QString& name) {
    QByteArray units(name.size() * qsizetype(sizeof(char16_t)), Qt::Uninitialized);
    std::memcpy(units.data(), name.utf16(), size_t(units.size()));
    return units;
}

QString NameOf(const QByteArray& units) {
    QString name(units.size() / qsizetype(sizeof(char16_t)), Qt::Uninitialized);
    std::memcpy(name.data(), units.constData(), size_t(name.size()) * sizeof(char16_t));
    return name;
}

}  // namespace

int SyncToDisk(int handle) { return _commit(handle) == 0 ? 0 : errno; }

FilePath::FilePath(const QString& name) : native_(UnitsOf(name)) {}

FilePath FilePath::FromCommandLine(const char* argument) {
    FilePath path;
    path.native_ = UnitsOf(QString::fromLocal8Bit(argument));
    return path;
}

QString FilePath::ToString() const { return NameOf(native_); }

// A rename is durable with the write-through move alone: Windows keeps no
// folder entries apart to flush.
void FlushFolder(const QString&) {}

Expected<void> ReplaceFile(const QString& from, const QString& to) {
    // Windows refuses to replace a read-only file; the attribute is cleared
    // first, which leaves the old file whole should the move then fail.
    if (QFileInfo::exists(to)) QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
    const QString nativeFrom = QDir::toNativeSeparators(from);
    const QString nativeTo = QDir::toNativeSeparators(to);
    if (MoveFileExW(reinterpret_cast<const wchar_t*>(nativeFrom.utf16()),
                    reinterpret_cast<const wchar_t*>(nativeTo.utf16()),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0)
        return Error{qt_error_string(static_cast<int>(GetLastError())).toStdString()};
    return {};
}

Expected<void> WriteFileDurably(const FilePath& target, const QByteArray& bytes) {
    QString path = NameOf(target.Native());
    QFileInfo info(path);
    if (info.isSymbolicLink()) {
        // Followed, as on POSIX: the link stays, the file it names is replaced.
        path = info.canonicalFilePath();
        if (path.isEmpty()) return Error{SystemErrorText(ENOENT)};
        info = QFileInfo(path);
    }
    const bool exists = info.exists();
    if (exists) {
        if (info.isDir()) return Error{SystemErrorText(EISDIR)};
        if (!info.isFile()) return Error{kNotARegularFile};
        if (!info.isWritable()) return Error{SystemErrorText(EACCES)};
    }
    QFile temp;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp.setFileName(path + QString::fromLatin1(TemporarySuffix()));
        if (temp.open(QIODevice::WriteOnly | QIODevice::NewOnly)) break;
        if (!QFileInfo::exists(temp.fileName())) break;  // not a name clash: give up
    }
    if (!temp.isOpen()) return Error{temp.errorString().toStdString()};
    Expected<void> written;
    if (temp.write(bytes) != bytes.size()) written = Error{temp.errorString().toStdString()};
    if (written) written = FlushToDisk(temp);
    temp.close();
    if (written && temp.error() != QFileDevice::NoError) written = Error{temp.errorString().toStdString()};
    if (written) written = ReplaceFile(temp.fileName(), path);
    if (!written) QFile::remove(temp.fileName());
    return written;
}

}  // namespace korvalen::settings
