#pragma once
// The release check's log, category "korvalen.info": the address asked, what
// came back, why nothing did. Silent unless QT_LOGGING_RULES turns it on:
// QT_LOGGING_RULES="korvalen.info=true".
#include <QLoggingCategory>

namespace korvalen::info {
Q_DECLARE_LOGGING_CATEGORY(lcInfo)
}  // namespace korvalen::info
