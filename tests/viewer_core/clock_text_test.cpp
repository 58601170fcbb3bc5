// The clock lines for fixed instants and locales: no dependence on the
// machine's zone or language.
#include "viewer/clock_text.h"

#include <gtest/gtest.h>

#include <QTimeZone>

#include <ostream>
#include <string>

using korvalen::viewer::ClockColour;
using korvalen::viewer::MakeClockTexts;
using korvalen::viewer::TimeFormatWithoutZone;

namespace {

struct ClockCase {
    const char* name;
    const char* locale;
    int offsetHours;  // the local zone, a fixed offset from UTC
    QDate date;
    QTime time;
    bool utc;
    const char* wantDate;
    const char* wantTime;
};

void PrintTo(const ClockCase& c, std::ostream* os) {
    *os << c.name << " (" << c.locale << ", UTC" << (c.offsetHours < 0 ? "" : "+") << c.offsetHours
        << (c.utc ? ", shown in UTC)" : ", shown local)");
}

class Clock : public ::testing::TestWithParam<ClockCase> {};

TEST_P(Clock, GivesTheLocalesDateAndSecondsWithoutAZoneName) {
    const ClockCase& c = GetParam();
    const QDateTime now(c.date, c.time, QTimeZone(c.offsetHours * 3600));
    const auto texts = MakeClockTexts(now, c.utc, QLocale(QString::fromLatin1(c.locale)));
    EXPECT_EQ(texts.date, QString::fromUtf8(c.wantDate));
    EXPECT_EQ(texts.time, QString::fromUtf8(c.wantTime));
}

const QDate kJuly12(2026, 7, 12);
INSTANTIATE_TEST_SUITE_P(
    Locales, Clock,
    ::testing::Values(
        ClockCase{"FrenchLocal", "fr_FR", 5, kJuly12, QTime(14, 5, 9), false, " 12/07/2026", " 14:05:09"},
        ClockCase{"FrenchUtc", "fr_FR", 5, kJuly12, QTime(14, 5, 9), true, " 12/07/2026", " 09:05:09 Z"},
        ClockCase{"AmericanLocal", "en_US", 5, kJuly12, QTime(14, 5, 9), false, " 7/12/26", " 2:05:09 PM"},
        ClockCase{"AmericanUtc", "en_US", 5, kJuly12, QTime(14, 5, 9), true, " 7/12/26", " 9:05:09 AM Z"},
        ClockCase{"GermanLocalWestOfUtc", "de_DE", -3, kJuly12, QTime(23, 59, 59), false, " 12.07.26", " 23:59:59"},
        ClockCase{"CLocaleUtc", "C", 0, kJuly12, QTime(0, 0, 1), true, " 12 Jul 2026", " 00:00:01 Z"},
        ClockCase{"SpanishLocal", "es_ES", 1, kJuly12, QTime(8, 0, 0), false, " 12/7/26", " 8:00:00"},
        // The date turns at UTC midnight, not at local midnight.
        ClockCase{"FarEastLocal", "fr_FR", 14, kJuly12, QTime(5, 0, 0), false, " 12/07/2026", " 05:00:00"},
        ClockCase{"FarEastUtcDayBefore", "fr_FR", 14, kJuly12, QTime(5, 0, 0), true, " 11/07/2026", " 15:00:00 Z"},
        ClockCase{"FarWestLocal", "fr_FR", -10, kJuly12, QTime(20, 0, 0), false, " 12/07/2026", " 20:00:00"},
        ClockCase{"FarWestUtcDayAfter", "fr_FR", -10, kJuly12, QTime(20, 0, 0), true, " 13/07/2026", " 06:00:00 Z"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Clock, TheZoneFieldGoesWithItsSpacesAndBracketsButQuotedTextStays) {
    EXPECT_EQ(TimeFormatWithoutZone(QLocale(QStringLiteral("en_US"))), QStringLiteral("h:mm:ss AP"));
    EXPECT_EQ(TimeFormatWithoutZone(QLocale(QStringLiteral("zh_CN"))), QStringLiteral("HH:mm:ss"));
    EXPECT_EQ(TimeFormatWithoutZone(QLocale(QStringLiteral("es_ES"))), QStringLiteral("H:mm:ss"));
    EXPECT_EQ(TimeFormatWithoutZone(QLocale(QStringLiteral("fr_CA"))), QStringLiteral("HH 'h' mm 'min' ss 's'"));
}

TEST(Clock, EveryLocaleKeepsItsSecondsAndLosesItsZone) {
    // 14:05:09 UTC+3: the zone would show as "UTC+03:00" or similar.
    const QDateTime now(kJuly12, QTime(14, 5, 9), QTimeZone(3 * 3600));
    const QDateTime later = now.addSecs(1);
    const auto all = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    ASSERT_GT(all.size(), 100);
    for (const QLocale& locale : all) {
        const QString time = MakeClockTexts(now, false, locale).time;
        EXPECT_TRUE(time.startsWith(u' ') && !time.startsWith(QStringLiteral("  "))) << locale.name().toStdString();
        EXPECT_FALSE(time.endsWith(u' ')) << locale.name().toStdString();
        EXPECT_FALSE(time.contains(QStringLiteral("UTC")) || time.contains(QStringLiteral("03:00")))
            << locale.name().toStdString() << " " << time.toStdString();
        EXPECT_NE(time, MakeClockTexts(later, false, locale).time) << locale.name().toStdString();
    }
}

TEST(Clock, LocalIsBlackAndUtcRed) {
    EXPECT_EQ(ClockColour(false), QColor(0, 0, 0));
    EXPECT_EQ(ClockColour(true), QColor(255, 0, 0));
}

}  // namespace
