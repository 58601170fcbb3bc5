// The settings file on Windows, through Qt's files and MoveFileExW.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <windows.h>

#include "settings/durable_file.h"
#include "settings/settings.h"
#include "settings/settings_file_system.h"

namespace korvalen::settings {

bool MoveWithoutReplacing(const QString& from, const QString& to) {
    // Without MOVEFILE_REPLACE_EXISTING the move refuses an existing name,
    // in the same step.
    const QString nativeFrom = QDir::toNativeSeparators(from);
    const QString nativeTo = QDir::toNativeSeparators(to);
    return MoveFileExW(reinterpret_cast<const wchar_t*>(nativeFrom.utf16()),
                       reinterpret_cast<const wchar_t*>(nativeTo.utf16()), MOVEFILE_WRITE_THROUGH) != 0;
}

std::optional<QString> ReadSettingsFile(const QString& path, std::string& bytes) {
    const QFileInfo info(path);
    if (info.isDir()) return SystemErrorText(EISDIR);
    if (info.exists() && !info.isFile()) return QString::fromLatin1(kNotARegularFile);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return file.errorString();
    const QByteArray data = file.read(MaxSettingsFileSize + 1);
    if (file.error() != QFileDevice::NoError) return file.errorString();
    if (data.size() > MaxSettingsFileSize) return SystemErrorText(EFBIG);
    bytes.assign(data.constData(), static_cast<size_t>(data.size()));
    return std::nullopt;
}

}  // namespace korvalen::settings
