#pragma once
// The viewer's log, category "korvalen.viewer": which check a kept map
// failed, where the operator sees only "Bitmap error". Silent unless
// QT_LOGGING_RULES turns it on: QT_LOGGING_RULES="korvalen.viewer=true".
#include <QLoggingCategory>

namespace korvalen::viewer {
Q_DECLARE_LOGGING_CATEGORY(lcViewer)
}  // namespace korvalen::viewer
