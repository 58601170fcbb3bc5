#include "settings/log.h"

namespace korvalen::settings {
// Only critical messages pass by default, and none is ever logged: an
// operator's terminal stays quiet until asked.
Q_LOGGING_CATEGORY(lcSettings, "korvalen.settings", QtCriticalMsg)
}  // namespace korvalen::settings
