#pragma once
// The locale's decimal separator, as the DX rules take it (UTF-8): the
// windows read numbers and write degrees in the operator's own notation.
#include <QLocale>

#include <string>

namespace korvalen::widgets {

inline std::string DecimalSeparator() { return QLocale().decimalPoint().toStdString(); }

}  // namespace korvalen::widgets
