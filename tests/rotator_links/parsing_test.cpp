// What the rotator links read: the operator's addresses, publications and
// rotctld's replies; and the turn of a bearing into a rotator's range.
#include <gtest/gtest.h>

#include "rotator/pst_rotator.h"
#include "rotator/rotctld_client.h"

using namespace korvalen::rotator;

namespace {

struct AddressCase {
    const char* name;
    const char* text;
    std::optional<quint16> defaultPort;
    const char* expected;  // the address as AddressText gives it, or the reason; "" when off
};
void PrintTo(const AddressCase& c, std::ostream* os) { *os << c.name << " \"" << c.text << '"'; }

const AddressCase kAddressCases[] = {
    {"Ipv4", "127.0.0.1:4533", {}, "127.0.0.1:4533"},
    {"NameSpacesAround", "  rotor-1.lan:65535 ", {}, "rotor-1.lan:65535"},
    {"Ipv6Bracketed", "[::1]:4533", {}, "[::1]:4533"},
    {"Empty", " ", {}, ""},
    {"NoPort", "rotor.lan", {}, "the port is missing: write host:port"},
    {"DefaultPort", "pst.lan", 12000, "pst.lan:12000"},
    {"BareIpv6DefaultPort", "::1", 12000, "[::1]:12000"},
    {"BareIpv6WithPort", "::1:4533", {}, "an IPv6 address goes in brackets, as in [::1]:4533"},
    {"NoHost", ":4533", {}, "the host is missing"},
    {"PortZero", "h:0", {}, "the port must be a number from 1 to 65535"},
    {"PortTooBig", "h:65536", {}, "the port must be a number from 1 to 65535"},
    {"PortSigned", "h:+45", {}, "the port must be a number from 1 to 65535"},
    {"PortEmpty", "h:", 12000, "the port must be a number from 1 to 65535"},
    {"SpaceInHost", "my rotor:4533", {}, "the host contains ' ', which no host name has"},
    {"BadIpv4", "300.1.1.1:4533", {}, "300.1.1.1 is not an IPv4 address"},
    {"BracketOpen", "[::1:4533", {}, "the ']' closing the IPv6 address is missing"},
    {"BracketNotIpv6", "[1.2.3.4]:4533", {}, "[1.2.3.4] is not an IPv6 address"},
    {"AfterBracket", "[::1]4533", {}, "':' and the port must follow the ']'"},
};

class AddressParsing : public testing::TestWithParam<AddressCase> {};

TEST_P(AddressParsing, GivesAddressOrReason) {
    const korvalen::Expected<std::optional<RotatorAddress>> r =
        ParseRotatorAddress(GetParam().text, GetParam().defaultPort);
    const std::optional<RotatorAddress> address = r ? *r : std::nullopt;
    const QString error = r ? QString() : QString::fromStdString(r.error().text);
    EXPECT_EQ(address ? AddressText(*address) : error, GetParam().expected);
    EXPECT_NE(address.has_value(), !error.isEmpty() || QString(GetParam().expected).isEmpty());
    // The text shown for an address reads back as the same address.
    if (address) {
        const korvalen::Expected<std::optional<RotatorAddress>> again = ParseRotatorAddress(AddressText(*address));
        ASSERT_TRUE(again);
        EXPECT_EQ(*again, address);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, AddressParsing, testing::ValuesIn(kAddressCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct MapCase {
    const char* name;
    double bearing, min, max;
    std::optional<double> expected;
};
void PrintTo(const MapCase& c, std::ostream* os) { *os << c.name; }

const MapCase kMapCases[] = {
    {"HalfTurnEachWay", 200, -180, 180, -160}, {"InRangeKept", 10, 0, 450, 10},
    {"FullTurnKeeps360", 360, 0, 360, 360},    {"ShortOf360", 360, 0, 359, 0},
    {"SouthStop", 10, 180, 540, 370},          {"WideRangeNearest", 300, -540, 180, -60},
    {"DeadZone", 355, 0, 350, std::nullopt},   {"RangeUpsideDown", 10, 90, 0, std::nullopt},
    {"NotFinite", std::nan(""), 0, 360, std::nullopt},
};

class RangeMapping : public testing::TestWithParam<MapCase> {};

TEST_P(RangeMapping, GivesRotatorAzimuth) {
    EXPECT_EQ(MapIntoRange(GetParam().bearing, {GetParam().min, GetParam().max}), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, RangeMapping, testing::ValuesIn(kMapCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Replies as rotctld 4.5 gives them, cut to the lines that matter.
struct ReplyCase {
    const char* name;
    const char* reply;
    std::optional<double> min, max, elevation;
    std::optional<int> code;
};
void PrintTo(const ReplyCase& c, std::ostream* os) { *os << c.name; }

const std::nullopt_t no = std::nullopt;
const ReplyCase kReplyCases[] = {
    {"CapsPlain", "Caps dump for model:\t1\nMin Azimuth:\t\t-180.00\nMax Azimuth:\t\t450.00\nRPRT 0\n", -180, 450, no, 0},
    {"StateExtended", "dump_state:\nMinimum Azimuth: 0.000000\nMaximum Azimuth: 360.000000\ndone\nRPRT 0\n", 0, 360, no, 0},
    {"StatePlain", "1\n1\nmin_az=-180.000000\nmax_az=180.000000\ndone\n", -180, 180, no, no},
    {"PositionExtended", "get_pos:\nAzimuth: 9.61\nElevation: 12.50\nRPRT 0\n", no, no, 12.5, 0},
    {"PositionPlain", "9.61\n3.00\n", no, no, 3, no},
    {"Refused", "set_pos: 400 0\nRPRT -1\n", no, no, no, -1},
    {"RangeUpsideDown", "min_az=10\nmax_az=0\n", no, no, no, no},
    {"RangeNotANumber", "min_az=nan\nmax_az=360\n", no, no, no, no},
    {"RangeBeyondTenTurns", "min_az=0\nmax_az=1e9\n", no, no, no, no},
};

class ReplyParsing : public testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyParsing, ReadsRangeElevationAndCode) {
    const ReplyCase& c = GetParam();
    const std::optional<AzimuthRange> range = ParseAzimuthRange(c.reply);
    EXPECT_EQ(range ? std::optional(range->min) : no, c.min);
    EXPECT_EQ(range ? std::optional(range->max) : no, c.max);
    EXPECT_EQ(ParseElevation(c.reply), c.elevation);
    EXPECT_EQ(ReplyCode(c.reply), c.code);
}

INSTANTIATE_TEST_SUITE_P(Rows, ReplyParsing, testing::ValuesIn(kReplyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BearingParsing, TakesPlainNumbersFrom0To360) {
    for (const char* good : {"0", "200", "360", "45.5", " 7 "}) EXPECT_TRUE(ParseBearing(good)) << good;
    for (const char* bad : {"", "abc", "361", "-1", "+5", "nan", "inf", "1e2", "5.", ".5", "1.2.3", "0x10"})
        EXPECT_FALSE(ParseBearing(bad)) << bad;
    EXPECT_EQ(PstRotatorDatagram(45.5), "<PST><AZIMUTH>45.5</AZIMUTH></PST>");
    EXPECT_EQ(DegreesText(-160), "-160");
    EXPECT_EQ(DegreesText(359.999), "360");
}

}  // namespace
