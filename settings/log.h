#pragma once
// The settings file's log, category "korvalen.settings": why korvalen.ini
// was not read, and where an unread one was set aside. Silent unless
// QT_LOGGING_RULES turns it on: QT_LOGGING_RULES="korvalen.settings=true".
#include <QLoggingCategory>

namespace korvalen::settings {
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
}  // namespace korvalen::settings
