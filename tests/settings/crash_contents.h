#pragma once
// The two settings the crash writer saves in turn. Enough DX rows that the
// file spans several disk blocks, so a cut write shows, and every row names
// its content so that a mix of the two could not go unnoticed.

#include <string>

#include "settings/settings.h"

inline korvalen::settings::Settings MakeCrashContent(int which) {
    korvalen::settings::Settings s;
    s.language = korvalen::settings::Language::English;  // as read back
    const std::string mark = which == 0 ? "AAAA" : "BBBB";
    s.viewerTop = which;
    for (int i = 0; i < 500; ++i)
        s.hamDxRecords.push_back("F" + std::to_string(i) + mark + "\t14.025\tCW\t" + mark + " row " + std::to_string(i));
    return s;
}

/// Content 0 or 1, built once: the tests compare against them after every
/// kill, and the writer's children inherit them ready-made.
inline const korvalen::settings::Settings& CrashContent(int which) {
    static const korvalen::settings::Settings contents[2] = {MakeCrashContent(0), MakeCrashContent(1)};
    return contents[which];
}
