#include "dx/dx_panel.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "data/dx_tables.h"
#include "geo/cp1252.h"

namespace korvalen::dx {

namespace {

// A character's place in the word sort: its class first (blanks and
// punctuation, digits, letters), then its weight within the class.
using SortWeight = std::uint32_t;
constexpr SortWeight kPunctuation = 0u << 24;
constexpr SortWeight kDigit = 1u << 24;
constexpr SortWeight kLetter = 2u << 24;

// The base letter of a Latin-1 accented letter, lower case; 0 for others.
char32_t BaseLetter(char32_t c) {
    static constexpr std::pair<char32_t, char> kAccented[] = {
        {U'à', 'a'}, {U'á', 'a'}, {U'â', 'a'}, {U'ã', 'a'}, {U'ä', 'a'}, {U'å', 'a'}, {U'ç', 'c'},
        {U'è', 'e'}, {U'é', 'e'}, {U'ê', 'e'}, {U'ë', 'e'}, {U'ì', 'i'}, {U'í', 'i'}, {U'î', 'i'},
        {U'ï', 'i'}, {U'ñ', 'n'}, {U'ò', 'o'}, {U'ó', 'o'}, {U'ô', 'o'}, {U'õ', 'o'}, {U'ö', 'o'},
        {U'ø', 'o'}, {U'ù', 'u'}, {U'ú', 'u'}, {U'û', 'u'}, {U'ü', 'u'}, {U'ý', 'y'}, {U'ÿ', 'y'},
        {U'š', 's'}, {U'ž', 'z'},
    };
    if (c >= U'A' && c <= U'Z') return c - U'A' + U'a';
    if (c >= U'a' && c <= U'z') return c;
    // Upper-case Latin-1 and Latin Extended-A letters sit at a fixed offset.
    const char32_t lower = (c >= U'À' && c <= U'Þ' && c != U'×') ? c + 0x20 : (c == U'Š' || c == U'Ž') ? c + 1 : c;
    for (const auto& [accented, base] : kAccented)
        if (accented == lower) return static_cast<char32_t>(base);
    return 0;
}

bool IsLetter(char32_t c) {
    if (BaseLetter(c)) return true;
    // Other scripts' letters: anything past Latin-1 that is not a symbol
    // block is taken as a letter, sorted by its code after the Latin ones.
    return c > 0xFF && !(c >= 0x2000 && c <= 0x2BFF);
}

std::vector<SortWeight> SortKey(std::string_view row) {
    std::vector<SortWeight> key;
    key.reserve(row.size());
    for (char32_t c : text::Utf8ToUtf32(row)) {
        if (c == U'-' || c == U'\'') continue;
        if (c >= U'0' && c <= U'9')
            key.push_back(kDigit | (c - U'0'));
        else if (const char32_t base = BaseLetter(c))
            key.push_back(kLetter | base);
        else if (IsLetter(c))
            key.push_back(kLetter | 0x100 | (c & 0xFFFFFF));
        else
            key.push_back(kPunctuation | c);
    }
    return key;
}

std::pair<std::string_view, std::string_view> SplitOnce(std::string_view text, std::string_view separator) {
    const std::size_t at = text.find(separator);
    if (at == std::string_view::npos) return {text, {}};
    return {text.substr(0, at), text.substr(at + separator.size())};
}

}  // namespace

bool WordSortLess(std::string_view a, std::string_view b) {
    const std::vector<SortWeight> ka = SortKey(a);
    const std::vector<SortWeight> kb = SortKey(b);
    if (ka != kb) return ka < kb;
    return a < b;
}

std::vector<std::string> FillDxList(DxList list, Separator separator, const std::vector<DxRecord>& userEntries,
                                    std::string_view decimalSeparator) {
    const std::string_view sep = SeparatorText(separator);
    std::vector<std::string> rows;
    auto addBuiltIn = [&](std::string_view stored) {
        std::string row = LocaliseDxRow(stored, decimalSeparator);
        if (sep != "\t") std::replace(row.begin(), row.end(), '\t', sep.front());
        rows.push_back(std::move(row));
    };
    if (list == DxList::Ham) {
        rows.reserve(data::HamDxRows.size() + userEntries.size());
        for (std::string_view r : data::HamDxRows) addBuiltIn(r);
    } else {
        rows.reserve(data::ElevenMetreDxRows.size() + userEntries.size());
        for (std::string_view r : data::ElevenMetreDxRows) addBuiltIn(r);
    }
    for (const DxRecord& r : userEntries) rows.push_back(DxRecordToRow(r, sep));
    if (list == DxList::Ham) {
        // The keys are computed once per row, not once per comparison.
        std::vector<std::pair<std::vector<SortWeight>, std::string>> keyed;
        keyed.reserve(rows.size());
        for (std::string& r : rows) keyed.emplace_back(SortKey(r), std::move(r));
        std::sort(keyed.begin(), keyed.end());
        for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = std::move(keyed[i].second);
    }
    return rows;
}

std::string RowHint(std::string_view row, std::string_view separator) {
    std::string hint = "  ";
    std::size_t start = 0;
    for (std::size_t at; (at = row.find(separator, start)) != std::string_view::npos; start = at + separator.size()) {
        hint += row.substr(start, at - start);
        hint += "  ";
    }
    hint += row.substr(start);
    return hint;
}

RowChoice ChooseRow(std::string_view row, std::string_view separator, std::string_view decimalSeparator,
                    geo::LatLong centre, geo::Real unitFactor, const std::string& azimuthCaption,
                    const std::string& rangeCaption) {
    RowChoice choice;
    choice.hint = RowHint(row, separator);
    if (row.find(separator) == std::string_view::npos) return choice;
    auto [key, afterKey] = SplitOnce(row, separator);
    choice.key = std::string(key);
    if (afterKey.find(separator) == std::string_view::npos) return choice;
    auto [country, afterCountry] = SplitOnce(afterKey, separator);
    choice.country = std::string(country);
    if (afterCountry.find(separator) == std::string_view::npos) return choice;
    auto [latitudeField, longitudeAndRest] = SplitOnce(afterCountry, separator);
    const std::optional<geo::Real> latitude = ReadDxLatitude(latitudeField, decimalSeparator);
    if (!latitude) return choice;
    std::string_view longitudeField = longitudeAndRest;
    if (longitudeAndRest.find(separator) != std::string_view::npos) {
        auto [before, after] = SplitOnce(longitudeAndRest, separator);
        longitudeField = before;
        choice.utc = FirstCharacters(after, MaxUtcLength);
    } else {
        choice.utc = std::string();
    }
    const std::optional<geo::Real> longitude = ReadDxLongitude(longitudeField, decimalSeparator);
    if (!longitude) return choice;

    geo::Real centreLatitude = centre.latitude;
    geo::Real dxLatitude = *latitude;
    const geo::BearingRange br = geo::BearingAndRange(centreLatitude, centre.longitude, dxLatitude, *longitude);
    const geo::Real degrees = br.bearing * 180 / geo::Pi;
    const geo::Real shortRange = geo::RangeToDistance(br.range, unitFactor);
    DxBeam beam;
    beam.azimuth = static_cast<int>(geo::Nint(degrees));
    beam.range = static_cast<int>(geo::Nint(shortRange));
    beam.longAzimuth = static_cast<int>(geo::Nint(degrees + 180) % 360);
    beam.longRange = static_cast<int>(geo::Nint(geo::CircumferenceKm / unitFactor - shortRange));
    beam.marker = geo::PolarToMapPixel(br.range, br.bearing);
    geo::Readout readout;
    readout.inside = true;
    readout.azimuth = beam.azimuth;
    readout.distance = beam.range;
    readout.longAzimuth = beam.longAzimuth;
    readout.longDistance = beam.longRange;
    beam.readouts = geo::FormatReadout(readout, unitFactor, azimuthCaption, rangeCaption);
    choice.beam = beam;
    return choice;
}

}  // namespace korvalen::dx
