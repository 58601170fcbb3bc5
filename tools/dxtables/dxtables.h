// Building the two built-in DX tables (data/dx_tables.cpp) from cty.dat and
// the reviewed tables kept beside it in tools/dxtables/.
#pragma once

#include "tools/dxtables/cty.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvalen::dxtables {

inline constexpr std::size_t ExpectedHamRows = 539;
inline constexpr std::size_t ExpectedElevenMetreRows = 351;

// The texts of the input files, named as in tools/dxtables/.
struct Inputs {
    std::string cty;            // cty.dat
    std::string hamList;        // ham_list.txt: key TAB country, stored order
    std::string hamOverrides;   // ham_overrides.txt
    std::string summerTime;     // summer_time.txt
    std::string elevenList;     // eleven_list.txt: number TAB country
    std::string elevenPlaces;   // eleven_places.txt
};
// Throws std::runtime_error naming the file that cannot be read.
Inputs LoadInputs(const std::string& directory);

// The first prefix of a key: "3DA-3DM" gives "3DA", "PJ2,4,9" "PJ2",
// "FO/A" "FO", "FT.W" "FT".
std::string FirstForm(std::string_view key);
// "35,83N", "10,4S", "38E", "0N": unsigned, comma, at most two fraction
// digits and no trailing zero; positive is N or E.
std::string FormatDegrees(double degrees, char positive, char negative);
// "UTC+1", "UTC-10", "UTC+0", "UTC+5h30", "UTC-9h30".
std::string FormatUtc(double hours);
// "35.83N 14.58E" (decimal point, hemisphere letters); false when malformed.
bool ParsePosition(std::string_view text, Position& position);
// Great-circle distance on a sphere of 6371 km.
double DistanceKm(const Position& a, const Position& b);

struct HamRow {
    std::string key, country;
    const Entity* entity = nullptr;  // the place in cty.dat; nullptr for none
    bool placeOverridden = false;    // the entity is not the key's first form's
    bool positionOverridden = false;
    bool utcOverridden = false;
    Position position;
    std::string utc;
    std::string Text() const;  // key, country, latitude, longitude, UTC joined by TAB
};

struct ElevenMetreRow {
    int number = 0;
    std::string country;
    const Entity* entity = nullptr;  // nullptr: historical place, or no point at all
    bool aliased = false;            // matched through eleven_places.txt, not by name
    bool hasPosition = true;
    bool positionOverridden = false;
    Position position;
    std::string Text() const;  // number, country, latitude, longitude joined by TAB
};

struct Tables {
    Cty cty;
    std::vector<HamRow> ham;
    std::vector<ElevenMetreRow> elevenMetre;
};

// Resolves every row. Throws std::runtime_error, naming the file and line,
// for a row that cty.dat cannot place, an override that matches no row, an
// unknown entity name, or a point outside the lists' ranges.
Tables Build(const Inputs& inputs);
// The text of data/dx_tables.cpp; throws when the row counts are not the
// ones data/dx_tables.h declares.
std::string RenderCpp(const Tables& tables);

}  // namespace korvalen::dxtables
