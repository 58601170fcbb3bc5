// Six-character QRA locators, as typed in the generator or given on the
// command line. The acceptance rule is checked against a second, plain
// reading of it; an accepted locator's centre must lie inside its own
// subsquare, and its text form must read back within half a minute.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz/check.h"
#include "geo/geo.h"

using namespace korvalen;

namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool InRange(char c, char low, char high) { return c >= low && c <= high; }

bool LooksLikeLocator(const std::string& s) {
    return s.size() == 6 && InRange(Upper(s[0]), 'A', 'R') && InRange(Upper(s[1]), 'A', 'R') &&
           InRange(s[2], '0', '9') && InRange(s[3], '0', '9') && InRange(Upper(s[4]), 'A', 'X') &&
           InRange(Upper(s[5]), 'A', 'X');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<geo::LatLong> centre = geo::LocatorToLatLong(text);
    KORVALEN_FUZZ_CHECK(centre.has_value() == LooksLikeLocator(text), "exactly the six-character locators");
    if (!centre) return 0;

    std::string upper = text;
    for (char& c : upper) c = Upper(c);
    const std::optional<geo::LatLong> same = geo::LocatorToLatLong(upper);
    KORVALEN_FUZZ_CHECK(same && same->latitude == centre->latitude && same->longitude == centre->longitude,
                        "case does not matter");

    // The subsquare's south-west corner, from the characters themselves.
    const geo::Real west = (upper[0] - 'A') * 20 + (upper[2] - '0') * 2 + (upper[4] - 'A') / 12.0L - 180;
    const geo::Real south = (upper[1] - 'A') * 10 + (upper[3] - '0') + (upper[5] - 'A') / 24.0L - 90;
    KORVALEN_FUZZ_CHECK(centre->longitude > west && centre->longitude < west + 1.0L / 12,
                        "the centre lies inside its subsquare, east to west");
    KORVALEN_FUZZ_CHECK(centre->latitude > south && centre->latitude < south + 1.0L / 24,
                        "the centre lies inside its subsquare, south to north");

    const std::string written = geo::LatLongToText(centre->latitude, centre->longitude);
    geo::LatLong back{NAN, NAN};
    KORVALEN_FUZZ_CHECK(geo::TextToLatLong(written, back).ok(), "a locator's centre text reads without a message");
    KORVALEN_FUZZ_CHECK(std::fabs(back.latitude - centre->latitude) <= 1.0L / 120 + 1e-12L &&
                            std::fabs(back.longitude - centre->longitude) <= 1.0L / 120 + 1e-12L,
                        "a locator's centre text reads back within half a minute");
    return 0;
}
