// korvalen.ini on disk: loading, the crash-safe save, the folder choice.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <string>

#include "settings/durable_file.h"
#include "settings/log.h"
#include "settings/settings.h"
#include "settings/settings_file_system.h"

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
    written = written && FlushToDisk(file).ok();
    if (written) Report(onStep, SaveStep::FlushedToDisk);
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

}  // namespace

bool SettingsFileExists(const QString& folder) { return QFileInfo::exists(PathIn(folder, SettingsFileName)); }

LoadResult LoadSettings(const QString& folder, bool settingsFileExisted) {
    if (!settingsFileExisted) return {};
    const Expected<std::string> bytes = ReadSettingsFile(PathIn(folder, SettingsFileName));
    if (!bytes) {
        const std::string& reason = bytes.error().text;
        qCWarning(lcSettings).noquote() << "korvalen.ini in" << QDir::toNativeSeparators(folder)
                                        << "not read:" << QString::fromStdString(reason);
        LoadResult result;
        result.error = Error{std::string("Impossible d'ouvrir le fichier \"") + SettingsFileName + "\". " + reason +
                             "\n\n" + UnreadFileNotice};
        result.unread = true;
        return result;
    }
    LoadResult parsed = ParseSettings(*bytes);
    if (parsed.error)
        qCWarning(lcSettings).noquote() << "korvalen.ini in" << QDir::toNativeSeparators(folder)
                                        << "read up to a bad value:" << QString::fromStdString(parsed.error->text);
    return parsed;
}

Expected<void> SaveSettings(const QString& folder, const Settings& values, bool settingsFileExisted,
                            SaveStepHook onStep) {
    const QString temporary = PathIn(folder, TemporaryFileName);
    const QString target = PathIn(folder, SettingsFileName);
    if (!WriteTemporaryFile(temporary, FormatSettings(values), onStep)) {
        // Whatever part of the new file exists is useless; the old
        // korvalen.ini was not touched.
        QFile::remove(temporary);
        return Error{SaveErrorText};
    }

    // From here on nothing is reported: the new settings are safely on disk
    // in one file or the other.
    if (!settingsFileExisted) {
        // There was no korvalen.ini at start; one that is there now was
        // written by another copy of the program and wins.
        if (!MoveWithoutReplacing(temporary, target)) {
            MakeReadOnly(temporary);
            return {};
        }
    } else if (!ReplaceFile(temporary, target)) {
        return {};
    }
    Report(onStep, SaveStep::Renamed);
    FlushFolder(folder);
    Report(onStep, SaveStep::FolderFlushed);
    if (MakeReadOnly(target)) Report(onStep, SaveStep::MadeReadOnly);
    return {};
}

Expected<QString> SetAsideUnreadFile(const QString& folder, const QDate& today) {
    const QString target = PathIn(folder, SettingsFileName);
    const QString base = target + QStringLiteral(".unread-") + today.toString(Qt::ISODate);
    // A file set aside every day for years still finds a free name; beyond
    // that something is wrong with the folder, and the file stays put.
    for (int n = 1; n <= 1000; ++n) {
        const QString name = n == 1 ? base : base + QLatin1Char('-') + QString::number(n);
        if (QFileInfo::exists(name) || QFileInfo(name).isSymLink()) continue;
        if (MoveWithoutReplacing(target, name)) {
            FlushFolder(folder);
            qCInfo(lcSettings).noquote() << "the unread korvalen.ini set aside as" << QDir::toNativeSeparators(name);
            return QFileInfo(name).fileName();
        }
        // Taken between the look and the move, or not movable at all.
        if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink()) break;
    }
    const QString failure = QStringLiteral("the unread korvalen.ini in %1 could not be set aside: it stays as it is")
                                .arg(QDir::toNativeSeparators(folder));
    qCWarning(lcSettings).noquote() << failure;
    return Error{failure.toStdString()};
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
