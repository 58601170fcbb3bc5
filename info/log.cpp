#include "info/log.h"

namespace korvalen::info {
// Only critical messages pass by default, and none is ever logged: an
// operator's terminal stays quiet until asked.
Q_LOGGING_CATEGORY(lcInfo, "korvalen.info", QtCriticalMsg)
}  // namespace korvalen::info
