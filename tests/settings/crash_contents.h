#pragma once
// The two settings the crash writer saves in turn. Many DX rows make each
// save long enough for a kill to land inside it, and every row names its
// content so that a mix of the two could not go unnoticed.

#include <string>

#include "settings/settings.h"

inline korvalen::settings::Settings CrashContent(int which) {
    korvalen::settings::Settings s;
    s.language = korvalen::settings::Language::English;  // as read back
    const std::string mark = which == 0 ? "AAAA" : "BBBB";
    s.viewerTop = which;
    for (int i = 0; i < 1000; ++i)
        s.hamDxRecords.push_back("F" + std::to_string(i) + mark + "\t14.025\tCW\t" + mark + " row " + std::to_string(i));
    return s;
}
