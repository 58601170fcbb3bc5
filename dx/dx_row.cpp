#include "dx/dx_row.h"

#include <charconv>
#include <cmath>

namespace korvalen::dx {

namespace {

constexpr char kTab = '\t';

bool Contains(std::string_view text, char c) { return text.find(c) != std::string_view::npos; }

std::vector<std::string_view> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        if (at == std::string_view::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
}

// The text without its last character (a whole UTF-8 sequence).
std::string_view DropLastCharacter(std::string_view text) {
    if (text.empty()) return text;
    std::size_t end = text.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

std::string ReplaceFirst(std::string_view text, char mark, std::string_view by) {
    std::string out(text);
    const std::size_t at = out.find(mark);
    if (at != std::string::npos) out.replace(at, 1, by);
    return out;
}

std::optional<geo::Real> ReadDxDegrees(std::string_view text, char positive, char negative,
                                       std::string_view decimalSeparator) {
    if (!Contains(text, positive) && !Contains(text, negative)) return std::nullopt;
    const geo::Real sign = Contains(text, negative) ? -1 : 1;
    const std::string_view number = DropLastCharacter(text);
    const bool comma = Contains(number, ',');
    const bool point = Contains(number, '.');
    if (comma && point) return std::nullopt;
    const std::string localised =
        comma ? ReplaceFirst(number, ',', decimalSeparator)
              : point ? ReplaceFirst(number, '.', decimalSeparator) : std::string(number);
    const std::optional<double> value = LocaleToFloat(localised, decimalSeparator);
    if (!value) return std::nullopt;
    return sign * static_cast<geo::Real>(*value);
}

// The shortest general notation of at most 15 significant digits, with the
// locale's decimal separator (42.83, 38, 157.75).
std::string FormatDegrees(double value, std::string_view decimalSeparator) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    const std::size_t point = text.find('.');
    if (point != std::string::npos) text.replace(point, 1, decimalSeparator);
    return text;
}

// A built-in degrees field rewritten for the locale: its hemisphere letter
// taken out, the number (decimal comma) rewritten, the letter put back.
std::string LocaliseDegrees(std::string_view field, char first, char second, std::string_view decimalSeparator) {
    const char letter = Contains(field, first) ? first : second;
    std::string number;
    for (char c : field)
        if (c != letter) number += c == ',' ? '.' : c;
    const std::optional<double> value = LocaleToFloat(number, ".");
    if (!value) return std::string(field);
    return FormatDegrees(*value, decimalSeparator) + letter;
}

}  // namespace

std::string AsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string_view SeparatorText(Separator separator) {
    switch (separator) {
        case Separator::Underscore: return "_";
        case Separator::Slash: return "/";
        case Separator::Equal: return "=";
        case Separator::Default: break;
    }
    return "\t";
}

std::string FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t n = 0; n < count && at < text.size(); ++n) {
        ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    }
    return std::string(text.substr(0, at));
}

std::optional<double> LocaleToFloat(std::string_view text, std::string_view decimalSeparator) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    // Rewritten in the one notation from_chars reads, whatever the locale.
    std::string plain;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') plain += '-';
        ++i;
    }
    auto digits = [&] {
        std::size_t n = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') plain += text[i++], ++n;
        return n;
    };
    std::size_t mantissaDigits = digits();
    if (!decimalSeparator.empty() && text.substr(i, decimalSeparator.size()) == decimalSeparator) {
        plain += '.';
        i += decimalSeparator.size();
        mantissaDigits += digits();
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) plain += text[i++];
        if (digits() == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (result.ec != std::errc() || result.ptr != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<geo::Real> ReadDxLatitude(std::string_view text, std::string_view decimalSeparator) {
    return ReadDxDegrees(text, 'N', 'S', decimalSeparator);
}

std::optional<geo::Real> ReadDxLongitude(std::string_view text, std::string_view decimalSeparator) {
    return ReadDxDegrees(text, 'E', 'W', decimalSeparator);
}

std::string LocaliseDxRow(std::string_view row, std::string_view decimalSeparator) {
    if (decimalSeparator == "," || row.empty()) return std::string(row);
    const std::vector<std::string_view> fields = Split(row, std::string_view(&kTab, 1));
    if (fields.size() < 4) return std::string(row);
    std::string out(fields[0]);
    out += kTab;
    out += fields[1];
    out += kTab;
    out += LocaliseDegrees(fields[2], 'N', 'S', decimalSeparator);
    out += kTab;
    out += LocaliseDegrees(fields[3], 'E', 'W', decimalSeparator);
    if (fields.size() > 4 && !fields[4].empty()) {
        out += kTab;
        out += FirstCharacters(fields[4], MaxUtcLength);
    }
    return out;
}

bool DxRecord::operator==(const DxRecord& o) const {
    return Call == o.Call && Country == o.Country && Latitude == o.Latitude && NorthSouth == o.NorthSouth &&
           Longitude == o.Longitude && EastWest == o.EastWest && Utc == o.Utc;
}

std::string DxRecordToRow(const DxRecord& record, std::string_view separator) {
    std::string row = record.Call;
    row += separator;
    row += record.Country;
    row += separator;
    row += record.Latitude + record.NorthSouth;
    row += separator;
    row += record.Longitude + record.EastWest;
    if (!record.Utc.empty()) {
        row += separator;
        row += record.Utc;
    }
    return row;
}

std::optional<std::string> TolerantNumber(std::string_view text, std::string_view decimalSeparator) {
    if (LocaleToFloat(text, decimalSeparator)) return std::string(text);
    const bool comma = Contains(text, ',');
    const bool point = Contains(text, '.');
    if (comma == point) return std::nullopt;  // neither mark, or both
    const char mark = comma ? ',' : '.';
    if (decimalSeparator == std::string_view(&mark, 1)) return std::nullopt;
    std::string converted = ReplaceFirst(text, mark, decimalSeparator);
    if (!LocaleToFloat(converted, decimalSeparator)) return std::nullopt;
    return converted;
}

std::array<DxRecord, UserDxRows> LoadUserDxTable(const std::vector<std::string>& lines, DxList list,
                                                  std::string_view decimalSeparator) {
    std::array<DxRecord, UserDxRows> table;
    for (std::size_t n = 0; n < lines.size() && n < UserDxRows; ++n) {
        const std::string& line = lines[n];
        if (line.empty()) break;
        // Call, Country, Latitude, NorthSouth, Longitude, then the rest: the
        // 11-metre list keeps the rest whole as EastWest, the ham list splits
        // it once more into EastWest and Utc.
        std::vector<std::string_view> fields;
        std::string_view rest = line;
        for (int f = 0; f < 5; ++f) {
            const std::size_t tab = rest.find(kTab);
            if (tab == std::string_view::npos) break;
            fields.push_back(rest.substr(0, tab));
            rest.remove_prefix(tab + 1);
        }
        if (fields.size() < 5) continue;
        DxRecord r;
        r.Call = AsciiUpper(fields[0]);
        r.Country = std::string(fields[1]);
        const std::optional<std::string> latitude = TolerantNumber(fields[2], decimalSeparator);
        const std::optional<std::string> longitude = TolerantNumber(fields[4], decimalSeparator);
        r.NorthSouth = AsciiUpper(fields[3]);
        std::string_view eastWest = rest;
        if (list == DxList::Ham) {
            const std::size_t tab = rest.find(kTab);
            if (tab != std::string_view::npos) {
                eastWest = rest.substr(0, tab);
                r.Utc = FirstCharacters(rest.substr(tab + 1), MaxUtcLength);
            }
        }
        r.EastWest = AsciiUpper(eastWest);
        if (r.Call.empty() || r.Country.empty() || fields[2].empty() || !latitude || fields[4].empty() ||
            !longitude || (r.NorthSouth != "N" && r.NorthSouth != "S") || (r.EastWest != "E" && r.EastWest != "W"))
            continue;
        r.Latitude = *latitude;
        r.Longitude = *longitude;
        table[n] = std::move(r);
    }
    return table;
}

std::vector<DxRecord> UserEntries(const std::array<DxRecord, UserDxRows>& table) {
    std::vector<DxRecord> entries;
    for (const DxRecord& r : table)
        if (!r.Call.empty()) entries.push_back(r);
    return entries;
}

}  // namespace korvalen::dx
