#include "settings/durable_file.h"

#include <QRandomGenerator>

#include <cstring>

#include "settings/durable_file_system.h"

namespace korvalen::settings {

QString SystemErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

std::optional<QString> FlushToDisk(QFile& file) {
    if (!file.flush()) return file.errorString();
    if (const int error = SyncToDisk(file.handle())) return SystemErrorText(error);
    return std::nullopt;
}

QByteArray TemporarySuffix() {
    return '.' + QByteArray::number(QRandomGenerator::global()->generate() % 0x1000000, 16) + ".tmp";
}

}  // namespace korvalen::settings
