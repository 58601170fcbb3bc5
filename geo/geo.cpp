#include "geo/geo.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <string_view>

#include "geo/cp1252.h"

namespace korvalen::geo {

std::string ConversionErrorText(const std::string& value) {
    // A settings file edited by hand can hold a value of any length and any
    // bytes; laid out whole in a message box, a million digits freeze the
    // program, and a NUL ends the message wherever it is taken as a C string.
    //
    // Only the head is decoded: no character takes more than four bytes, so
    // the first (ShownValueLength + 1) * 4 bytes hold one character more than
    // is shown whenever the value has that many, and a sequence the cut
    // splits lies past the characters kept.
    constexpr std::size_t kHeadBytes = (ShownValueLength + 1) * 4;
    std::u32string shown = text::Utf8ToUtf32(std::string_view(value).substr(0, kHeadBytes));
    const bool shortened = shown.size() > ShownValueLength;
    if (shortened) shown.resize(ShownValueLength);
    for (char32_t& c : shown) {
        // The control pictures U+2400-U+241F and U+2421 stand for C0 and DEL
        // one for one; C1 controls have none.
        if (c < 0x20)
            c = 0x2400 + c;
        else if (c == 0x7F)
            c = 0x2421;
        else if (c >= 0x80 && c < 0xA0)
            c = 0xFFFD;
    }
    std::string out = "'" + text::Utf32ToUtf8(shown);
    if (shortened) out += "\u2026";
    return out + "' n'est pas une valeur enti\u00e8re correcte";
}

long long Nint(Real v) {
    // nearbyint rounds in the current mode, which the program never leaves
    // at anything but round-to-nearest-even.
    const Real r = std::nearbyint(v);
    if (!(r >= static_cast<Real>(LLONG_MIN) && r <= static_cast<Real>(LLONG_MAX))) return 0;
    return static_cast<long long>(r);
}

std::optional<int> ParseDecimalInteger(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch < '0' || ch > '9') return std::nullopt;
        value = value * 10 + (ch - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT_MAX || value < INT_MIN) return std::nullopt;
    return static_cast<int>(value);
}

LatLong WorldPixelToLatLong(int x, int y) {
    LatLong p;
    p.latitude = static_cast<Real>(-180 * y) / WorldHeight + 90;
    p.longitude = static_cast<Real>(360 * x) / WorldWidth - 180;
    return p;
}

namespace {

void AppendAngle(std::string& out, Real value) {
    const Real a = std::fabs(value);
    const Real degrees = std::trunc(a);
    const long long minutes = Nint((a - degrees) * 60);
    out += std::to_string(static_cast<long long>(degrees));
    out += "\u00b0";
    out += std::to_string(minutes);
    out += "'";
}

// The reader works on code points so that "one character" is a character
// whatever its UTF-8 length.
struct Cursor {
    std::u32string s;

    bool Take(char32_t sign, std::u32string& before) {
        const size_t at = s.find(sign);
        if (at == std::u32string::npos) return false;
        before = s.substr(0, at);
        s.erase(0, at + 1);
        return true;
    }
    void Drop(size_t n) { s.erase(0, std::min(n, s.size())); }
    char32_t First() const { return s.empty() ? U'\0' : s[0]; }
};

// A degree or minute field's number, or the conversion message.
Expected<int> FieldValue(const std::u32string& field) {
    const std::string text = text::Utf32ToUtf8(field);
    const std::optional<int> value = ParseDecimalInteger(text);
    if (!value) return Error{ConversionErrorText(text)};
    return *value;
}

// The start of one coordinate: degrees up to the "°", minutes up to the
// "'", then the "'" and the character after it are gone. False when the
// reading stops here silently; the error when a field is not a number.
Expected<bool> ReadDegreesMinutes(Cursor& c, int& degrees, int& minutes) {
    std::u32string field;
    if (!c.Take(U'\u00b0', field)) return false;
    const Expected<int> d = FieldValue(field);
    if (!d) return d.error();
    degrees = *d;
    if (!c.Take(U'\'', field)) return false;
    const Expected<int> m = FieldValue(field);
    if (!m) return m.error();
    minutes = *m;
    c.Drop(1);
    return true;
}

}  // namespace

std::string LatLongToText(Real latitude, Real longitude) {
    std::string out;
    AppendAngle(out, latitude);
    out += latitude >= 0 ? " N / " : " S / ";
    AppendAngle(out, longitude);
    out += longitude >= 0 ? " E" : " W";
    return out;
}

Expected<void> TextToLatLong(const std::string& input, LatLong& position) {
    Cursor c{text::Utf8ToUtf32(input)};
    int degrees = 0;
    int minutes = 0;
    const Expected<bool> latitude = ReadDegreesMinutes(c, degrees, minutes);
    if (!latitude) return latitude.error();
    if (!*latitude) return {};
    if (c.First() == U'N')
        position.latitude = degrees + static_cast<Real>(minutes) / 60;
    else if (c.First() == U'S')
        position.latitude = -static_cast<Real>(degrees) - static_cast<Real>(minutes) / 60;
    else
        return {};
    c.Drop(2);
    if (c.s.find(U'/') == std::u32string::npos) return {};
    c.Drop(2);
    const Expected<bool> longitude = ReadDegreesMinutes(c, degrees, minutes);
    if (!longitude) return longitude.error();
    if (!*longitude) return {};
    if (c.First() == U'E')
        position.longitude = degrees + static_cast<Real>(minutes) / 60;
    else if (c.First() == U'W')
        position.longitude = -static_cast<Real>(degrees) - static_cast<Real>(minutes) / 60;
    return {};
}

std::optional<LatLong> LocatorToLatLong(const std::string& text) {
    if (text.size() != 6) return std::nullopt;
    int c[6];
    for (int i = 0; i < 6; ++i) {
        int ch = static_cast<unsigned char>(text[i]);
        if (ch >= 'a' && ch <= 'z') ch -= 'a' - 'A';
        c[i] = ch;
    }
    auto in = [](int ch, char lo, char hi) { return ch >= lo && ch <= hi; };
    if (!in(c[0], 'A', 'R') || !in(c[1], 'A', 'R') || !in(c[2], '0', '9') || !in(c[3], '0', '9') ||
        !in(c[4], 'A', 'X') || !in(c[5], 'A', 'X'))
        return std::nullopt;
    LatLong p;
    const int lonWhole = (c[0] - 65) * 20 + (c[2] - 48) * 2;
    const int latWhole = (c[1] - 65) * 10 + (c[3] - 48);
    p.longitude = static_cast<Real>(lonWhole) + static_cast<Real>(c[4] - 65) / 12 + 1.0L / 24 - 180;
    p.latitude = static_cast<Real>(latWhole) + static_cast<Real>(c[5] - 65) / 24 + 1.0L / 48 - 90;
    return p;
}

BearingRange BearingAndRange(Real& centreLatitude, Real centreLongitude, Real& pointLatitude,
                             Real pointLongitude) {
    if (centreLatitude == 90) centreLatitude = NorthPoleReplacement;
    if (pointLatitude == 90) pointLatitude = NorthPoleReplacement;
    const Real phi1 = centreLatitude * Pi / 180;
    const Real lambda1 = centreLongitude * Pi / 180;
    const Real phi2 = pointLatitude * Pi / 180;
    const Real lambda2 = pointLongitude * Pi / 180;

    BearingRange out;
    Real x = std::sin(phi1) * std::sin(phi2) + std::cos(phi1) * std::cos(phi2) * std::cos(lambda2 - lambda1);
    if (x > 1) x = 1;
    if (x <= -1) {
        out.range = Pi;
        out.bearing = 0;
        return out;
    }
    const Real c = std::atan2(std::sqrt(1 - x * x), x);
    out.range = c;
    if (c < MinimumRange) return out;

    Real b = (std::sin(phi1 + c) - std::sin(phi2)) / (2 * std::cos(phi1) * std::sin(c));
    if (!std::isfinite(b)) b = 0;  // the arithmetic-fault rule
    if (b > 1) b = 1;
    Real a = 0;
    if (b > 0) {
        const Real root = std::sqrt(b);
        a = 2 * std::atan2(root, std::sqrt(1 - root * root));
    }
    const Real delta = lambda2 - lambda1;
    if ((-Pi < delta && delta < 0) || delta > Pi) {
        a = TwoPi - a;
        if (a == TwoPi) a = 0;
    }
    out.bearing = a;
    return out;
}

Real RangeToDistance(Real range, Real unitFactor) {
    // Left to right in this order: the DX read-outs round these values, and
    // another order can move one that lies next to a half.
    return range * 60 * 180 * 1.852L / Pi / unitFactor;
}

MapPixel PolarToMapPixel(Real range, Real bearing) {
    constexpr Real R = MapRadius;
    MapPixel p;
    p.x = static_cast<int>(Nint(std::sin(bearing) * range * R / Pi + R));
    p.y = static_cast<int>(Nint(R - std::cos(bearing) * range * R / Pi));
    return p;
}

const char* UnitText(Real unitFactor) { return unitFactor == 1 ? " km" : " miles"; }

}  // namespace korvalen::geo
