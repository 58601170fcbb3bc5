#pragma once
// The DX panel's rules: the working list built from a built-in table and the
// operator's entries, its word sort, and what choosing a row computes (the
// short- and long-path bearing and range, the marker's place on the map, the
// azimuth for the rotator). The viewer holds the widgets and applies these.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dx/dx_row.h"
#include "geo/geo.h"
#include "geo/readout.h"

namespace korvalen::dx {

/// The order of the ham working list, the same on every machine and in
/// every locale: whole rows compared case-insensitively, hyphens and
/// apostrophes ignored, blanks and punctuation before digits, digits before
/// letters, accented letters with their base letter. Rows equal by these
/// rules keep a fixed order by their bytes.
bool WordSortLess(std::string_view a, std::string_view b);

/// The working list: the built-in rows of @p list in the locale's notation
/// with @p separator between fields, then the operator's entries; the ham
/// list sorted by WordSortLess, the 11-metre list in its stored order.
std::vector<std::string> FillDxList(DxList list, Separator separator, const std::vector<DxRecord>& userEntries,
                                    std::string_view decimalSeparator);

/// The list's hint for a row: two blanks, then the row with two blanks in
/// place of every separator.
std::string RowHint(std::string_view row, std::string_view separator);

/// The readout of a chosen DX, with the marker's centre on the 600 × 600 map.
struct DxBeam {
    int azimuth = 0;       ///< short path, whole degrees, 0-360
    int range = 0;         ///< short path, in the unit
    int longAzimuth = 0;   ///< long path, 0-359
    int longRange = 0;     ///< long path, in the unit
    geo::MapPixel marker;  ///< the DX on the map (the centre is 300, 300)
    geo::ReadoutTexts readouts;
};

/// What choosing a row does. The steps stop at the first field that cannot
/// be split or read: the hint is always new; the key (for the call box) when
/// the row has a separator; the UTC box's new text once the longitude field
/// was reached; the beam only when the whole row was read. A choice without
/// a beam is rejected with a beep.
struct RowChoice {
    std::string hint;
    std::optional<std::string> key;
    std::optional<std::string> country;
    std::optional<std::string> utc;
    std::optional<DxBeam> beam;
};

/// Chooses @p row from the map centre @p centre. Bearing and range by the
/// great circle; ranges at one nautical mile per minute of arc and the long
/// path as the 40000 km circumference less the short path.
RowChoice ChooseRow(std::string_view row, std::string_view separator, std::string_view decimalSeparator,
                    geo::LatLong centre, geo::Real unitFactor, const std::string& azimuthCaption,
                    const std::string& rangeCaption);

}  // namespace korvalen::dx
