// mkdxtables: that it makes data/dx_tables.cpp again byte for byte from the
// committed inputs, that the committed rows agree with cty.dat, and that
// the tool reads cty.dat's conventions and refuses inconsistent inputs.
#include "data/dx_tables.h"
#include "tests/dx_tables/fields.h"
#include "tools/dxtables/dxtables.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

using namespace korvalen::dxtables;
using korvalen::data::ElevenMetreDxRows;
using korvalen::data::HamDxRows;

namespace {

using korvalen::testing::Fields;

std::string SourceDir() {
    const char* env = std::getenv("KORVALEN_SOURCE_DIR");
    return env && *env ? env : KORVALEN_SOURCE_DIR_DEFAULT;
}

Position RowPosition(const std::vector<std::string>& fields) {
    Position p;
    std::string text = fields[2] + " " + fields[3];
    for (char& c : text)
        if (c == ',') c = '.';
    EXPECT_TRUE(ParsePosition(text, p)) << text;
    return p;
}

// Hours of "UTC+5h30" (5.5), "UTC-9h30" (-9.5); a span's two ends.
std::pair<double, double> UtcSpan(std::string field) {
    if (!field.empty() && field.back() == '*') field.pop_back();
    const auto hours = [](const std::string& text) {
        const double sign = text[0] == '-' ? -1 : 1;
        const auto h = text.find('h');
        double value = std::stod(text.substr(1, h - 1));
        if (h != std::string::npos) value += std::stod(text.substr(h + 1)) / 60;
        return sign * value;
    };
    const std::string offsets = field.substr(3);
    const auto slash = offsets.find('/');
    const double first = hours(offsets.substr(0, slash));
    return {first, slash == std::string::npos ? first : hours(offsets.substr(slash + 1))};
}

const Tables& Committed() {
    static const Tables tables = Build(LoadInputs(SourceDir() + "/tools/dxtables"));
    return tables;
}

TEST(DxTablesGenerator, RemakesTheCommittedFileByteForByte) {
    std::ifstream in(SourceDir() + "/data/dx_tables.cpp", std::ios::binary);
    ASSERT_TRUE(in) << "data/dx_tables.cpp";
    std::ostringstream committed;
    committed << in.rdbuf();
    EXPECT_TRUE(RenderCpp(Committed()) == committed.str())
        << "data/dx_tables.cpp is stale: run mkdxtables (tools/README.md) and commit the result";
}

// Rows that take cty.dat's point may differ from it by rounding to 0.01°
// only; a reviewed point (a city for a call area, a list's old point) lies
// within 1500 km of the entity's point, or within 4500 km in the countries
// that span a continent or a long chain of islands (Okinawa, Papua).
// Antarctica's point in cty.dat is the pole, which no row uses.
double AllowedKm(const Entity& entity, bool reviewedPoint) {
    if (!reviewedPoint) return 1;
    for (const char* vast : {"United States of America", "Canada", "Australia", "European Russia", "Asiatic Russia",
                              "Indonesia", "Japan"})
        if (entity.name == vast) return 4500;
    return 1500;
}

TEST(DxTablesGenerator, HamRowsAgreeWithCtyDat) {
    const Tables& tables = Committed();
    ASSERT_EQ(tables.ham.size(), HamDxRows.size());
    for (std::size_t i = 0; i < HamDxRows.size(); ++i) {
        const HamRow& row = tables.ham[i];
        const auto fields = Fields(HamDxRows[i]);
        ASSERT_EQ(fields[0] + "\t" + fields[1], row.key + "\t" + row.country);
        ASSERT_NE(row.entity, nullptr) << row.key;
        const Entity& entity = *row.entity;
        const Position position = RowPosition(fields);
        if (entity.position.latitude <= -89.9) {
            EXPECT_LE(position.latitude, -60) << row.key << " " << row.country;
        } else {
            EXPECT_LE(DistanceKm(position, entity.position), AllowedKm(entity, row.positionOverridden))
                << row.key << " " << row.country << " vs " << entity.name;
        }
        const auto [nearer, farther] = UtcSpan(fields[4]);
        if (!row.utcOverridden) {
            EXPECT_EQ(nearer, entity.utcOffset) << row.key << " " << fields[4] << " vs " << entity.name;
            EXPECT_EQ(farther, nearer) << row.key;
        } else if (farther != nearer) {
            EXPECT_LE(std::abs(nearer), std::abs(farther)) << row.key << " " << fields[4];
            EXPECT_GE(entity.utcOffset, std::min(nearer, farther)) << row.key << " " << fields[4];
            EXPECT_LE(entity.utcOffset, std::max(nearer, farther)) << row.key << " " << fields[4];
        }
    }
}

TEST(DxTablesGenerator, ElevenMetreRowsAgreeWithCtyDat) {
    const Tables& tables = Committed();
    ASSERT_EQ(tables.elevenMetre.size(), ElevenMetreDxRows.size());
    for (std::size_t i = 0; i < ElevenMetreDxRows.size(); ++i) {
        const ElevenMetreRow& row = tables.elevenMetre[i];
        const auto fields = Fields(ElevenMetreDxRows[i]);
        if (!row.entity || row.entity->position.latitude <= -89.9) continue;
        EXPECT_LE(DistanceKm(RowPosition(fields), row.entity->position), AllowedKm(*row.entity, row.positionOverridden))
            << fields[0] << " " << fields[1] << " vs " << row.entity->name;
    }
}

// cty.dat's conventions: longitude positive west, offsets the other way
// round, the longest prefix entry wins, "=" entries are whole calls.
struct Lookup {
    const char* name;
    const char* text;
    const char* entity;  // nullptr: no prefix entry begins the text
    double latitude, longitude, utc;
};

void PrintTo(const Lookup& lookup, std::ostream* os) { *os << lookup.text; }

class CtyLookups : public ::testing::TestWithParam<Lookup> {};

TEST_P(CtyLookups, FindTheEntityWithTheListsSigns) {
    const Lookup& expected = GetParam();
    const Resolved found = Committed().cty.ByPrefix(expected.text);
    if (!expected.entity) {
        EXPECT_EQ(found.entity, nullptr);
        return;
    }
    ASSERT_NE(found.entity, nullptr);
    EXPECT_EQ(found.entity->name, expected.entity);
    EXPECT_DOUBLE_EQ(found.position.latitude, expected.latitude);
    EXPECT_DOUBLE_EQ(found.position.longitude, expected.longitude);
    EXPECT_DOUBLE_EQ(found.utcOffset, expected.utc);
}

const Lookup LookupCases[] = {
    {"France", "F6ABC", "France", 46, 2, 1},
    {"IndiaHalfHour", "VU2ABC", "India", 22.5, 77.58, 5.5},
    {"NepalQuarterHour", "9N1AA", "Nepal", 27.7, 85.33, 5.75},
    {"HawaiiWest", "KH6XX", "Hawaii", 21.12, -157.48, -10},
    {"LongestPrefixNorfolk", "VK9NA", "Norfolk Island", -29.03, 167.93, 11.5},
    {"ShorterPrefixAustralia", "VK2AB", "Australia", -23.7, 132.33, 10},
    {"WholeCallIsNoPrefix", "DX0JP", "Philippines", 13, 122, 8},
    {"NoEntry", "TN", nullptr, 0, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(DxTablesGenerator, CtyLookups, ::testing::ValuesIn(LookupCases),
                         [](const ::testing::TestParamInfo<Lookup>& info) { return std::string(info.param.name); });

TEST(DxTablesGenerator, WritesDegreesAndOffsetsAsTheListsDo) {
    const std::pair<double, const char*> latitudes[] = {
        {35.83, "35,83N"}, {10.4, "10,4N"}, {38, "38N"}, {-26.5, "26,5S"}, {0, "0N"}, {-0.001, "0N"}, {14.58, "14,58N"}};
    for (const auto& [value, text] : latitudes) EXPECT_EQ(FormatDegrees(value, 'N', 'S'), text) << value;
    EXPECT_EQ(FormatDegrees(-157.75, 'E', 'W'), "157,75W");
    const std::pair<double, const char*> offsets[] = {{1, "UTC+1"},        {-10, "UTC-10"},      {0, "UTC+0"},
                                                      {-0.0, "UTC+0"},     {5.5, "UTC+5h30"},    {-9.5, "UTC-9h30"},
                                                      {12.75, "UTC+12h45"}, {5.75, "UTC+5h45"}, {-3.5, "UTC-3h30"}};
    for (const auto& [value, text] : offsets) EXPECT_EQ(FormatUtc(value), text) << value;
}

// A small world: France only, and a ham list and 11-metre list naming it.
Inputs SmallInputs() {
    Inputs inputs;
    inputs.cty = "France:  14:  27:  EU:   46.00:    -2.00:    -1.0:  F:\n    F,TM;\n"
                 "Antarctica:  13:  74:  SA:  -90.00:  0.00:  0.0:  CE9:\n    CE9;\n";
    inputs.hamList = "F\tFrance (Eu)\n";
    inputs.elevenList = "1\tFrance (Eu)\n";
    return inputs;
}

struct BadInput {
    const char* name;
    std::string Inputs::*file;
    const char* text;
    const char* message;  // part of the error
};

void PrintTo(const BadInput& bad, std::ostream* os) { *os << bad.name; }

class BadInputs : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputs, AreRefusedWithTheFileNamed) {
    ASSERT_NO_THROW(Build(SmallInputs()));
    Inputs inputs = SmallInputs();
    inputs.*GetParam().file += GetParam().text;
    try {
        Build(inputs);
        FAIL() << "accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    }
}

const BadInput BadInputCases[] = {
    {"OverrideForNoRow", &Inputs::hamOverrides, "G | England (Eu) | | 52.5N 1.5W | | why\n", "ham_overrides.txt:1"},
    {"OverrideWithoutReason", &Inputs::hamOverrides, "F | France (Eu) | | 46N 2E | |\n", "ham_overrides.txt:1"},
    {"UnknownEntity", &Inputs::hamOverrides, "F | France (Eu) | Gaul | | | why\n", "Gaul"},
    {"KeyWithoutPrefixEntry", &Inputs::hamList, "ZZ\tNowhere (Eu)\n", "ham_list.txt:2"},
    {"PoleAsPoint", &Inputs::hamList, "CE9\tAntarctica\n", "out of range"},
    {"UnknownSummerEntity", &Inputs::summerTime, "Gaul\n", "summer_time.txt:1"},
    {"ElevenMetreNameNotInCty", &Inputs::elevenList, "2\tGaul (Eu)\n", "eleven_list.txt:2"},
    {"ElevenMetreNumberOutOfOrder", &Inputs::elevenList, "3\tFrance (Eu)\n", "eleven_list.txt:2"},
    {"HistoricalPlaceWithoutPoint", &Inputs::elevenPlaces, "1 | - | | gone\n", "eleven_places.txt:1"},
};

INSTANTIATE_TEST_SUITE_P(DxTablesGenerator, BadInputs, ::testing::ValuesIn(BadInputCases),
                         [](const ::testing::TestParamInfo<BadInput>& info) { return std::string(info.param.name); });

}  // namespace
