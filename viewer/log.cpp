#include "viewer/log.h"

namespace korvalen::viewer {
// Only critical messages pass by default, and none is ever logged: an
// operator's terminal stays quiet until asked.
Q_LOGGING_CATEGORY(lcViewer, "korvalen.viewer", QtCriticalMsg)
}  // namespace korvalen::viewer
