// korvalen.ini on disk: loading, the crash-safe save, the folder choice.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <string>

#include "settings/durable_file.h"
#include "settings/settings.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#endif

namespace korvalen::settings {
namespace {

// The "User" flags describe what the running user may do (always
// everything for root), not the file's bits, so only these are kept.
constexpr QFileDevice::Permissions kReadBits = QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                               QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                               QFileDevice::ReadOther | QFileDevice::ExeOther;

QString PathIn(const QString& folder, const char* name) { return QDir(folder).filePath(QString::fromLatin1(name)); }

bool MakeReadOnly(const QString& path) {
    return QFile::setPermissions(path, QFile::permissions(path) & kReadBits);
}

bool MakeWritable(const QString& path) {
    return QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
}

// Renames @p from to @p to unless @p to exists, the check and the rename
// being one step: a korvalen.ini written by another copy of the program at
// the last moment must not be lost.
bool MoveWithoutReplacing(const QString& from, const QString& to) {
#ifdef _WIN32
    const QString nativeFrom = QDir::toNativeSeparators(from);
    const QString nativeTo = QDir::toNativeSeparators(to);
    return MoveFileExW(reinterpret_cast<const wchar_t*>(nativeFrom.utf16()),
                       reinterpret_cast<const wchar_t*>(nativeTo.utf16()), MOVEFILE_WRITE_THROUGH) != 0;
#else
    const QByteArray f = QFile::encodeName(from);
    const QByteArray t = QFile::encodeName(to);
#if defined(__linux__) && defined(RENAME_NOREPLACE)
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0) return true;
    // EINVAL / ENOSYS: the file system or kernel lacks it; try the others.
    if (errno != EINVAL && errno != ENOSYS) return false;
#endif
    // link() refuses an existing name as atomically; a crash before the
    // unlink leaves korvalen.~in as well, which the next save removes.
    if (::link(f.constData(), t.constData()) == 0) {
        ::unlink(f.constData());
        return true;
    }
    if (errno == EEXIST) return false;
    // A file system without hard links (FAT): the check is no longer one
    // step with the rename, which is the best left.
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink()) return false;
    return std::rename(f.constData(), t.constData()) == 0;
#endif
}

void Report(SaveStepHook onStep, SaveStep step) {
    if (onStep) onStep(step);
}

// The first half of the save: a fresh korvalen.~in holding the whole text,
// on disk. False when any of it failed.
bool WriteTemporaryFile(const QString& path, const std::string& bytes, SaveStepHook onStep) {
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        // A copy killed while saving leaves it behind, possibly read-only.
        MakeWritable(path);
        if (!QFile::remove(path)) return false;
    }
    QFile file(path);
    // NewOnly: should anything recreate the name meanwhile, it is not
    // written through. Unbuffered: what a step reports as written is in the
    // file, not in a buffer a crash would lose.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) return false;
    Report(onStep, SaveStep::TemporaryCreated);
    // Two writes, so that there is a moment with half the text in the file:
    // the crash test stops the program there.
    const qint64 size = static_cast<qint64>(bytes.size());
    const qint64 half = size / 2;
    bool written = file.write(bytes.data(), half) == half;
    if (written) Report(onStep, SaveStep::HalfWritten);
    written = written && file.write(bytes.data() + half, size - half) == size - half;
    if (written) Report(onStep, SaveStep::DataWritten);
    // The data must be on the disk before the rename makes it the settings
    // file; otherwise a power cut soon after could leave an empty one.
    written = written && !FlushToDisk(file).has_value();
    if (written) Report(onStep, SaveStep::FlushedToDisk);
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

}  // namespace

bool SettingsFileExists(const QString& folder) { return QFileInfo::exists(PathIn(folder, SettingsFileName)); }

namespace {

// The reason given for a settings file that is a FIFO, a device or a socket.
constexpr char kNotRegularFile[] = "Not a regular file";

// The settings file's bytes into @p bytes; otherwise why they cannot be had.
// Whatever carries the name (a FIFO without a writer, /dev/zero, a runaway
// log) must neither hang the start-up nor swamp it, so only a regular file,
// possibly behind a symbolic link, is read, and no more than
// MaxSettingsFileSize of it.
std::optional<QString> ReadSettingsFile(const QString& path, std::string& bytes) {
#ifdef _WIN32
    const QFileInfo info(path);
    if (info.isDir()) return SystemErrorText(EISDIR);
    if (info.exists() && !info.isFile()) return QString::fromLatin1(kNotRegularFile);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return file.errorString();
    const QByteArray data = file.read(MaxSettingsFileSize + 1);
    if (file.error() != QFileDevice::NoError) return file.errorString();
    if (data.size() > MaxSettingsFileSize) return SystemErrorText(EFBIG);
    bytes.assign(data.constData(), static_cast<size_t>(data.size()));
    return std::nullopt;
#else
    const QByteArray name = QFile::encodeName(path);
    // The type is looked at before opening, since opening some devices
    // already acts on them, and again on the open file, which is the one
    // read whatever replaced the name in between. O_NONBLOCK: an open FIFO
    // does not wait for a writer.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) return SystemErrorText(errno);
    const auto refusal = [](const struct stat& s) -> std::optional<QString> {
        if (S_ISDIR(s.st_mode)) return SystemErrorText(EISDIR);
        if (!S_ISREG(s.st_mode)) return QString::fromLatin1(kNotRegularFile);
        if (s.st_size > MaxSettingsFileSize) return SystemErrorText(EFBIG);
        return std::nullopt;
    };
    if (std::optional<QString> refused = refusal(st)) return refused;
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return SystemErrorText(errno);
    std::optional<QString> failure;
    if (::fstat(fd, &st) != 0)
        failure = SystemErrorText(errno);
    else
        failure = refusal(st);
    // The file may still grow while it is read: one byte past the limit is
    // enough to know.
    std::string data;
    if (!failure) data.resize(static_cast<size_t>(st.st_size) + 1);
    size_t filled = 0;
    while (!failure) {
        if (filled == data.size()) {
            if (data.size() > static_cast<size_t>(MaxSettingsFileSize)) {
                failure = SystemErrorText(EFBIG);
                break;
            }
            data.resize(std::min(data.size() * 2, static_cast<size_t>(MaxSettingsFileSize) + 1));
        }
        const ssize_t n = ::read(fd, data.data() + filled, data.size() - filled);
        if (n > 0)
            filled += static_cast<size_t>(n);
        else if (n == 0)
            break;
        else if (errno != EINTR)
            failure = SystemErrorText(errno);
    }
    ::close(fd);
    if (failure) return failure;
    data.resize(filled);
    bytes = std::move(data);
    return std::nullopt;
#endif
}

}  // namespace

LoadResult LoadSettings(const QString& folder, bool settingsFileExisted) {
    if (!settingsFileExisted) return {};
    std::string bytes;
    if (const std::optional<QString> reason = ReadSettingsFile(PathIn(folder, SettingsFileName), bytes)) {
        LoadResult result;
        result.error = std::string("Impossible d'ouvrir le fichier \"") + SettingsFileName + "\". " +
                       reason->toStdString() + "\n\n" + UnreadFileNotice;
        result.unread = true;
        return result;
    }
    return ParseSettings(bytes);
}

std::optional<std::string> SaveSettings(const QString& folder, const Settings& values, bool settingsFileExisted,
                                        SaveStepHook onStep) {
    const QString temporary = PathIn(folder, TemporaryFileName);
    const QString target = PathIn(folder, SettingsFileName);
    if (!WriteTemporaryFile(temporary, FormatSettings(values), onStep)) {
        // Whatever part of the new file exists is useless; the old
        // korvalen.ini was not touched.
        QFile::remove(temporary);
        return std::string(SaveErrorText);
    }

    // From here on nothing is reported: the new settings are safely on disk
    // in one file or the other.
    if (!settingsFileExisted) {
        // There was no korvalen.ini at start; one that is there now was
        // written by another copy of the program and wins.
        if (!MoveWithoutReplacing(temporary, target)) {
            MakeReadOnly(temporary);
            return std::nullopt;
        }
    } else if (ReplaceFile(temporary, target).has_value()) {
        return std::nullopt;
    }
    Report(onStep, SaveStep::Renamed);
    FlushFolder(folder);
    Report(onStep, SaveStep::FolderFlushed);
    if (MakeReadOnly(target)) Report(onStep, SaveStep::MadeReadOnly);
    return std::nullopt;
}

std::optional<QString> SetAsideUnreadFile(const QString& folder, const QDate& today) {
    const QString target = PathIn(folder, SettingsFileName);
    const QString base = target + QStringLiteral(".unread-") + today.toString(Qt::ISODate);
    // A file set aside every day for years still finds a free name; beyond
    // that something is wrong with the folder, and the file stays put.
    for (int n = 1; n <= 1000; ++n) {
        const QString name = n == 1 ? base : base + QLatin1Char('-') + QString::number(n);
        if (QFileInfo::exists(name) || QFileInfo(name).isSymLink()) continue;
        if (MoveWithoutReplacing(target, name)) {
            FlushFolder(folder);
            return QFileInfo(name).fileName();
        }
        // Taken between the look and the move, or not movable at all.
        if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink()) return std::nullopt;
    }
    return std::nullopt;
}

QString SettingsFolder(const QString& programFolder) {
    // Trying to create a file answers the question as the system sees it
    // (read-only mounts, ACLs, Windows' Program Files), which the permission
    // bits alone do not. The probe removes itself.
    if (QFileInfo(programFolder).isDir()) {
        QTemporaryFile probe(QDir(programFolder).filePath(QStringLiteral("korvalen-probe-XXXXXX")));
        if (probe.open()) return programFolder;
    }
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return config;
}

}  // namespace korvalen::settings
