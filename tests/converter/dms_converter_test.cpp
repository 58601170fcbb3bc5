// The degrees-minutes-seconds converter: what typing into its four fields
// gives, in a locale with a decimal point and one with a decimal comma, and
// what it puts back.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "info/dms_converter.h"

using namespace korvalen::info;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

struct Typed {
    DmsField field;
    const char* text;  // typed into the emptied field, one character at a time
    bool pasted = false;  // or put in at once, over what the field holds
};

struct ConversionCase {
    const char* label;
    std::vector<Typed> typed;
    const char* result;       // with a decimal point
    const char* fields[4];    // the fields' texts afterwards
};
void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.label; }

constexpr DmsField D = DmsField::Degrees, M = DmsField::Minutes, S = DmsField::Seconds, Ms = DmsField::Milliseconds;

const ConversionCase kCases[] = {
    {"Paris", {{D, "48"}, {M, "51"}, {S, "24"}, {Ms, "0"}}, "48.856667", {"48", "51", "24", "0"}},
    {"ParisEast", {{D, "2"}, {M, "21"}, {S, "7"}, {Ms, "500"}}, "2.352083", {"2", "21", "7", "500"}},
    {"LastMillisecondRoundsUp", {{D, "179"}, {M, "59"}, {S, "59"}, {Ms, "999"}}, "180.000000",
     {"179", "59", "59", "999"}},
    {"OneMillisecondIsBelowTheSixthDecimal", {{Ms, "1"}}, "0.000000", {"000", "00", "00", "1"}},
    // A minus typed alone is put back; before a digit it is taken.
    {"MinusFiveAndAHalf", {{D, "-"}, {D, "5"}, {D, "-5", true}, {M, "30"}}, "-4.500000", {"-5", "30", "00", "000"}},
    // The third digit makes 180: the field goes back to 18.
    {"DegreesBelow180", {{D, "180"}}, "18.000000", {"18", "00", "00", "000"}},
    {"MinutesBelow60", {{M, "60"}}, "0.100000", {"000", "6", "00", "000"}},
    {"FiftyNineMinutesPass", {{M, "59"}}, "0.983333", {"000", "59", "00", "000"}},
    {"ALetterIsPutBack", {{D, "4x"}}, "4.000000", {"4", "00", "00", "000"}},
    {"AMinusAloneIsPutBack", {{D, "-"}}, "0.000000", {"", "00", "00", "000"}},
    {"AnEmptyFieldCountsAsZero", {{D, "12"}, {D, ""}}, "0.000000", {"", "00", "00", "000"}},
};

class Conversion : public testing::TestWithParam<ConversionCase> {};

TEST_P(Conversion, GivesTheDecimalDegreesInTheLocalesNotation) {
    const ConversionCase& c = GetParam();
    for (const QString& decimal : {QStringLiteral("."), QStringLiteral(",")}) {
        DmsConverter converter;
        QString fields[4] = {"000", "00", "00", "000"};
        QString result = QStringLiteral("0");
        // As the window does: every change answered, a refused text put back
        // (which is a change again), the result written each time.
        auto change = [&](DmsField f, const QString& text) {
            const DmsConverter::Answer a = converter.Change(f, text, decimal);
            result = a.decimalText;
            QString& field = fields[static_cast<int>(f)];
            field = text;
            if (!a.accepted) {
                EXPECT_NE(a.fieldText, text);
                field = a.fieldText;
                const DmsConverter::Answer again = converter.Change(f, field, decimal);
                EXPECT_TRUE(again.accepted);
                EXPECT_EQ(again.decimalText, a.decimalText);
            }
        };
        for (const Typed& t : c.typed) {
            const QString text = QString::fromLatin1(t.text);
            if (t.pasted) {
                change(t.field, text);
                continue;
            }
            change(t.field, QString());
            for (const QChar ch : text) change(t.field, fields[static_cast<int>(t.field)] + ch);
        }
        QString expected = QString::fromLatin1(c.result);
        expected.replace(QLatin1Char('.'), decimal);
        EXPECT_EQ(result, expected) << "decimal " << decimal.toStdString();
        for (int f = 0; f < 4; ++f) {
            EXPECT_EQ(fields[f], QString::fromLatin1(c.fields[f])) << "field " << f;
            EXPECT_EQ(converter.LastValid(static_cast<DmsField>(f)), fields[f]) << "field " << f;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Converter, Conversion, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(DecimalDegreesText, NeverShowsANegativeZeroNorMoreThanTenSignificantDigits) {
    // -1 59 59 999 is a few ten-millionths below zero.
    EXPECT_EQ(DecimalDegreesText(-1 + 59.0L / 60 + 59.999L / 3600, QStringLiteral(",")), "0,000000");
    EXPECT_EQ(DecimalDegreesText(12345.6789015L, QStringLiteral(".")), "12345.678900");
}

}  // namespace
