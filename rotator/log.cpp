#include "rotator/log.h"

namespace korvalen::rotator {
// Only critical messages pass by default, and none is ever logged: an
// operator's terminal stays quiet until asked.
Q_LOGGING_CATEGORY(lcRotator, "korvalen.rotator", QtCriticalMsg)
}  // namespace korvalen::rotator
