#include "settings/durable_file.h"

#include <QRandomGenerator>

#include <cstring>

#include "settings/durable_file_system.h"

namespace korvalen::settings {

std::string SystemErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)).toStdString(); }

Expected<void> FlushToDisk(QFile& file) {
    if (!file.flush()) return Error{file.errorString().toStdString()};
    if (const int error = SyncToDisk(file.handle())) return Error{SystemErrorText(error)};
    return {};
}

QByteArray TemporarySuffix() {
    return '.' + QByteArray::number(QRandomGenerator::global()->generate() % 0x1000000, 16) + ".tmp";
}

}  // namespace korvalen::settings
