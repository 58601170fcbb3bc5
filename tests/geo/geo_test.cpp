#include "geo/geo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "geo/cp1252.h"
#include "tests/support/failure_text.h"

using namespace korvalen::geo;
using korvalen::testing::FailureText;

namespace {

constexpr Real kDeg = Pi / 180;

TEST(Nint, HalvesGoToEven) {
    struct Case { Real v; long long n; } cases[] = {
        {2.5L, 2}, {3.5L, 4}, {-2.5L, -2}, {-3.5L, -4}, {0.5L, 0}, {1.5L, 2},
        {2.4999999L, 2}, {2.5000001L, 3}, {-0.4L, 0}, {599.5L, 600}, {300.5L, 300},
    };
    for (const auto& c : cases) EXPECT_EQ(Nint(c.v), c.n) << static_cast<double>(c.v);
}

TEST(WorldPixelToLatLong, GridEndsAndExamples) {
    struct Case { int x, y; Real lat, lon; } cases[] = {
        {0, 0, 90, -180},
        {398, 255, 0, 0},
        {795, 509, -89.647058823529411764L, 179.547738693467336683L},
        {400, 100, 54.705882352941176470L, 0.904522613065326633L},
    };
    for (const auto& c : cases) {
        const LatLong p = WorldPixelToLatLong(c.x, c.y);
        EXPECT_NEAR(static_cast<double>(p.latitude), static_cast<double>(c.lat), 1e-12) << c.x << "," << c.y;
        EXPECT_NEAR(static_cast<double>(p.longitude), static_cast<double>(c.lon), 1e-12) << c.x << "," << c.y;
    }
    // The centre pixel is exactly zero, not merely close.
    EXPECT_EQ(WorldPixelToLatLong(398, 255).latitude, 0);
    EXPECT_EQ(WorldPixelToLatLong(398, 255).longitude, 0);
}

TEST(LatLongToText, Examples) {
    struct Case { Real lat, lon; const char* text; } cases[] = {
        {48.8566L, 2.3522L, "48\u00b051' N / 2\u00b021' E"},
        {-0.5L, -179.95L, "0\u00b030' S / 179\u00b057' W"},
        {42.995L, 0, "42\u00b060' N / 0\u00b00' E"},
        {-0.25L, 0, "0\u00b015' S / 0\u00b00' E"},
        {90, -180, "90\u00b00' N / 180\u00b00' W"},
        {0, 0, "0\u00b00' N / 0\u00b00' E"},
        {48.854166666666666667L, 2.375L, "48\u00b051' N / 2\u00b022' E"},
    };
    for (const auto& c : cases) EXPECT_EQ(LatLongToText(c.lat, c.lon), c.text);
}

TEST(TextToLatLong, ReadsTheWrittenForm) {
    LatLong p;
    ASSERT_TRUE(TextToLatLong("48\u00b051' N / 2\u00b021' E", p).ok());
    EXPECT_EQ(p.latitude, 48 + 51.0L / 60);
    EXPECT_EQ(p.longitude, 2 + 21.0L / 60);
    ASSERT_TRUE(TextToLatLong("0\u00b030' S / 179\u00b057' W", p).ok());
    EXPECT_EQ(p.latitude, -0.5L);
    EXPECT_EQ(p.longitude, -179 - 57.0L / 60);
}

TEST(TextToLatLong, SixtyMinutesReadBackAsTheNextDegree) {
    LatLong p;
    ASSERT_TRUE(TextToLatLong(LatLongToText(42.995L, -7.9999L), p).ok());
    EXPECT_EQ(p.latitude, 43);
    EXPECT_EQ(p.longitude, -8);
}

TEST(TextToLatLong, StopsSilentlyKeepingWhatWasSet) {
    struct Case { const char* text; Real lat, lon; } cases[] = {
        {"48\u00b051' X / 2\u00b021' E", 1, 2},          // bad hemisphere: nothing
        {"48\u00b051' N", 48.85L, 2},                      // latitude only
        {"48\u00b051' N / 2\u00b021' Q", 48.85L, 2},       // bad E/W letter
        {"48\u00b051' N 2\u00b021' E", 48.85L, 2},         // no "/"
        {"no degree sign", 1, 2},
        {"", 1, 2},
    };
    for (const auto& c : cases) {
        LatLong p{1, 2};
        // A silent stop is no error.
        EXPECT_TRUE(TextToLatLong(c.text, p).ok()) << c.text;
        EXPECT_NEAR(static_cast<double>(p.latitude), static_cast<double>(c.lat), 1e-15) << c.text;
        EXPECT_NEAR(static_cast<double>(p.longitude), static_cast<double>(c.lon), 1e-15) << c.text;
    }
}

TEST(TextToLatLong, NonNumericFieldIsAConversionError) {
    LatLong p{1, 2};
    EXPECT_EQ(FailureText(TextToLatLong("4a\u00b051' N / 2\u00b021' E", p)),
              std::optional<std::string>("'4a' n'est pas une valeur enti\u00e8re correcte"));
    EXPECT_EQ(p.latitude, 1);
    // A missing minute sign makes the minutes run on to the next "'".
    p = {1, 2};
    EXPECT_EQ(FailureText(TextToLatLong("48\u00b051 N / 2\u00b021' E", p)), ConversionErrorText("51 N / 2\u00b021"));
    // The longitude minutes fail after the latitude was set.
    p = {1, 2};
    EXPECT_EQ(FailureText(TextToLatLong("10\u00b00' S / 2\u00b0x' E", p)), ConversionErrorText("x"));
    EXPECT_EQ(p.latitude, -10);
    EXPECT_EQ(p.longitude, 2);
    // A silent stop is no error.
    EXPECT_EQ(FailureText(TextToLatLong("10\u00b00' X / 2\u00b00' E", p)), std::nullopt);
}

// ---- The conversion message: the value as the operator can read it.

struct ShownValueCase {
    const char* label;
    std::string value;
    std::string shown;  // what appears between the quotes
};

// The label only: some values are a million characters long.
void PrintTo(const ShownValueCase& c, std::ostream* os) { *os << c.label; }

const std::string kEllipsis = "\u2026";

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

const ShownValueCase kShownValueCases[] = {
    {"Short", "8x", "8x"},
    {"Empty", "", ""},
    {"ExactlyTheLimit", std::string(40, '9'), std::string(40, '9')},
    {"OneOverTheLimit", std::string(41, '9'), std::string(40, '9') + kEllipsis},
    {"MillionDigits", std::string(1000000, '9'), std::string(40, '9') + kEllipsis},
    // A NUL would end the message wherever it is handled as a C string.
    {"Nul", std::string("1\0" "2", 3), "1\u24002"},
    {"NulAtTheEnd", std::string(1, '\0'), "\u2400"},
    {"TabEscapeAndDelete", "1\t2\x1b" "3\x7f", "1\u24092\u241b3\u2421"},
    {"LineBreaks", "1\r\n2", "1\u240d\u240a2"},
    // The bytes Windows-1252 leaves undefined arrive as C1 controls.
    {"C1Control", "1\u0081" "2", "1\ufffd2"},
    // Characters are counted, not bytes, and never split.
    {"TwoByteCharacterAtTheCut", std::string(39, 'a') + "\u00e9\u00e9", std::string(39, 'a') + "\u00e9" + kEllipsis},
    {"FourByteCharacterAtTheCut", std::string(39, 'a') + "\U0001F4E1" + "b",
     std::string(39, 'a') + "\U0001F4E1" + kEllipsis},
    {"ThreeByteCharactersOnly", Repeat("\u20ac", 50), Repeat("\u20ac", 40) + kEllipsis},
    {"MalformedUtf8", "1\xff\xc3", "1\ufffd\ufffd"},
    {"MalformedUtf8PastTheCut", std::string(40, 'a') + "\xe2\x82", std::string(40, 'a') + kEllipsis},
};

class ConversionMessage : public testing::TestWithParam<ShownValueCase> {};

TEST_P(ConversionMessage, ShowsTheValueReadably) {
    const ShownValueCase& c = GetParam();
    const std::string message = ConversionErrorText(c.value);
    // Short enough to lay out at once (and to print, should it fail).
    ASSERT_LE(message.size(), 250u);
    EXPECT_EQ(message, "'" + c.shown + "' n'est pas une valeur enti\u00e8re correcte");
    // Whole characters only: the text survives decoding unchanged.
    EXPECT_EQ(korvalen::text::Utf32ToUtf8(korvalen::text::Utf8ToUtf32(message)), message);
    EXPECT_EQ(message.find('\0'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Values, ConversionMessage, testing::ValuesIn(kShownValueCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(TextToLatLong, ALongFieldIsShortenedInTheMessage) {
    LatLong p{1, 2};
    const std::string degrees(100000, '7');
    const std::optional<std::string> message = FailureText(TextToLatLong(degrees + "x\u00b051' N / 2\u00b021' E", p));
    ASSERT_TRUE(message);
    ASSERT_LE(message->size(), 250u);
    EXPECT_EQ(*message,
              "'" + std::string(40, '7') + "\u2026' n'est pas une valeur enti\u00e8re correcte");
}

TEST(ParseDecimalInteger, AcceptsOnlyPlainIntegers) {
    EXPECT_EQ(ParseDecimalInteger("683"), 683);
    EXPECT_EQ(ParseDecimalInteger("-12"), -12);
    EXPECT_EQ(ParseDecimalInteger("+7"), 7);
    EXPECT_EQ(ParseDecimalInteger("-2147483648"), -2147483647 - 1);
    for (const char* bad : {"", "abc", "12a", " 1", "1 ", "-", "2147483648", "99999999999999999999", "1.5"})
        EXPECT_EQ(ParseDecimalInteger(bad), std::nullopt) << bad;
}

TEST(LocatorToLatLong, AcceptsAndComputesSubsquareCentres) {
    struct Case { const char* loc; Real lat, lon; } cases[] = {
        {"JN18EU", 48.854166666666666667L, 2.375L},
        {"jn18eu", 48.854166666666666667L, 2.375L},
        {"jN18eU", 48.854166666666666667L, 2.375L},
        {"AA00AA", -89.979166666666666667L, -179.958333333333333333L},
        {"RR99XX", 89.979166666666666667L, 179.958333333333333333L},
    };
    for (const auto& c : cases) {
        const auto p = LocatorToLatLong(c.loc);
        ASSERT_TRUE(p) << c.loc;
        EXPECT_NEAR(static_cast<double>(p->latitude), static_cast<double>(c.lat), 1e-13) << c.loc;
        EXPECT_NEAR(static_cast<double>(p->longitude), static_cast<double>(c.lon), 1e-13) << c.loc;
    }
    EXPECT_EQ(LatLongToText(LocatorToLatLong("JN18EU")->latitude, LocatorToLatLong("JN18EU")->longitude),
              "48\u00b051' N / 2\u00b022' E");
}

TEST(LocatorToLatLong, Rejects) {
    for (const char* bad : {"JN18E", "SN18EU", "JN18EY", "JN1AEU", "JN18EUX", "", " JN18EU", "JN18E ",
                            "J\u00e918EU", "JS18EU", "JN18Y0"})
        EXPECT_FALSE(LocatorToLatLong(bad)) << bad;
}

TEST(BearingAndRange, TheFourChecks) {
    struct Case { Real lat, lon, range, bearing; } cases[] = {
        {0, 90, Pi / 2, Pi / 2},
        {0, -90, Pi / 2, 3 * Pi / 2},
        {45, 0, Pi / 4, 0},
        {-45, 0, Pi / 4, Pi},
    };
    for (const auto& c : cases) {
        Real lat1 = 0, lat2 = c.lat;
        const BearingRange br = BearingAndRange(lat1, 0, lat2, c.lon);
        EXPECT_NEAR(static_cast<double>(br.range), static_cast<double>(c.range), 1e-15);
        EXPECT_NEAR(static_cast<double>(br.bearing), static_cast<double>(c.bearing), 1e-9);
    }
}

TEST(BearingAndRange, PointOnTheCentreHasBearingZero) {
    Real lat1 = 48.85L, lat2 = 48.85L;
    const BearingRange br = BearingAndRange(lat1, 2.35L, lat2, 2.35L);
    EXPECT_LT(br.range, MinimumRange);
    EXPECT_EQ(br.bearing, 0);
}

TEST(BearingAndRange, NorthPoleIsReplacedInTheCallersVariables) {
    Real centre = 90, point = 90;
    BearingAndRange(centre, 0, point, 10);
    EXPECT_EQ(centre, 89.9L);
    EXPECT_EQ(point, 89.9L);
    Real south = -90, p2 = 0;
    BearingAndRange(south, 0, p2, 0);
    EXPECT_EQ(south, -90);  // only +90 is replaced
}

TEST(BearingAndRange, DateLineBothWays) {
    // Centre 170 E, point 170 W: Δ = −340°, the point lies to the east.
    Real a = 0, b = 0;
    const BearingRange east = BearingAndRange(a, 170, b, -170);
    EXPECT_NEAR(static_cast<double>(east.bearing), static_cast<double>(Pi / 2), 1e-9);
    EXPECT_NEAR(static_cast<double>(east.range), static_cast<double>(20 * kDeg), 1e-15);
    // Centre 170 W, point 170 E: Δ = +340°, reflected to the west.
    const BearingRange west = BearingAndRange(a, -170, b, 170);
    EXPECT_NEAR(static_cast<double>(west.bearing), static_cast<double>(3 * Pi / 2), 1e-9);
}

TEST(BearingAndRange, WestReflectionOfBearingZeroStaysZero) {
    // A point due north with a tiny westward Δ: A = 0 reflects to 2π, kept 0.
    Real a = 10, b = 10;  // same latitude: B is computed, not the threshold
    const BearingRange br = BearingAndRange(a, 0, b, -1e-12L);
    EXPECT_GE(br.bearing, 0);
    EXPECT_LT(br.bearing, TwoPi);
}

TEST(BearingAndRange, AntipodeAndDomainStayValid) {
    Real a = 30, b = -30;
    const BearingRange anti = BearingAndRange(a, 10, b, -170);
    EXPECT_NEAR(static_cast<double>(anti.range), static_cast<double>(Pi), 1e-9);
    EXPECT_GE(anti.bearing, 0);
    EXPECT_LT(anti.bearing, TwoPi);
    // Points next to the centre and the antipode, where rounding could push
    // the arccos argument outside [−1, 1].
    for (Real eps : {0.0L, 1e-9L, 1e-12L, 1e-15L}) {
        Real c = 45.1234L, p = 45.1234L + eps;
        const BearingRange near = BearingAndRange(c, 7.5L, p, 7.5L);
        EXPECT_FALSE(std::isnan(near.range));
        EXPECT_FALSE(std::isnan(near.bearing));
        Real c2 = 45.1234L, q = -45.1234L - eps;
        const BearingRange far = BearingAndRange(c2, 7.5L, q, 7.5L - 180);
        EXPECT_FALSE(std::isnan(far.range));
        EXPECT_LE(far.range, Pi);
        EXPECT_GE(far.bearing, 0);
        EXPECT_LT(far.bearing, TwoPi);
    }
}

TEST(BearingAndRange, BearingFromParisToNewYork) {
    // A familiar check: Paris to New York, initial course about 291.8°.
    Real lat1 = 48.8566L, lat2 = 40.7128L;
    const BearingRange br = BearingAndRange(lat1, 2.3522L, lat2, -74.0060L);
    EXPECT_NEAR(static_cast<double>(br.bearing / kDeg), 291.8, 0.1);
    EXPECT_NEAR(static_cast<double>(RangeToDistance(br.range, KilometreFactor)), 5837, 5);
}

TEST(RangeToDistance, NauticalMilePerArcMinute) {
    EXPECT_NEAR(static_cast<double>(RangeToDistance(Pi, KilometreFactor)), 20001.6, 1e-9);
    EXPECT_NEAR(static_cast<double>(RangeToDistance(kDeg, KilometreFactor)), 111.12, 1e-12);
    EXPECT_NEAR(static_cast<double>(RangeToDistance(Pi, StatuteMileFactor)), 20001.6 / 1.609344, 1e-9);
    EXPECT_STREQ(UnitText(KilometreFactor), " km");
    EXPECT_STREQ(UnitText(StatuteMileFactor), " miles");
}

TEST(PolarToMapPixel, EquatorPointsForCentreZero) {
    struct Case { int col; int x, y; } cases[] = {
        {597, 450, 300},  // 90 E
        {199, 150, 300},  // 90 W
        {398, 300, 300},  // the centre itself
    };
    for (const auto& c : cases) {
        Real lat1 = 0;
        LatLong p = WorldPixelToLatLong(c.col, 255);
        const BearingRange br = BearingAndRange(lat1, 0, p.latitude, p.longitude);
        const MapPixel m = PolarToMapPixel(br.range, br.bearing);
        EXPECT_EQ(m.x, c.x) << c.col;
        EXPECT_EQ(m.y, c.y) << c.col;
    }
    // The north pole row lands around (300, 150).
    for (int col = 0; col < WorldWidth; col += 37) {
        Real lat1 = 0;
        LatLong p = WorldPixelToLatLong(col, 0);
        const BearingRange br = BearingAndRange(lat1, 0, p.latitude, p.longitude);
        const MapPixel m = PolarToMapPixel(br.range, br.bearing);
        EXPECT_LE(std::abs(m.x - 300), 1) << col;
        EXPECT_LE(std::abs(m.y - 150), 1) << col;
    }
}

TEST(PolarToMapPixel, RimAndCardinalDirections) {
    EXPECT_EQ(PolarToMapPixel(Pi, 0).x, 300);
    EXPECT_EQ(PolarToMapPixel(Pi, 0).y, 0);
    EXPECT_EQ(PolarToMapPixel(Pi, Pi / 2).x, 600);  // outside the image
    EXPECT_EQ(PolarToMapPixel(Pi, Pi).y, 600);
    EXPECT_EQ(PolarToMapPixel(Pi, 3 * Pi / 2).x, 0);
    EXPECT_EQ(PolarToMapPixel(0, 1).x, 300);
}

}  // namespace
