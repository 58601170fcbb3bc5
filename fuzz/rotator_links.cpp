// What the directly driven rotators read: an address the operator typed, a
// publication, and rotctld's replies, all from the same input as text.
// Beyond not crashing:
//   - an address accepted has a host and a port from 1 to 65535, its text
//     reads back as itself, and a text is refused exactly when it gives no
//     address and is not blank;
//   - a bearing read is finite, from 0 to 360, and its text for a
//     controller reads back within a hundredth;
//   - a range read is finite with its minimum not above its maximum, and
//     every bearing turned into it lies in it, a whole number of turns from
//     the bearing;
//   - an elevation read is finite.

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "fuzz/check.h"
#include "rotator/rotctld_client.h"

using namespace korvalen::rotator;

namespace {

void CheckAddress(const QString& text, std::optional<quint16> defaultPort) {
    const korvalen::Expected<std::optional<RotatorAddress>> r = ParseRotatorAddress(text, defaultPort);
    KORVALEN_FUZZ_CHECK(r.ok() == (text.trimmed().isEmpty() || (r.ok() && r->has_value())),
                        "an address is refused exactly when it gives none and is not blank");
    KORVALEN_FUZZ_CHECK(r.ok() || !r.error().text.empty(), "a refusal says why");
    if (!r || !*r) return;
    const RotatorAddress& address = **r;
    KORVALEN_FUZZ_CHECK(!address.host.isEmpty() && address.port != 0, "an address has a host and a port");
    const korvalen::Expected<std::optional<RotatorAddress>> again = ParseRotatorAddress(AddressText(address));
    KORVALEN_FUZZ_CHECK(again.ok() && *again == *r, "an address's text reads back as itself");
}

void CheckTurn(double bearing, const AzimuthRange& range) {
    const std::optional<double> turned = MapIntoRange(bearing, range);
    if (!turned) return;
    KORVALEN_FUZZ_CHECK(std::isfinite(*turned) && *turned >= range.min && *turned <= range.max,
                        "a bearing turned into the range lies in it");
    const double turns = (*turned - bearing) / 360;
    KORVALEN_FUZZ_CHECK(std::abs(turns - std::round(turns)) <= 1e-9 * std::max(1.0, std::abs(turns)),
                        "a bearing is turned by whole turns");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckAddress(text, std::nullopt);
    CheckAddress(text, quint16(12000));

    const std::optional<double> bearing = ParseBearing(text);
    if (bearing) {
        KORVALEN_FUZZ_CHECK(std::isfinite(*bearing) && *bearing >= 0 && *bearing <= 360, "a bearing is 0 to 360");
        const std::optional<double> again = ParseBearing(DegreesText(*bearing));
        // Rounded to the nearest hundredth: at most half a hundredth away,
        // give or take the error of writing 0.005 in binary (0.545 -> 0.55
        // is 0.0050000000000000044 away).
        KORVALEN_FUZZ_CHECK(again && std::abs(*again - *bearing) <= 0.005 + 1e-9, "a bearing's text reads back");
    }

    if (const std::optional<AzimuthRange> range = ParseAzimuthRange(text)) {
        KORVALEN_FUZZ_CHECK(std::isfinite(range->min) && std::isfinite(range->max) && range->min <= range->max,
                            "a range is finite and in order");
        for (const double b : {0.0, 90.0, 200.0, 359.5, 360.0}) CheckTurn(b, *range);
        if (bearing) CheckTurn(*bearing, *range);
    }
    if (const std::optional<double> elevation = ParseElevation(text))
        KORVALEN_FUZZ_CHECK(std::isfinite(*elevation), "an elevation is finite");
    (void)ReplyCode(text);
    return 0;
}
