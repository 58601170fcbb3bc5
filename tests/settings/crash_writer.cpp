// Saves the two crash contents in turn into the folder given, for ever,
// until the test kills it. One byte on stdout says the first save begins.

#include <unistd.h>

#include <QString>

#include "tests/settings/crash_contents.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const korvalen::settings::Settings contents[2] = {CrashContent(0), CrashContent(1)};
    if (::write(1, "R", 1) != 1) return 3;
    for (int i = 0;; i ^= 1) korvalen::settings::SaveSettings(folder, contents[i], true);
}
