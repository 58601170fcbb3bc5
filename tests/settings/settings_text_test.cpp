#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <sstream>

#include "settings/settings.h"
#include "tests/support/failure_text.h"

namespace korvalen::settings {
// Failures show the values the way the file would hold them, plus the two
// numbers the file does not hold.
void PrintTo(const Settings& s, std::ostream* os) {
    *os << FormatSettings(s) << "centre " << static_cast<double>(s.centre.latitude) << ", "
        << static_cast<double>(s.centre.longitude) << " text \"" << s.centreText << "\"";
}
}  // namespace korvalen::settings

using namespace korvalen::settings;
using korvalen::geo::Real;
using korvalen::testing::FailureText;

namespace {

const std::string kNotInteger = "' n'est pas une valeur enti\u00e8re correcte";

// ---- Parsing: each row is a file body and the change it makes to the defaults.

struct ParseCase {
    const char* name;
    std::string body;  // lines after "[KORVALEN]", CR LF ended
    std::function<void(Settings&)> expect;
    std::string error;  // empty: none
};

// A failure names the row; the body and the expected change are in the table.
void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

const ParseCase kParseCases[] = {
    {"LowerCaseLanguageIgnored", "LANGUAGE=french\r\n", [](Settings&) {}, ""},
    {"SpanishSelected", "LANGUAGE=SPANISH\r\n", [](Settings& s) { s.language = Language::Spanish; }, ""},
    {"UnitKm", "UNIT=KM\r\n", [](Settings&) {}, ""},
    {"UnitBare", "UNIT=\r\n", [](Settings&) {}, ""},
    {"UnitLowerMileIgnored", "UNIT=mile\r\n", [](Settings&) {}, ""},
    {"MileSticky", "UNIT=MILE\r\nUNIT=KM\r\n", [](Settings& s) { s.unitFactor = 1.609344L; }, ""},
    {"CbSticky", "LIST=CB\r\nLIST=HAM\r\n", [](Settings& s) { s.list = DxList::ElevenMetre; }, ""},
    {"SeparatorEqual", "SEPARATOR=3\r\n", [](Settings& s) { s.separator = Separator::Equal; }, ""},
    {"SeparatorOutOfRange", "SEPARATOR=2\r\nSEPARATOR=-1\r\n", [](Settings&) {}, ""},
    {"SeparatorNotInteger", "SEPARATOR=x\r\nWTOP=5\r\n", [](Settings&) {}, "'x" + kNotInteger},
    {"CentreFull", "CENTRE_IMAGE=48\xb0" "51' N / 2\xb0" "21' E\r\n",
     [](Settings& s) {
         s.centreText = s.savedMapCentreText = "48\u00b051' N / 2\u00b021' E";
         s.centre = {48 + 51 / Real(60), 2 + 21 / Real(60)};
     },
     ""},
    {"CentreBadHemisphere", "CENTRE_IMAGE=48\xb0" "51' X / 2\xb0" "21' E\r\n",
     [](Settings& s) { s.centreText = s.savedMapCentreText = "48\u00b051' X / 2\u00b021' E"; }, ""},
    {"CentreLatitudeOnly", "CENTRE_IMAGE=48\xb0" "51' N\r\n",
     [](Settings& s) {
         s.centreText = s.savedMapCentreText = "48\u00b051' N";
         s.centre.latitude = 48 + 51 / Real(60);
     },
     ""},
    {"CentreBadDegreesStops", "WTOP=1\r\nCENTRE_IMAGE=4a\xb0" "51' N\r\nWLEFT=5\r\n",
     [](Settings& s) {
         s.viewerTop = 1;
         s.centreText = s.savedMapCentreText = "4a\u00b051' N";
     },
     "'4a" + kNotInteger},
    {"BadHeightStopsButDxCarried", "WTOP=1\r\nWHEIGHT=abc\r\nWWIDTH=1\r\nDX=F6ABC\tx\r\nDXCB=14AB\r\nUTC=Y\r\n",
     [](Settings& s) {
         s.viewerTop = 1;
         s.hamDxRecords = {"F6ABC\tx"};
         s.elevenMetreDxRecords = {"14AB"};
     },
     "'abc" + kNotInteger},
    {"NumberNotTrimmed", "WLEFT= 5\r\n", [](Settings&) {}, "' 5" + kNotInteger},
    {"EmptyNumber", "WHSB=\r\n", [](Settings&) {}, "'" + kNotInteger},
    {"LastWtopWins", "WTOP=1\r\nWTOP=-2\r\nWTOP=+7\r\n", [](Settings& s) { s.viewerTop = 7; }, ""},
    {"ValueKeptAsIs", "TORNAVELPATH=a=b \t \r\nIMAGE= x=y \r\n",
     [](Settings& s) {
         s.rotatorProgramPath = "a=b \t ";
         s.savedMapFile = " x=y ";
     },
     ""},
    {"KeysExact", "wtop=5\r\nWTOP =6\r\n=WTOP=7\r\nWTOPX=8\r\nno equals\r\n", [](Settings&) {}, ""},
    {"UtcAndVerstartFirstCharacter", "UTC=Yes\r\nVERSTART=10\r\n",
     [](Settings& s) { s.utc = s.releaseCheckAtStart = true; }, ""},
    {"UtcLowerAndBare", "UTC=y\r\nVERSTART=\r\n", [](Settings&) {}, ""},
    {"EmptyImageClears", "IMAGE=a.bmp\r\nIMAGE=\r\n", [](Settings&) {}, ""},
    // The message shows a bad value shortened and its control bytes visibly.
    {"MillionDigitHeight", "WHEIGHT=" + std::string(1000000, '7') + "\r\n", [](Settings&) {},
     "'" + std::string(40, '7') + "\u2026" + kNotInteger},
    {"NulInNumber", std::string("WTOP=1\0" "2\r\n", 10), [](Settings&) {}, "'1\u24002" + kNotInteger},
    {"RotatorAddressesLastWins", "ROTCTLD=a:1\r\nPSTROTATOR=b\r\nROTCTLD=[::1]:4533\r\nPSTROTATOR=\r\n",
     [](Settings& s) { s.rotctldAddress = "[::1]:4533"; }, ""},
    {"RotatorAddressesKeptAsIs", "PSTROTATOR= h:12000 \r\nROTCTLD=x\r\n",
     [](Settings& s) {
         s.pstRotatorAddress = " h:12000 ";
         s.rotctldAddress = "x";
     },
     ""},
    {"VersionUrlLastWinsKeptAsIs", "VERSIONURL=http://a/v.txt\r\nVERSIONURL= http://127.0.0.1:8080/x=1 \r\n",
     [](Settings& s) { s.versionsUrl = " http://127.0.0.1:8080/x=1 "; }, ""},
    {"LongCentreDegrees", "CENTRE_IMAGE=" + std::string(5000, '4') + "x\xb0" "51' N\r\n",
     [](Settings& s) { s.centreText = s.savedMapCentreText = std::string(5000, '4') + "x\u00b051' N"; },
     "'" + std::string(40, '4') + "\u2026" + kNotInteger},
};

class SettingsParse : public testing::TestWithParam<ParseCase> {};

TEST_P(SettingsParse, GivesExpectedValues) {
    const ParseCase& c = GetParam();
    Settings expected;
    c.expect(expected);
    const LoadResult r = ParseSettings("[KORVALEN]\r\n" + c.body);
    EXPECT_EQ(r.values, expected);
    // Every message is short enough to lay out at once (and to print here).
    ASSERT_LE(FailureText(r.error).value_or("").size(), 250u);
    EXPECT_EQ(FailureText(r.error).value_or(""), c.error);
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsParse, testing::ValuesIn(kParseCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Writing.

struct FormatCase {
    const char* name;
    std::function<void(Settings&)> set;
    std::string body;  // expected lines after "[KORVALEN]"
};

const std::string kTail = "WTOP=0\r\nWLEFT=0\r\nWHEIGHT=683\r\nWWIDTH=860\r\nWHSB=0\r\n";

const FormatCase kFormatCases[] = {
    {"Defaults", [](Settings&) {},
     "LANGUAGE=ENGLISH\r\nUNIT=KM\r\nSEPARATOR=0\r\n" + kTail + "UTC=N\r\nVERSTART=0\r\n"},
    {"RowsWithoutCallLeftOutHamFirst",
     [](Settings& s) {
         s.elevenMetreDxRecords = {"", "14X\t1"};
         s.hamDxRecords = {"\tnote", "F6A", " \t2"};
     },
     "LANGUAGE=ENGLISH\r\nUNIT=KM\r\nSEPARATOR=0\r\n" + kTail + "DX=F6A\r\nDX= \t2\r\nDXCB=14X\t1\r\nUTC=N\r\nVERSTART=0\r\n"},
    {"CentreOnlyWithImage", [](Settings& s) { s.savedMapCentreText = s.centreText = "1\u00b00' N"; },
     "LANGUAGE=ENGLISH\r\nUNIT=KM\r\nSEPARATOR=0\r\n" + kTail + "UTC=N\r\nVERSTART=0\r\n"},
    {"EmptyCentreWrittenWithImage", [](Settings& s) { s.savedMapFile = "m.bmp"; },
     "LANGUAGE=ENGLISH\r\nUNIT=KM\r\nSEPARATOR=0\r\nIMAGE=m.bmp\r\nCENTRE_IMAGE=\r\n" + kTail +
         "UTC=N\r\nVERSTART=0\r\n"},
    {"Windows1252AndUnmappable",
     [](Settings& s) {
         s.rotatorProgramPath = "\u20ac\u00e9\u4e2d";
         s.unitFactor = 1.5L;  // any factor but 1 is miles
     },
     "LANGUAGE=ENGLISH\r\nTORNAVELPATH=\x80\xe9?\r\nUNIT=MILE\r\nSEPARATOR=0\r\n" + kTail + "UTC=N\r\nVERSTART=0\r\n"},
    // After VERSTART, rotctld first, each only when set.
    {"RotatorAddressesLast",
     [](Settings& s) {
         s.pstRotatorAddress = "pst.local";
         s.rotctldAddress = "127.0.0.1:4533";
     },
     "LANGUAGE=ENGLISH\r\nUNIT=KM\r\nSEPARATOR=0\r\n" + kTail +
         "UTC=N\r\nVERSTART=0\r\nROTCTLD=127.0.0.1:4533\r\nPSTROTATOR=pst.local\r\n"},
    // The versions file's address after every other key, only when set.
    {"VersionUrlAfterRotators",
     [](Settings& s) {
         s.versionsUrl = "http://127.0.0.1:8000/versions.txt";
         s.rotctldAddress = "127.0.0.1:4533";
     },
     "LANGUAGE=ENGLISH\r\nUNIT=KM\r\nSEPARATOR=0\r\n" + kTail +
         "UTC=N\r\nVERSTART=0\r\nROTCTLD=127.0.0.1:4533\r\nVERSIONURL=http://127.0.0.1:8000/versions.txt\r\n"},
    {"PstRotatorAlone", [](Settings& s) { s.pstRotatorAddress = "[::1]:12000"; },
     "LANGUAGE=ENGLISH\r\nUNIT=KM\r\nSEPARATOR=0\r\n" + kTail + "UTC=N\r\nVERSTART=0\r\nPSTROTATOR=[::1]:12000\r\n"},
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class SettingsFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(SettingsFormat, GivesExpectedBytes) {
    Settings s;
    GetParam().set(s);
    EXPECT_EQ(FormatSettings(s), "[KORVALEN]\r\n" + GetParam().body);
}

TEST(SettingsFormat, NewestKeysReadBack) {
    Settings s;
    s.language = Language::English;  // the file always names one
    s.rotctldAddress = "rotor.example:4533";
    s.pstRotatorAddress = "192.168.1.20";
    s.versionsUrl = "https://mirror.example/versions.txt";
    EXPECT_EQ(ParseSettings(FormatSettings(s)).values, s);
}

INSTANTIATE_TEST_SUITE_P(Rows, SettingsFormat, testing::ValuesIn(kFormatCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Golden files: tests/settings/data/<input>.ini read, written back,
// compared byte for byte with <ref>.ref.

std::string ReadData(const std::string& name) {
    std::ifstream in(std::string(KORVALEN_SETTINGS_DATA) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct GoldenCase {
    const char* name;
    const char* input;
    const char* ref;
    std::string error;
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name << " (" << c.input << ".ini)"; }

const GoldenCase kGoldenCases[] = {
    {"SectionOnly", "section_only", "section_only", ""},
    {"Full", "full", "full", ""},
    {"FullLfEnded", "full_lf", "full", ""},
    {"FullCrEnded", "full_cr", "full", ""},
    {"Messy", "messy", "messy", ""},
    {"BadHeight", "bad_height", "bad_height", "'abc" + kNotInteger},
};

class SettingsGolden : public testing::TestWithParam<GoldenCase> {};

TEST_P(SettingsGolden, WrittenBackAsReference) {
    const LoadResult r = ParseSettings(ReadData(std::string(GetParam().input) + ".ini"));
    EXPECT_EQ(FailureText(r.error).value_or(""), GetParam().error);
    const std::string ref = ReadData(std::string(GetParam().ref) + ".ref");
    EXPECT_EQ(FormatSettings(r.values), ref);
    // What was written reads back to the same values as far as the file
    // holds them.
    const LoadResult again = ParseSettings(ref);
    EXPECT_FALSE(again.error);
    EXPECT_EQ(FormatSettings(again.values), ref);
}

INSTANTIATE_TEST_SUITE_P(Files, SettingsGolden, testing::ValuesIn(kGoldenCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsGolden, FullFileValuesInMemory) {
    const Settings s = ParseSettings(ReadData("full_cr.ini")).values;
    EXPECT_EQ(s.language, Language::French);
    EXPECT_EQ(s.rotatorProgramPath, "C:\\Radio\\Tornavel \u00e9\\tornavel.exe");
    EXPECT_EQ(s.separator, Separator::Slash);
    EXPECT_EQ(s.centreText, "48\u00b051' N / 2\u00b021' E");
    EXPECT_EQ(s.centre.latitude, 48 + 51 / Real(60));
    EXPECT_EQ(s.centre.longitude, 2 + 21 / Real(60));
    ASSERT_EQ(s.hamDxRecords.size(), 2u);
    EXPECT_EQ(s.hamDxRecords[1], "EA4XYZ\t7.050\tSSB\tJos\u00e9 \u2014 Madrid\tIN80");
}

}  // namespace
