#pragma once
// The DX lists from the command line, without any window: the working list
// as the viewer fills it, and the beam heading to a call sign as typing it
// into the call box would give. For logging programs and scripts.
#include <string>
#include <vector>

namespace korvalen::app {

/// The usage lines of the two modes, for --help.
extern const char kDxUsage[];

/// `--list-dx ham|11m`: prints the working list, one row per line, TAB
/// between fields, decimal points, UTF-8. @p arguments are those after the
/// program name; @p programFolder where the settings file is looked for.
/// @return the exit status: 0, or 2 for bad arguments.
int ListDxCommand(const std::vector<std::string>& arguments, const std::string& programFolder);

/// `--beam CALL --from LOCATOR [--list ham|11m] [--unit km|mile]`: prints
/// key, country, short-path azimuth and range, long-path azimuth and range,
/// the unit and the UTC field, TAB-separated.
/// @return 0; 2 for bad arguments; 3 when the window would beep.
int BeamCommand(const std::vector<std::string>& arguments, const std::string& programFolder);

}  // namespace korvalen::app
