// The rotator program found by its window's title, as it has always been on
// Windows.
#include <windows.h>

#include "rotator/launcher.h"

namespace korvalen::rotator {

bool RotatorProgramRunning() { return FindWindowW(nullptr, L"Tornavel") != nullptr; }

}  // namespace korvalen::rotator
