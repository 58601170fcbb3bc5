#pragma once
// The guard both main windows run first when asked to close: while a rotator
// client is connected the program must not end under it.
#include <QWidget>

#include "languages/languages.h"
#include "rotator/azimuth_link.h"

namespace korvalen::rotator {

/// When a client is connected, says so in a warning box over @p window and
/// returns true: the close is refused and nothing else may happen.
bool CloseRefused(QWidget* window, const AzimuthLink& link, const languages::LanguageState& language);

}  // namespace korvalen::rotator
