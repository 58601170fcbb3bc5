// The DX lists' texts: the operator's entries as korvalen.ini keeps them
// (DX= and DXCB= lines, edited by hand), the rows of the working list, and
// what is typed into the call box. All three reach these parsers unchecked.
//
// The first byte picks the locale and the operator's choices:
//   bit 0      decimal separator: "." or ","
//   bits 1-2   DX separator: TAB, "_", "/" or "="
//   bit 3      unit: km or statute miles
//   bits 4-7   one of 16 map centres (the poles, the date line, ...)
// The rest, cut at every "\n", is used three ways at once: as the settings
// lines of both lists, as rows to choose, and (the first few) as typed text.
//
// Beyond not crashing, what the panel and the editors rely on:
//   - an entry is loaded exactly when its line is valid, and then holds the
//     line's fields checked and upper-cased; the locale's mark is the only
//     difference between a load under "." and one under ",";
//   - the row of a loaded entry is chosen with a beam, its key, country and
//     UTC field coming back as they went in, its degrees signed by its
//     hemisphere letters;
//   - choosing a row reads it field by field and stops at the first field
//     that fails; the result depends neither on which separator joins the
//     fields nor on the locale (a degrees field may use either mark); a beam
//     lies on the map, its two ranges make the circumference, its readouts
//     say what it holds, and along the centre's meridian or parallel it
//     points where geometry says;
//   - localising a built-in row keeps its fields and its degrees;
//   - the editor's table shows what the load took, keeps every other line
//     that holds text, passes OK unchanged, and what it writes back loads
//     again without a line lost: its entries first, the same calls;
//   - a cell never holds a line break or a TAB, whatever was put in;
//   - the working list is the built-in rows plus the entries, the ham list in
//     word order;
//   - the lookup points inside the list, ignores the case of what is typed,
//     never goes back as the typed text grows, finds a key typed exactly in
//     a list in key order, and on the 11-metre list points at the last
//     number not above the one typed.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dx/call_lookup.h"
#include "dx/dx_panel.h"
#include "dx/dx_row.h"
#include "dx/user_dx_table.h"
#include "fuzz/check.h"
#include "geo/cp1252.h"
#include "geo/geo.h"

using namespace korvalen;
using dx::DxList;
using dx::DxRecord;
using dx::Separator;

namespace {

// Rows chosen and looked up per input, and the length of a typed text: the
// lookups walk rows x characters, and an input of thousands of short lines
// would otherwise spend its time there rather than in new paths.
constexpr std::size_t kRowsUsed = 64;
constexpr std::size_t kTypedUsed = 4;
constexpr std::size_t kTypedLength = 32;
// The "never goes back" check looks up every prefix: short texts only.
constexpr std::size_t kPrefixChecked = 12;

constexpr std::string_view kDecimals[2] = {".", ","};
constexpr Separator kSeparators[4] = {Separator::Default, Separator::Underscore, Separator::Slash, Separator::Equal};

// Exact in binary where a row can name the centre itself (a zero range).
const geo::LatLong kCentres[16] = {
    {0, 0},
    {90, 0},
    {-90, 0},
    {48.5L, 2.25L},
    {35.75L, 14.5L},
    {-33.875L, 18.5L},
    {0, 180},
    {0, -180},
    {89.9375L, -45},
    {-0.5L, 359.5L},
    {51.5L, -0.125L},
    {40.75L, -74},
    {-90, 180},
    {1.25L, 103.75L},
    {64.125L, -21.875L},
    {-54.8125L, -68.25L},
};

const std::string kAzimuthCaption = "Az ";
const std::string kRangeCaption = "Dist ";

// The working lists without entries, for every list, separator and locale:
// filled once, as the built-in tables never change.
std::vector<std::string> gBuiltIn[2][4][2];

int ListIndex(DxList list) { return list == DxList::Ham ? 0 : 1; }

std::vector<std::string_view> Fields(std::string_view row, std::string_view separator) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t at; (at = row.find(separator, start)) != std::string_view::npos; start = at + separator.size())
        fields.push_back(row.substr(start, at - start));
    fields.push_back(row.substr(start));
    return fields;
}

std::string Join(const std::vector<std::string_view>& fields, std::size_t from, std::string_view separator) {
    std::string out;
    for (std::size_t i = from; i < fields.size(); ++i) {
        if (i > from) out += separator;
        out += fields[i];
    }
    return out;
}

std::string Replaced(std::string_view text, char from, char to) {
    std::string out(text);
    std::replace(out.begin(), out.end(), from, to);
    return out;
}

std::string AsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool HasLowerAscii(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Characters as the UTC field's limit counts them: a new one at the first
// byte and at every later byte that does not continue a UTF-8 sequence.
std::size_t CharacterCount(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i == 0 || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++n;
    return n;
}

// The key the lookup sees in a row: the text before the first separator.
std::optional<std::string_view> KeyOf(std::string_view row, std::string_view separator) {
    const std::size_t at = row.find(separator);
    if (at == std::string_view::npos) return std::nullopt;
    return row.substr(0, at);
}

bool SameBeam(const dx::DxBeam& a, const dx::DxBeam& b) {
    return a.azimuth == b.azimuth && a.range == b.range && a.longAzimuth == b.longAzimuth &&
           a.longRange == b.longRange && a.marker.x == b.marker.x && a.marker.y == b.marker.y &&
           a.readouts.shortPath == b.readouts.shortPath && a.readouts.longPath == b.readouts.longPath;
}

struct Setup {
    std::string_view decimal;
    Separator separatorChoice;
    std::string_view separator;
    geo::Real unit;
    geo::LatLong centre;
};

dx::RowChoice Choose(std::string_view row, std::string_view separator, std::string_view decimal, const Setup& s) {
    return dx::ChooseRow(row, separator, decimal, s.centre, s.unit, kAzimuthCaption, kRangeCaption);
}

void CheckBeam(const dx::DxBeam& beam, const Setup& s) {
    KORVALEN_FUZZ_CHECK(beam.azimuth >= 0 && beam.azimuth <= 360, "the azimuth is 0-360");
    KORVALEN_FUZZ_CHECK(beam.longAzimuth >= 0 && beam.longAzimuth < 360, "the long-path azimuth is 0-359");
    const int opposite = (beam.azimuth + 180) % 360;
    const int turn = std::abs(beam.longAzimuth - opposite);
    KORVALEN_FUZZ_CHECK(turn <= 1 || turn >= 359, "the long path points the other way");
    // Half the circumference at a nautical mile per minute of arc.
    const long long halfWay = geo::Nint(geo::RangeToDistance(geo::Pi, s.unit));
    const long long around = geo::Nint(40000 / s.unit);
    KORVALEN_FUZZ_CHECK(beam.range >= 0 && beam.range <= halfWay, "the range is at most half way round");
    KORVALEN_FUZZ_CHECK(beam.longRange >= 0, "the long-path range is not negative");
    const long long total = static_cast<long long>(beam.range) + beam.longRange;
    KORVALEN_FUZZ_CHECK(total >= around - 1 && total <= around + 1, "both paths make the circumference");
    const long long dx = beam.marker.x - geo::MapRadius;
    const long long dy = beam.marker.y - geo::MapRadius;
    KORVALEN_FUZZ_CHECK(dx * dx + dy * dy <= (geo::MapRadius + 1) * (geo::MapRadius + 1),
                        "the marker lies on the map's disc");
    const std::string unit = geo::UnitText(s.unit);
    KORVALEN_FUZZ_CHECK(beam.readouts.shortPath == kAzimuthCaption + std::to_string(beam.azimuth) + "\u00b0 / " +
                                                       kRangeCaption + std::to_string(beam.range) + unit,
                        "the short-path readout shows the beam");
    KORVALEN_FUZZ_CHECK(beam.readouts.longPath == kAzimuthCaption + std::to_string(beam.longAzimuth) + "\u00b0 / " +
                                                      kRangeCaption + std::to_string(beam.longRange) + unit,
                        "the long-path readout shows the beam");
}

// Choosing @p row, checked against the row cut into all its fields.
dx::RowChoice CheckChoice(std::string_view row, std::string_view separator, std::string_view decimal, const Setup& s) {
    const dx::RowChoice c = Choose(row, separator, decimal, s);
    const std::vector<std::string_view> f = Fields(row, separator);

    KORVALEN_FUZZ_CHECK(c.hint.rfind("  ", 0) == 0, "the hint starts with two blanks");
    KORVALEN_FUZZ_CHECK(c.hint == "  " + Join(f, 0, "  "), "the hint has two blanks for every separator");
    KORVALEN_FUZZ_CHECK(c.key.has_value() == (f.size() >= 2), "a key exactly when the row has a separator");
    if (c.key) KORVALEN_FUZZ_CHECK(*c.key == f[0], "the key is the first field");
    KORVALEN_FUZZ_CHECK(c.country.has_value() == (f.size() >= 3), "a country exactly from two separators on");
    if (c.country) KORVALEN_FUZZ_CHECK(*c.country == f[1], "the country is the second field");

    const std::optional<geo::Real> latitude =
        f.size() >= 4 ? dx::ReadDxLatitude(f[2], decimal) : std::optional<geo::Real>();
    KORVALEN_FUZZ_CHECK(c.utc.has_value() == latitude.has_value(), "a UTC text exactly once the latitude is read");
    if (c.utc) {
        const std::string rest = Join(f, 4, separator);
        KORVALEN_FUZZ_CHECK(*c.utc == dx::FirstCharacters(rest, dx::MaxUtcLength),
                            "the UTC text is the rest of the row, cut to its length");
        KORVALEN_FUZZ_CHECK(CharacterCount(*c.utc) <= dx::MaxUtcLength, "the UTC text is at most 100 characters");
    }
    const std::optional<geo::Real> longitude =
        latitude ? dx::ReadDxLongitude(f[3], decimal) : std::optional<geo::Real>();
    KORVALEN_FUZZ_CHECK(c.beam.has_value() == longitude.has_value(), "a beam exactly when both degrees are read");
    if (!c.beam) return c;
    CheckBeam(*c.beam, s);
    if (*latitude == s.centre.latitude && *longitude == s.centre.longitude) {
        KORVALEN_FUZZ_CHECK(c.beam->range == 0 && c.beam->azimuth == 0 && c.beam->longAzimuth == 180,
                            "the centre itself is at range 0, azimuth 0");
    }
    // Where the answer is plain geometry, the degrees must have been read
    // with their hemispheres: along the centre's meridian the beam points
    // north or south and the range is the difference in latitude; along its
    // parallel it points to the side the longitude lies on.
    const bool awayFromPoles = std::fabs(*latitude) <= 89 && std::fabs(s.centre.latitude) <= 89;
    const geo::Real north = *latitude - s.centre.latitude;
    const geo::Real east = *longitude - s.centre.longitude;
    if (awayFromPoles && east == 0 && std::fabs(north) >= 0.01L) {
        KORVALEN_FUZZ_CHECK(c.beam->azimuth == (north > 0 ? 0 : 180),
                            "along the meridian the beam points north or south");
        const geo::Real distance = std::fabs(north) * 60 * 1.852L / s.unit;
        KORVALEN_FUZZ_CHECK(std::fabs(c.beam->range - distance) <= 1, "along the meridian the range is the latitude's");
    }
    if (awayFromPoles && north == 0 && std::fabs(east) >= 0.01L && std::fabs(east) <= 179.99L) {
        // Where the great circle crosses the pole, either way starts due
        // north, and west of the centre that is 0, not 360.
        if (east > 0) {
            KORVALEN_FUZZ_CHECK(c.beam->azimuth <= 180, "a DX east along the parallel is to the east");
        } else {
            KORVALEN_FUZZ_CHECK(c.beam->azimuth >= 180 || c.beam->azimuth == 0,
                                "a DX west along the parallel is to the west");
        }
    }
    return c;
}

void CheckRow(std::string_view row, const Setup& s) {
    const dx::RowChoice c = CheckChoice(row, s.separator, s.decimal, s);

    // A degrees field may carry either mark whatever the locale, so the
    // locale cannot change what a row gives.
    const std::string_view otherDecimal = s.decimal == "." ? "," : ".";
    const dx::RowChoice o = Choose(row, s.separator, otherDecimal, s);
    KORVALEN_FUZZ_CHECK(o.key == c.key && o.country == c.country && o.utc == c.utc &&
                            o.beam.has_value() == c.beam.has_value() && (!c.beam || SameBeam(*o.beam, *c.beam)),
                        "the locale's decimal mark does not change a chosen row");

    // The same fields joined by another separator are the same row.
    for (Separator other : kSeparators) {
        const std::string_view to = dx::SeparatorText(other);
        if (to == s.separator || row.find(to) != std::string_view::npos) continue;
        const std::string moved = Replaced(row, s.separator.front(), to.front());
        const dx::RowChoice m = Choose(moved, to, s.decimal, s);
        KORVALEN_FUZZ_CHECK(m.hint == c.hint, "the hint does not show the separator");
        KORVALEN_FUZZ_CHECK(m.key == c.key && m.country == c.country, "the separator does not change the fields");
        KORVALEN_FUZZ_CHECK(m.utc.has_value() == c.utc.has_value() &&
                                (!c.utc || *m.utc == Replaced(*c.utc, s.separator.front(), to.front())),
                            "the separator does not change the UTC text");
        KORVALEN_FUZZ_CHECK(m.beam.has_value() == c.beam.has_value() && (!c.beam || SameBeam(*m.beam, *c.beam)),
                            "the separator does not change the beam");
        break;
    }
}

// The built-in shape of a degrees field: digits, at most one decimal comma,
// the hemisphere letter last. Localising is for those rows only.
bool BuiltInDegrees(std::string_view field, char positive, char negative) {
    if (field.size() < 2 || (field.back() != positive && field.back() != negative)) return false;
    const std::string_view number = field.substr(0, field.size() - 1);
    if (std::count(number.begin(), number.end(), ',') > 1) return false;
    return std::all_of(number.begin(), number.end(), [](char c) { return c == ',' || (c >= '0' && c <= '9'); });
}

void CheckLocalised(std::string_view row) {
    KORVALEN_FUZZ_CHECK(dx::LocaliseDxRow(row, ",") == row, "a row is already in the comma locale");
    const std::string out = dx::LocaliseDxRow(row, ".");
    const std::vector<std::string_view> f = Fields(row, "\t");
    if (row.empty() || f.size() < 4) {
        KORVALEN_FUZZ_CHECK(out == row, "a row of fewer than four fields is left alone");
        return;
    }
    const std::vector<std::string_view> g = Fields(out, "\t");
    const bool withUtc = f.size() > 4 && !f[4].empty();
    KORVALEN_FUZZ_CHECK(g.size() == (withUtc ? 5u : 4u), "a localised row has its four or five fields");
    KORVALEN_FUZZ_CHECK(g[0] == f[0] && g[1] == f[1], "localising keeps the key and the country");
    if (withUtc) KORVALEN_FUZZ_CHECK(g[4] == dx::FirstCharacters(f[4], dx::MaxUtcLength), "localising keeps the UTC");

    auto same = [](std::optional<geo::Real> before, std::optional<geo::Real> after) {
        if (!before || std::fabs(*before) > 1e300L) return true;  // rounding up could leave double's range
        return after && std::fabs(*after - *before) <= 1e-300L + 1e-14L * std::fabs(*before);
    };
    if (BuiltInDegrees(f[2], 'N', 'S'))
        KORVALEN_FUZZ_CHECK(same(dx::ReadDxLatitude(f[2], ","), dx::ReadDxLatitude(g[2], ".")),
                            "a localised latitude reads as the same degrees");
    if (BuiltInDegrees(f[3], 'E', 'W'))
        KORVALEN_FUZZ_CHECK(same(dx::ReadDxLongitude(f[3], ","), dx::ReadDxLongitude(g[3], ".")),
                            "a localised longitude reads as the same degrees");
}

// What the line must hold to load, read from the line cut at every TAB.
std::optional<DxRecord> ExpectedEntry(std::string_view line, DxList list, std::string_view decimal) {
    const std::vector<std::string_view> f = Fields(line, "\t");
    if (f.size() < 6 || (list == DxList::ElevenMetre && f.size() != 6)) return std::nullopt;
    DxRecord r;
    r.Call = AsciiUpper(f[0]);
    r.Country = std::string(f[1]);
    const std::optional<std::string> latitude = dx::TolerantNumber(f[2], decimal);
    r.NorthSouth = AsciiUpper(f[3]);
    const std::optional<std::string> longitude = dx::TolerantNumber(f[4], decimal);
    r.EastWest = AsciiUpper(f[5]);
    if (f.size() > 6) r.Utc = dx::FirstCharacters(Join(f, 6, "\t"), dx::MaxUtcLength);
    if (r.Call.empty() || r.Country.empty() || !latitude || !longitude ||
        (r.NorthSouth != "N" && r.NorthSouth != "S") || (r.EastWest != "E" && r.EastWest != "W"))
        return std::nullopt;
    r.Latitude = *latitude;
    r.Longitude = *longitude;
    return r;
}

std::array<DxRecord, dx::UserDxRows> CheckLoad(const std::vector<std::string>& lines, DxList list,
                                               std::string_view decimal) {
    const std::array<DxRecord, dx::UserDxRows> table = dx::LoadUserDxTable(lines, list, decimal);
    bool ended = false;
    for (std::size_t n = 0; n < table.size(); ++n) {
        const DxRecord& r = table[n];
        ended = ended || n >= lines.size() || lines[n].empty();
        const std::optional<DxRecord> expected = ended ? std::nullopt : ExpectedEntry(lines[n], list, decimal);
        if (!expected) {
            KORVALEN_FUZZ_CHECK(r == DxRecord(), "an invalid, missing or late line leaves its row empty");
            continue;
        }
        KORVALEN_FUZZ_CHECK(r == *expected, "a valid line is loaded into its own row, checked and upper-cased");
        // What the editors and the list rely on, whatever the line held.
        KORVALEN_FUZZ_CHECK(!r.Call.empty() && !r.Country.empty(), "an entry has a call and a country");
        KORVALEN_FUZZ_CHECK(!HasLowerAscii(r.Call), "an entry's call is upper case");
        KORVALEN_FUZZ_CHECK(r.NorthSouth == "N" || r.NorthSouth == "S", "an entry's latitude is N or S");
        KORVALEN_FUZZ_CHECK(r.EastWest == "E" || r.EastWest == "W", "an entry's longitude is E or W");
        KORVALEN_FUZZ_CHECK(CharacterCount(r.Utc) <= dx::MaxUtcLength, "an entry's UTC is at most 100 characters");
        KORVALEN_FUZZ_CHECK(list == DxList::Ham || r.Utc.empty(), "an 11-metre entry has no UTC");
        KORVALEN_FUZZ_CHECK(dx::TolerantNumber(r.Latitude, decimal) == r.Latitude &&
                                dx::TolerantNumber(r.Longitude, decimal) == r.Longitude,
                            "an entry's degrees pass the check unchanged");
        KORVALEN_FUZZ_CHECK(dx::LocaleToFloat(r.Latitude, decimal) && dx::LocaleToFloat(r.Longitude, decimal),
                            "an entry's degrees are numbers in the locale");
    }

    const std::vector<DxRecord> entries = dx::UserEntries(table);
    std::size_t next = 0;
    for (const DxRecord& r : table)
        if (!r.Call.empty()) {
            KORVALEN_FUZZ_CHECK(next < entries.size() && entries[next] == r,
                                "the entries are the filled rows in order");
            ++next;
        }
    KORVALEN_FUZZ_CHECK(next == entries.size(), "the entries are only the filled rows");
    return table;
}

// The calls of lines, as a load would read them (upper-cased), sorted.
std::vector<std::string> CallsOf(const std::vector<std::string>& lines) {
    std::vector<std::string> calls;
    for (const std::string& line : lines) calls.push_back(AsciiUpper(line.substr(0, line.find('\t'))));
    std::sort(calls.begin(), calls.end());
    return calls;
}

void CheckEditorTable(const std::vector<std::string>& lines, DxList list, std::string_view decimal,
                      const std::array<DxRecord, dx::UserDxRows>& loaded) {
    dx::UserDxTable table(list);
    table.Load(lines, decimal);
    std::vector<std::string> kept;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const bool taken = n < dx::UserDxRows && !loaded[n].Call.empty();
        if (!taken && !lines[n].empty()) kept.push_back(lines[n]);
    }
    KORVALEN_FUZZ_CHECK(table.KeptLines() == kept, "every line with text the table did not take is kept, in order");
    for (std::size_t n = 0; n < dx::UserDxRows; ++n) {
        const DxRecord& r = loaded[n];
        const std::string* fields[] = {&r.Call, &r.Country, &r.Latitude, &r.NorthSouth, &r.Longitude, &r.EastWest, &r.Utc};
        for (int c = 0; c < table.ColumnCount(); ++c)
            KORVALEN_FUZZ_CHECK(table.Cell(static_cast<int>(n) + 1, c) == *fields[c], "the table shows what the load took");
    }
    const std::vector<DxRecord> entries = table.Entries();
    KORVALEN_FUZZ_CHECK(entries == dx::UserEntries(loaded), "the table's entries are the loaded ones");

    dx::UserDxTable checked = table;
    KORVALEN_FUZZ_CHECK(!checked.CheckRows(decimal), "OK passes what the load took");
    KORVALEN_FUZZ_CHECK(checked.Entries() == entries, "OK leaves what the load took as it is");

    // Written back and read at the next start, twice: no line lost, the
    // entries first, the same calls.
    std::vector<std::string> written = table.SettingsLines();
    KORVALEN_FUZZ_CHECK(written.size() == entries.size() + kept.size(), "every entry and every kept line is written");
    for (int round = 0; round < 2; ++round) {
        dx::UserDxTable next(list);
        next.Load(written, decimal);
        const std::vector<DxRecord> again = next.Entries();
        KORVALEN_FUZZ_CHECK(again.size() >= entries.size() && std::equal(entries.begin(), entries.end(), again.begin()),
                            "the entries come back first, as they were");
        const std::vector<std::string> rewritten = next.SettingsLines();
        KORVALEN_FUZZ_CHECK(rewritten.size() == written.size(), "no stored line is lost from one start to the next");
        KORVALEN_FUZZ_CHECK(CallsOf(rewritten) == CallsOf(written), "the same calls are stored from one start to the next");
        written = rewritten;
    }

    // Whatever is put into a cell, it holds no line break and no TAB.
    for (std::size_t n = 0; n < lines.size() && n < kTypedUsed; ++n) {
        table.SetCell(1, static_cast<int>(n) % table.ColumnCount(), lines[n]);
        const std::string& cell = table.Cell(1, static_cast<int>(n) % table.ColumnCount());
        KORVALEN_FUZZ_CHECK(cell.find_first_of("\r\n\t") == std::string::npos, "a cell holds no line break or TAB");
        std::string expected = lines[n];
        expected.erase(std::remove_if(expected.begin(), expected.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; }),
                       expected.end());
        KORVALEN_FUZZ_CHECK(cell == expected, "a cell keeps everything else");
    }
}

// The row of every loaded entry is chosen whole: its degrees are numbers in
// the locale and its hemisphere letters are the fields' last characters.
void CheckEntryRow(const DxRecord& r, std::string_view separator, const Setup& s) {
    // The degrees of an entry's row are the entry's numbers, signed by the
    // hemisphere letters the row carries after them.
    const geo::Real latitude = static_cast<geo::Real>(*dx::LocaleToFloat(r.Latitude, s.decimal));
    const geo::Real longitude = static_cast<geo::Real>(*dx::LocaleToFloat(r.Longitude, s.decimal));
    KORVALEN_FUZZ_CHECK(
        dx::ReadDxLatitude(r.Latitude + r.NorthSouth, s.decimal) == (r.NorthSouth == "S" ? -latitude : latitude),
        "an entry's latitude reads back with its hemisphere");
    KORVALEN_FUZZ_CHECK(
        dx::ReadDxLongitude(r.Longitude + r.EastWest, s.decimal) == (r.EastWest == "W" ? -longitude : longitude),
        "an entry's longitude reads back with its hemisphere");

    const std::string row = dx::DxRecordToRow(r, separator);
    const dx::RowChoice c = CheckChoice(row, separator, s.decimal, s);
    // A call or a country holding the separator moves the fields along.
    if (r.Call.find(separator) != std::string::npos || r.Country.find(separator) != std::string::npos) return;
    KORVALEN_FUZZ_CHECK(c.key == r.Call && c.country == r.Country, "an entry's row gives its call and country");
    KORVALEN_FUZZ_CHECK(c.utc == r.Utc, "an entry's row gives its UTC");
    KORVALEN_FUZZ_CHECK(c.beam.has_value(), "an entry's row gives a beam");
}

void CheckFill(DxList list, const std::vector<DxRecord>& entries, const Setup& s,
               const std::vector<std::string>& builtIn, const std::vector<std::string>& filled) {
    KORVALEN_FUZZ_CHECK(filled.size() == builtIn.size() + entries.size(),
                        "the list is the built-in rows and the entries");
    std::vector<std::string> entryRows;
    for (const DxRecord& r : entries) entryRows.push_back(dx::DxRecordToRow(r, s.separator));
    if (list == DxList::ElevenMetre) {
        KORVALEN_FUZZ_CHECK(std::equal(builtIn.begin(), builtIn.end(), filled.begin()) &&
                                std::equal(entryRows.begin(), entryRows.end(), filled.begin() + builtIn.size()),
                            "the 11-metre list keeps the built-in order, the entries after");
        return;
    }
    // The built-in rows, in word order already (checked once at start), must
    // come out in their order with the entries slotted in between; then only
    // the pairs next to an entry can be out of order. Checking those alone
    // keeps an input with entries from costing a thousand sort keys.
    std::size_t next = 0;
    std::vector<std::string> slotted;
    for (std::size_t i = 0; i < filled.size(); ++i) {
        if (next < builtIn.size() && filled[i] == builtIn[next]) {
            ++next;
            continue;
        }
        slotted.push_back(filled[i]);
        if (i > 0)
            KORVALEN_FUZZ_CHECK(!dx::WordSortLess(filled[i], filled[i - 1]), "an entry is not before its predecessor");
        if (i + 1 < filled.size())
            KORVALEN_FUZZ_CHECK(!dx::WordSortLess(filled[i + 1], filled[i]), "an entry is not after its successor");
    }
    KORVALEN_FUZZ_CHECK(next == builtIn.size(), "the ham list keeps every built-in row in word order");
    std::sort(slotted.begin(), slotted.end());
    std::sort(entryRows.begin(), entryRows.end());
    KORVALEN_FUZZ_CHECK(slotted == entryRows, "the ham list holds the entries");
}

dx::CallLookup CheckLookup(const std::vector<std::string>& rows, std::string_view typed, DxList list,
                           std::string_view separator) {
    using Outcome = dx::CallLookup::Outcome;
    const dx::CallLookup l = dx::LookupCall(rows, typed, list, separator);
    if (typed.empty()) {
        KORVALEN_FUZZ_CHECK(l.outcome == Outcome::Nothing, "an empty call box changes nothing");
        return l;
    }
    KORVALEN_FUZZ_CHECK(l.outcome != Outcome::Nothing, "a typed text is acted on");
    if (l.outcome == Outcome::Row)
        KORVALEN_FUZZ_CHECK(rows.empty() ? l.row == 0 : l.row < rows.size(), "the row found is in the list");

    if (list == DxList::Ham) {
        KORVALEN_FUZZ_CHECK(l.outcome == Outcome::Row, "the ham list never beeps");
        if (l.row == 0) return l;
        const std::optional<std::string_view> key = KeyOf(rows[l.row], separator);
        KORVALEN_FUZZ_CHECK(key.has_value(), "a row the walk moved to has a key");
        const std::string key8 = text::Utf8ToCp1252(*key);
        const std::string typed8 = AsciiUpper(text::Utf8ToCp1252(typed));
        KORVALEN_FUZZ_CHECK(
            !key8.empty() && static_cast<unsigned char>(key8[0]) <= static_cast<unsigned char>(typed8[0]),
            "the walk moves only to keys not past the first character typed");
        return l;
    }

    const std::optional<int> number = geo::ParseDecimalInteger(std::string(typed));
    if (!number) {
        KORVALEN_FUZZ_CHECK(l.outcome == Outcome::Beep, "the 11-metre list beeps at a text that is not a number");
        return l;
    }
    // The numbered rows in order; the walk reads them until one is larger.
    std::vector<std::pair<std::size_t, std::optional<int>>> keyed;
    for (std::size_t j = 0; j < rows.size(); ++j)
        if (const std::optional<std::string_view> key = KeyOf(rows[j], separator); key)
            keyed.emplace_back(j, geo::ParseDecimalInteger(std::string(*key)));
    std::size_t read = 0;
    while (read < keyed.size() && keyed[read].second && *keyed[read].second <= *number) ++read;
    const bool stoppedAtLarger = read < keyed.size() && keyed[read].second;
    if (read < keyed.size() && !stoppedAtLarger) {
        KORVALEN_FUZZ_CHECK(l.outcome == Outcome::Beep, "a key that is not a number before the place found beeps");
        return l;
    }
    KORVALEN_FUZZ_CHECK(l.outcome == Outcome::Row, "a number finds a row when the keys read are numbers");
    const std::size_t expected = read > 0 ? keyed[read - 1].first : 0;
    KORVALEN_FUZZ_CHECK(l.row == expected, "the 11-metre lookup finds the last number not above the one typed");
    return l;
}

bool SameLookup(const dx::CallLookup& a, const dx::CallLookup& b) { return a.outcome == b.outcome && a.row == b.row; }

dx::CallLookup CheckTyped(const std::vector<std::string>& rows, std::string_view typed, DxList list,
                          std::string_view separator) {
    const dx::CallLookup l = CheckLookup(rows, typed, list, separator);
    KORVALEN_FUZZ_CHECK(SameLookup(l, dx::LookupCall(rows, AsciiLower(typed), list, separator)) &&
                            SameLookup(l, dx::LookupCall(rows, AsciiUpper(typed), list, separator)),
                        "the case of the typed letters does not matter");
    if (list != DxList::Ham || typed.size() > kPrefixChecked || !IsAscii(typed)) return l;
    std::size_t before = 0;
    for (std::size_t n = 1; n < typed.size(); ++n) {
        const dx::CallLookup p = dx::LookupCall(rows, typed.substr(0, n), list, separator);
        KORVALEN_FUZZ_CHECK(p.row >= before && p.row <= l.row, "typing on never moves the ham lookup back");
        before = p.row;
    }
    return l;
}

// On a list whose keys, in the program's 8-bit set, are each there once and
// in byte order, the walk meets every key on its way: typing a key exactly
// finds its row. The list is made of the input's rows, their keys
// upper-cased as typing is, sorted by key.
void CheckExactKeys(const std::vector<std::string>& rows, std::string_view separator) {
    std::vector<std::pair<std::string, std::string>> byKey;
    for (const std::string& row : rows) {
        const std::optional<std::string_view> key = KeyOf(row, separator);
        if (!key || key->empty()) continue;
        const std::string upper = AsciiUpper(*key);
        byKey.emplace_back(text::Utf8ToCp1252(upper), upper + row.substr(key->size()));
    }
    std::sort(byKey.begin(), byKey.end());
    byKey.erase(
        std::unique(byKey.begin(), byKey.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
        byKey.end());
    std::vector<std::string> sorted;
    for (const auto& entry : byKey) sorted.push_back(entry.second);
    for (std::size_t m = 0; m < sorted.size() && m < kTypedUsed; ++m) {
        const std::string_view key = *KeyOf(sorted[m], separator);
        const dx::CallLookup l = dx::LookupCall(sorted, key, DxList::Ham, separator);
        KORVALEN_FUZZ_CHECK(l.outcome == dx::CallLookup::Outcome::Row && l.row == m,
                            "typing a key exactly finds its row in a list in key order");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    for (DxList list : {DxList::Ham, DxList::ElevenMetre})
        for (int sep = 0; sep < 4; ++sep)
            for (int dec = 0; dec < 2; ++dec)
                gBuiltIn[ListIndex(list)][sep][dec] = dx::FillDxList(list, kSeparators[sep], {}, kDecimals[dec]);
    for (const auto& bySeparator : gBuiltIn[ListIndex(DxList::Ham)])
        for (const std::vector<std::string>& rows : bySeparator)
            KORVALEN_FUZZ_CHECK(
                std::is_sorted(rows.begin(), rows.end(),
                               [](const std::string& a, const std::string& b) { return dx::WordSortLess(a, b); }),
                "the built-in ham list is in word order");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const unsigned config = data[0];
    Setup s;
    const int dec = config & 1;
    const int sep = (config >> 1) & 3;
    s.decimal = kDecimals[dec];
    s.separatorChoice = kSeparators[sep];
    s.separator = dx::SeparatorText(s.separatorChoice);
    s.unit = (config & 8) ? geo::StatuteMileFactor : geo::KilometreFactor;
    s.centre = kCentres[config >> 4];

    const std::vector<std::string_view> cut =
        Fields(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), "\n");
    const std::vector<std::string> lines(cut.begin(), cut.end());

    // The operator's entries, both lists, both locales.
    std::array<DxRecord, dx::UserDxRows> tables[2][2];
    for (DxList list : {DxList::Ham, DxList::ElevenMetre})
        for (int d = 0; d < 2; ++d) tables[ListIndex(list)][d] = CheckLoad(lines, list, kDecimals[d]);
    for (DxList list : {DxList::Ham, DxList::ElevenMetre})
        CheckEditorTable(lines, list, s.decimal, tables[ListIndex(list)][dec]);
    for (int l = 0; l < 2; ++l)
        for (std::size_t n = 0; n < dx::UserDxRows; ++n) {
            DxRecord point = tables[l][0][n];
            point.Latitude = Replaced(point.Latitude, '.', ',');
            point.Longitude = Replaced(point.Longitude, '.', ',');
            KORVALEN_FUZZ_CHECK(point == tables[l][1][n], "the locale changes nothing but the entries' decimal mark");
        }
    for (std::size_t n = 0; n < dx::UserDxRows; ++n)
        if (n < lines.size() && std::count(lines[n].begin(), lines[n].end(), '\t') == 5)
            KORVALEN_FUZZ_CHECK(tables[0][dec][n] == tables[1][dec][n], "a line without UTC loads alike in both lists");

    for (DxList list : {DxList::Ham, DxList::ElevenMetre}) {
        const std::vector<DxRecord> entries = dx::UserEntries(tables[ListIndex(list)][dec]);
        for (const DxRecord& r : entries) {
            CheckEntryRow(r, "\t", s);
            if (s.separator != "\t") CheckEntryRow(r, s.separator, s);
        }
        const std::vector<std::string>& builtIn = gBuiltIn[ListIndex(list)][sep][dec];
        std::vector<std::string> filled;
        if (!entries.empty()) {
            filled = dx::FillDxList(list, s.separatorChoice, entries, s.decimal);
            CheckFill(list, entries, s, builtIn, filled);
        }
        const std::vector<std::string>& working = entries.empty() ? builtIn : filled;
        // What the operator types against the list the panel shows, and the
        // row it then chooses. The case and prefix checks walk the whole
        // list several times: the first typed text only.
        for (std::size_t t = 0; t < lines.size() && t < kTypedUsed; ++t) {
            const std::string_view typed = std::string_view(lines[t]).substr(0, kTypedLength);
            const dx::CallLookup l =
                t == 0 ? CheckTyped(working, typed, list, s.separator) : CheckLookup(working, typed, list, s.separator);
            if (l.outcome == dx::CallLookup::Outcome::Row) CheckChoice(working[l.row], s.separator, s.decimal, s);
        }
    }

    // The lines as rows of a list of their own.
    const std::vector<std::string> rows(lines.begin(), lines.begin() + std::min(lines.size(), kRowsUsed));
    for (const std::string& row : rows) {
        CheckRow(row, s);
        CheckLocalised(row);
    }
    for (std::size_t t = 0; t < rows.size() && t < kTypedUsed; ++t) {
        const std::string_view typed = std::string_view(rows[t]).substr(0, kTypedLength);
        for (DxList list : {DxList::Ham, DxList::ElevenMetre}) CheckTyped(rows, typed, list, s.separator);
    }
    CheckExactKeys(rows, s.separator);
    return 0;
}
