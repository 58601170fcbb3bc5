// The centre's text form, as CENTRE_IMAGE carries it in korvalen.ini and
// as the user may have edited it: "48°51' N / 2°21' E", UTF-8 in memory.
// Any bytes must either set the position, set part of it, stop silently or
// give the conversion message; and whatever position comes out, its own
// text form must read back to it within the half minute the text rounds to.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/check.h"
#include "geo/geo.h"

using namespace korvalen;

namespace {

// Well inside int, so that the text of the position read back has degree
// fields that are numbers again (a value past 2^31 degrees is not).
constexpr geo::Real kReadableLimit = 1e6L;
// Half a minute of rounding, and the last bits of an extended-precision sum.
constexpr geo::Real kTolerance = 1.0L / 120 + 1e-9L;

bool IsConversionMessage(const std::string& message) {
    const std::string tail = "' n'est pas une valeur enti\u00e8re correcte";
    return message.size() >= 1 + tail.size() && message[0] == '\'' &&
           message.compare(message.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // NaN marks "not set": no text reads as NaN.
    geo::LatLong position{NAN, NAN};
    const Expected<void> read = geo::TextToLatLong(text, position);

    if (!read) KORVALEN_FUZZ_CHECK(IsConversionMessage(read.error().text), "a failure is the conversion message");
    const bool latitudeSet = !std::isnan(position.latitude);
    const bool longitudeSet = !std::isnan(position.longitude);
    KORVALEN_FUZZ_CHECK(!longitudeSet || latitudeSet, "the longitude is read only after the latitude");
    KORVALEN_FUZZ_CHECK(!latitudeSet || std::isfinite(position.latitude), "a latitude read is finite");
    KORVALEN_FUZZ_CHECK(!longitudeSet || std::isfinite(position.longitude), "a longitude read is finite");
    if (!longitudeSet) return 0;
    KORVALEN_FUZZ_CHECK(read.ok(), "no message once both halves are set");

    if (std::fabs(position.latitude) > kReadableLimit || std::fabs(position.longitude) > kReadableLimit) return 0;
    const std::string again = geo::LatLongToText(position.latitude, position.longitude);
    geo::LatLong back{NAN, NAN};
    KORVALEN_FUZZ_CHECK(geo::TextToLatLong(again, back).ok(), "a written position reads without a message");
    KORVALEN_FUZZ_CHECK(!std::isnan(back.latitude) && !std::isnan(back.longitude),
                        "a written position reads both halves");
    KORVALEN_FUZZ_CHECK(std::fabs(back.latitude - position.latitude) <= kTolerance,
                        "a written latitude reads back within half a minute");
    KORVALEN_FUZZ_CHECK(std::fabs(back.longitude - position.longitude) <= kTolerance,
                        "a written longitude reads back within half a minute");
    return 0;
}
