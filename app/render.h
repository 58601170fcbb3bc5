#pragma once
// `korvalen --render LOCATOR --output FILE`: the azimuthal map without any
// window, for scripts and for checking the program on a machine without a
// display.
#include <QStringList>

namespace korvalen::app {

/// Runs the command line (@p argc and @p argv as main gets them) when it is
/// one of the command-line modes (--render, --help, --version); returns the
/// exit status, or -1 when the arguments are for the windows.
int RunCommandLine(int argc, char** argv);

}  // namespace korvalen::app
