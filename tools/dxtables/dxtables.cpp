#include "tools/dxtables/dxtables.h"

#include <cctype>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

namespace korvalen::dxtables {
namespace {

constexpr double Pi = 3.14159265358979323846;

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    while (true) {
        const auto at = text.find(separator);
        parts.emplace_back(Trim(text.substr(0, at)));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

// Non-empty lines that are not comments, with their line numbers.
std::vector<std::pair<int, std::string>> Lines(std::string_view text) {
    std::vector<std::pair<int, std::string>> lines;
    int number = 0;
    std::istringstream in{std::string(text)};
    std::string line;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string_view trimmed = Trim(line);
        if (trimmed.empty() || trimmed.front() == '#') continue;
        lines.emplace_back(number, line);
    }
    return lines;
}

[[noreturn]] void Fail(const char* file, int line, const std::string& what) {
    throw std::runtime_error(std::string(file) + ":" + std::to_string(line) + ": " + what);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// "Italia (Eu)" and "Abu Ail Island (As) deleted" name "Italia" and "Abu
// Ail Island": the continent code and the mark of a deleted country go.
std::string PlaceName(std::string_view country) {
    country = Trim(country);
    constexpr std::string_view deleted = "deleted";
    if (country.size() >= deleted.size() && country.substr(country.size() - deleted.size()) == deleted)
        country = Trim(country.substr(0, country.size() - deleted.size()));
    if (!country.empty() && country.back() == ')') {
        const auto open = country.rfind('(');
        if (open != std::string_view::npos) country = Trim(country.substr(0, open));
    }
    return std::string(country);
}

void CheckRange(const Position& p, const char* file, int line) {
    // Latitudes stay within 0-89: cty.dat's pole for Antarctica is no place
    // to aim an antenna at, and the lists never carried one.
    if (std::fabs(p.latitude) > 89 || std::fabs(p.longitude) > 180)
        Fail(file, line, "point out of range: " + FormatDegrees(p.latitude, 'N', 'S') + " " +
                             FormatDegrees(p.longitude, 'E', 'W'));
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        if (c == '\t') out += "\\t";
        else if (c == '"' || c == '\\') (out += '\\') += c;
        else out += c;
    }
    out += '"';
}

}  // namespace

Inputs LoadInputs(const std::string& directory) {
    Inputs inputs;
    inputs.cty = ReadFile(directory + "/cty.dat");
    inputs.hamList = ReadFile(directory + "/ham_list.txt");
    inputs.hamOverrides = ReadFile(directory + "/ham_overrides.txt");
    inputs.summerTime = ReadFile(directory + "/summer_time.txt");
    inputs.elevenList = ReadFile(directory + "/eleven_list.txt");
    inputs.elevenPlaces = ReadFile(directory + "/eleven_places.txt");
    return inputs;
}

std::string FirstForm(std::string_view key) { return std::string(key.substr(0, key.find_first_of("-,/."))); }

std::string FormatDegrees(double degrees, char positive, char negative) {
    const long hundredths = std::lround(std::fabs(degrees) * 100);
    std::string text = std::to_string(hundredths / 100);
    const long fraction = hundredths % 100;
    if (fraction != 0) {
        text += ',';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
    }
    // A point on the equator or the meridian counts as north or east.
    text += degrees < 0 && hundredths != 0 ? negative : positive;
    return text;
}

std::string FormatUtc(double hours) {
    const long minutes = std::lround(hours * 60);
    const long absolute = std::labs(minutes);
    std::string text = minutes < 0 ? "UTC-" : "UTC+";
    text += std::to_string(absolute / 60);
    if (absolute % 60 != 0) {
        text += 'h';
        if (absolute % 60 < 10) text += '0';
        text += std::to_string(absolute % 60);
    }
    return text;
}

bool ParsePosition(std::string_view text, Position& position) {
    const auto parts = Split(Trim(text), ' ');
    if (parts.size() != 2) return false;
    double values[2];
    const char letters[2][2] = {{'N', 'S'}, {'E', 'W'}};
    for (int i = 0; i < 2; ++i) {
        const std::string& part = parts[i];
        if (part.size() < 2) return false;
        const char hemisphere = part.back();
        if (hemisphere != letters[i][0] && hemisphere != letters[i][1]) return false;
        const std::string number = part.substr(0, part.size() - 1);
        if (number.find_first_not_of("0123456789.") != std::string::npos) return false;
        char* end = nullptr;
        values[i] = std::strtod(number.c_str(), &end);
        if (*end != '\0') return false;
        if (hemisphere == letters[i][1]) values[i] = -values[i];
    }
    position = {values[0], values[1]};
    return true;
}

double DistanceKm(const Position& a, const Position& b) {
    const double toRad = Pi / 180;
    const double la1 = a.latitude * toRad, la2 = b.latitude * toRad;
    const double dla = la2 - la1, dlo = (b.longitude - a.longitude) * toRad;
    const double h = std::sin(dla / 2) * std::sin(dla / 2) + std::cos(la1) * std::cos(la2) * std::sin(dlo / 2) * std::sin(dlo / 2);
    return 2 * 6371 * std::asin(std::min(1.0, std::sqrt(h)));
}

std::string HamRow::Text() const {
    return key + '\t' + country + '\t' + FormatDegrees(position.latitude, 'N', 'S') + '\t' +
           FormatDegrees(position.longitude, 'E', 'W') + '\t' + utc;
}

std::string ElevenMetreRow::Text() const {
    std::string text = std::to_string(number) + '\t' + country;
    if (hasPosition)
        text += '\t' + FormatDegrees(position.latitude, 'N', 'S') + '\t' + FormatDegrees(position.longitude, 'E', 'W');
    return text;
}

Tables Build(const Inputs& inputs) {
    Tables tables;
    tables.cty = Cty::Parse(inputs.cty);
    const Cty& cty = tables.cty;
    const auto entityNamed = [&](const std::string& name, const char* file, int line) {
        const Entity* entity = cty.ByName(name);
        if (!entity) Fail(file, line, "no cty.dat entity named \"" + name + "\"");
        return entity;
    };

    std::set<std::string> summer;
    for (const auto& [line, text] : Lines(inputs.summerTime))
        summer.insert(entityNamed(std::string(Trim(text)), "summer_time.txt", line)->name);

    // Overrides by (key, country); each must be used exactly once.
    struct HamOverride {
        int line = 0;
        std::vector<std::string> fields;  // key, country, place, position, utc, why
        bool used = false;
    };
    std::map<std::pair<std::string, std::string>, HamOverride> hamOverrides;
    for (const auto& [line, text] : Lines(inputs.hamOverrides)) {
        auto fields = Split(text, '|');
        if (fields.size() != 6) Fail("ham_overrides.txt", line, "expected 6 columns separated by |");
        if (fields[5].empty()) Fail("ham_overrides.txt", line, "every override says why");
        if (!hamOverrides.emplace(std::make_pair(fields[0], fields[1]), HamOverride{line, fields, false}).second)
            Fail("ham_overrides.txt", line, "second override for the same row");
    }

    for (const auto& [line, text] : Lines(inputs.hamList)) {
        const auto fields = Split(text, '\t');
        if (fields.size() != 2 || fields[0].empty() || fields[1].empty())
            Fail("ham_list.txt", line, "expected key TAB country");
        HamRow row;
        row.key = fields[0];
        row.country = fields[1];
        const auto found = hamOverrides.find({row.key, row.country});
        HamOverride* override = found == hamOverrides.end() ? nullptr : &found->second;
        if (override) {
            if (override->used) Fail("ham_list.txt", line, "row listed twice");
            override->used = true;
        }
        const std::string none;
        const std::string& place = override ? override->fields[2] : none;
        const std::string& position = override ? override->fields[3] : none;
        const std::string& utc = override ? override->fields[4] : none;
        const int where = override ? override->line : line;
        const char* file = override ? "ham_overrides.txt" : "ham_list.txt";

        Resolved resolved;
        if (place == "-") {
            row.placeOverridden = true;
        } else if (!place.empty()) {
            row.placeOverridden = true;
            const Entity* entity = entityNamed(place, file, where);
            resolved = {entity, entity->position, entity->utcOffset};
        } else {
            resolved = cty.ByPrefix(FirstForm(row.key));
            if (!resolved.entity)
                Fail(file, where, "no cty.dat prefix entry for " + FirstForm(row.key) + "; add the row to ham_overrides.txt");
        }
        row.entity = resolved.entity;
        row.position = resolved.position;
        if (!position.empty()) {
            row.positionOverridden = true;
            if (!ParsePosition(position, row.position)) Fail(file, where, "bad position \"" + position + "\"");
        } else if (!row.entity) {
            Fail(file, where, "a row without an entity needs a position");
        }
        CheckRange(row.position, file, where);
        if (!utc.empty()) {
            row.utcOverridden = true;
            row.utc = utc;
        } else if (row.entity) {
            row.utc = FormatUtc(resolved.utcOffset) + (summer.count(row.entity->name) ? "*" : "");
        } else {
            Fail(file, where, "a row without an entity needs a UTC field");
        }
        tables.ham.push_back(row);
    }
    for (const auto& [key, override] : hamOverrides)
        if (!override.used) Fail("ham_overrides.txt", override.line, "no row " + key.first + " | " + key.second);

    struct Place {
        int line = 0;
        std::vector<std::string> fields;  // number, place, position, why
        bool used = false;
    };
    std::map<int, Place> places;
    for (const auto& [line, text] : Lines(inputs.elevenPlaces)) {
        auto fields = Split(text, '|');
        if (fields.size() != 4) Fail("eleven_places.txt", line, "expected 4 columns separated by |");
        const int number = std::atoi(fields[0].c_str());
        if (number <= 0 || !places.emplace(number, Place{line, fields, false}).second)
            Fail("eleven_places.txt", line, "bad or repeated row number");
    }
    for (const auto& [line, text] : Lines(inputs.elevenList)) {
        const auto fields = Split(text, '\t');
        ElevenMetreRow row;
        row.number = std::atoi(fields[0].c_str());
        if (fields.size() != 2 || row.number != static_cast<int>(tables.elevenMetre.size()) + 1 || fields[1].empty())
            Fail("eleven_list.txt", line, "expected the next number TAB country");
        row.country = fields[1];
        const auto found = places.find(row.number);
        if (found == places.end()) {
            row.entity = entityNamed(PlaceName(row.country), "eleven_list.txt", line);
            row.position = row.entity->position;
        } else {
            Place& place = found->second;
            place.used = true;
            const std::string& name = place.fields[1];
            const std::string& position = place.fields[2];
            if (name == "none") {
                row.hasPosition = false;
            } else {
                if (name != "-") {
                    row.entity = entityNamed(name, "eleven_places.txt", place.line);
                    row.aliased = true;
                    row.position = row.entity->position;
                } else if (position.empty()) {
                    Fail("eleven_places.txt", place.line, "a historical place needs a position");
                }
                if (!position.empty()) {
                    row.positionOverridden = true;
                    if (!ParsePosition(position, row.position))
                        Fail("eleven_places.txt", place.line, "bad position \"" + position + "\"");
                }
            }
        }
        if (row.hasPosition) CheckRange(row.position, "eleven_list.txt", line);
        tables.elevenMetre.push_back(row);
    }
    for (const auto& [number, place] : places)
        if (!place.used) Fail("eleven_places.txt", place.line, "no row " + std::to_string(number));
    return tables;
}

std::string RenderCpp(const Tables& tables) {
    if (tables.ham.size() != ExpectedHamRows || tables.elevenMetre.size() != ExpectedElevenMetreRows)
        throw std::runtime_error("expected " + std::to_string(ExpectedHamRows) + " ham rows and " +
                                 std::to_string(ExpectedElevenMetreRows) + " 11-metre rows, got " +
                                 std::to_string(tables.ham.size()) + " and " + std::to_string(tables.elevenMetre.size()));
    std::string out =
        "// Generated by mkdxtables from tools/dxtables/; do not edit. To remake it, from\n"
        "// the repository root:\n"
        "//   cmake --build build --target mkdxtables && ./build/tools/mkdxtables tools/dxtables data/dx_tables.cpp\n"
        "// Coordinates and UTC offsets come from cty.dat, the Big CTY country file by\n"
        "// Jim Reisert AD1C (MIT licence, tools/dxtables/LICENSE.cty), corrected by\n"
        "// the reviewed tables in tools/dxtables/ (see tools/README.md). UTF-8.\n"
        "#include \"data/dx_tables.h\"\n\n"
        "namespace korvalen::data {\n\n"
        "const std::array<std::string_view, HamDxRowCount> HamDxRows = {{\n";
    for (const HamRow& row : tables.ham) {
        out += "    ";
        AppendQuoted(out, row.Text());
        out += ",\n";
    }
    out += "}};\n\nconst std::array<std::string_view, ElevenMetreDxRowCount> ElevenMetreDxRows = {{\n";
    for (const ElevenMetreRow& row : tables.elevenMetre) {
        out += "    ";
        AppendQuoted(out, row.Text());
        out += ",\n";
    }
    out += "}};\n\n}  // namespace korvalen::data\n";
    return out;
}

}  // namespace korvalen::dxtables
