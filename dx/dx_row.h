#pragma once
// The text form shared by every DX list: one row per entry, its fields
// joined by the DX separator (TAB unless the operator chose another):
//   key, country, latitude + N/S, longitude + E/W [, UTC field]
// and the operator's own entries (DxRecord) as the settings file keeps them.
//
// Numbers follow the locale: the caller hands in the locale's decimal
// separator (UTF-8, usually "." or ","), so this library needs no Qt and the
// same rules can be checked under any locale.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "geo/geo.h"
#include "settings/settings.h"

namespace korvalen::dx {

using DxList = settings::DxList;
using Separator = settings::Separator;

/// The character a separator choice joins the fields with.
std::string_view SeparatorText(Separator separator);

/// The longest UTC field shown, in characters.
inline constexpr std::size_t MaxUtcLength = 100;

/// @p text with the ASCII letters a-z in upper case, every other byte as
/// it is (calls and hemisphere letters are upper-cased so, whatever the
/// locale).
std::string AsciiUpper(std::string_view text);

/// The first @p count characters (not bytes) of UTF-8 @p text.
std::string FirstCharacters(std::string_view text, std::size_t count);

/// The locale's float conversion: optional blanks, an optional sign, digits
/// with at most one decimal separator (the locale's), an optional exponent,
/// optional blanks. No grouping, nothing else.
std::optional<double> LocaleToFloat(std::string_view text, std::string_view decimalSeparator);

/// The latitude field of a row ("42,83N", "45.5S") as signed degrees, north
/// positive; nullopt when the row is to be rejected. The hemisphere letter
/// is the last character; a comma or a point (not both) is the decimal mark.
std::optional<geo::Real> ReadDxLatitude(std::string_view text, std::string_view decimalSeparator);
/// The longitude field ("12,83E", "97W"), east positive.
std::optional<geo::Real> ReadDxLongitude(std::string_view text, std::string_view decimalSeparator);

/// A built-in row (TAB-separated, decimal comma) with its degrees written in
/// the locale's notation. Unchanged when the locale's mark is a comma, and
/// for rows of fewer than four fields.
std::string LocaliseDxRow(std::string_view row, std::string_view decimalSeparator);

/// One of the operator's own DX entries. The 11-metre list leaves Utc empty.
struct DxRecord {
    std::string Call;
    std::string Country;
    std::string Latitude;
    std::string NorthSouth;
    std::string Longitude;
    std::string EastWest;
    std::string Utc;

    bool operator==(const DxRecord& o) const;
};

/// The DX row of an entry: Call, Country, Latitude+NorthSouth,
/// Longitude+EastWest and Utc when not empty, joined by @p separator.
std::string DxRecordToRow(const DxRecord& record, std::string_view separator);

/// The rows of an operator's list: at most this many entries.
inline constexpr std::size_t UserDxRows = 99;

/// The tolerant check of a typed or stored number: the text itself when it
/// converts, else with its one comma or point turned into the locale's mark
/// when that converts; nullopt when invalid.
std::optional<std::string> TolerantNumber(std::string_view text, std::string_view decimalSeparator);

/// An operator's list as loaded at start from the settings lines (the text
/// after "DX=" or "DXCB=", in file order): row n holds line n when that line
/// is a valid entry, checked and upper-cased; an invalid line leaves its row
/// empty; an empty line ends the loading; lines past the 99th are not loaded.
std::array<DxRecord, UserDxRows> LoadUserDxTable(const std::vector<std::string>& lines, DxList list,
                                                  std::string_view decimalSeparator);

/// The operator's entries of a loaded table, in table order: the rows whose
/// Call is not empty.
std::vector<DxRecord> UserEntries(const std::array<DxRecord, UserDxRows>& table);

}  // namespace korvalen::dx
