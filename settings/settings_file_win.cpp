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

Expected<std::string> ReadSettingsFile(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) return Error{SystemErrorText(EISDIR)};
    if (info.exists() && !info.isFile()) return Error{kNotARegularFile};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return Error{file.errorString().toStdString()};
    const QByteArray data = file.read(MaxSettingsFileSize + 1);
    if (file.error() != QFileDevice::NoError) return Error{file.errorString().toStdString()};
    if (data.size() > MaxSettingsFileSize) return Error{SystemErrorText(EFBIG)};
    return std::string(data.constData(), static_cast<size_t>(data.size()));
}

}  // namespace korvalen::settings
