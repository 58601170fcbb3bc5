#pragma once
// The rotator link's log, category "korvalen.rotator": what the operator's
// status line cannot hold (the address in use, the controllers' raw answers,
// the azimuth server's refusals). Silent unless QT_LOGGING_RULES turns it on:
// QT_LOGGING_RULES="korvalen.rotator=true".
#include <QLoggingCategory>

namespace korvalen::rotator {
Q_DECLARE_LOGGING_CATEGORY(lcRotator)
}  // namespace korvalen::rotator
