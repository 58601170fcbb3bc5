// The release check's arithmetic: version numbers, the versions file read
// line by line, and what each outcome tells the operator.
#include "info/release.h"
#include "info/release_check.h"
#include "languages/maker_site.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace korvalen::info;

namespace {

struct NumberCase {
    const char* name;
    const char* text;
    int number;
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.name << " \"" << c.text << "\""; }

const NumberCase kNumberCases[] = {
    // The documented examples.
    {"Current", "2.1.4", 214},
    {"NextPatch", "2.1.5", 215},
    {"TwoParts", "2.1", 210},
    {"OnePart", "3", 300},
    {"TwoDigitMinorCountsItsFirst", "2.10.3", 213},
    {"TwoDigitMajorCountsItsFirst", "10.0.0", 100},
    {"LeadingDot", ".5", 50},
    {"LetterFirst", "V2", 0},
    // Around them.
    {"Empty", "", 0},
    {"FourthPartIgnored", "2.1.4.9", 214},
    {"EmptyMiddlePart", "2..4", 204},
    {"LetterStopsTheCount", "2.x.5", 200},
    {"LetterAfterFirstDigitIgnored", "2x.1", 210},
    {"OtherScriptsDigitStops", "\u0662.1.4", 0},
};

class VersionNumbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(VersionNumbers, CountTheFirstDigitOfThreeParts) {
    EXPECT_EQ(VersionNumber(QString::fromUtf8(GetParam().text)), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(Texts, VersionNumbers, ::testing::ValuesIn(kNumberCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- The versions file, as bytes, read for "korvalen".

struct FileCase {
    const char* name;
    QByteArray bytes;
    QString version;  ///< empty: none
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }

const FileCase kFileCases[] = {
    {"CrLf", "tornavel=1.3.2\r\nkorvalen=2.1.5\r\n", QString::fromUtf8("2.1.5")},
    {"CrOnly", "tornavel=1.3.2\rkorvalen=2.1.5\r", QString::fromUtf8("2.1.5")},
    {"LineWithoutEqualsSkipped", "korvalen 2.1.9\r\nkorvalen=2.1.4", QString::fromUtf8("2.1.4")},
    {"KeyMustBeWhole", "korvalen2=2.1.9\r\nxkorvalen=2.1.9\r\nkorvalen =2.1.9\r\n", QString()},
    {"ValueUntrimmedWithEquals", "korvalen= 2.1.5=beta \t\r\n", QString::fromUtf8(" 2.1.5=beta \t")},
    {"EmptyValue", "korvalen=\r\n", QString()},
    {"WebPageThirdByte", "\r\n<korvalen=2.1.5", QString()},
    {"AngleFourthByteIsNoPage", "a=b<\r\nkorvalen=2.1.5", QString::fromUtf8("2.1.5")},
    {"Windows1252Value", "korvalen=2.1.5\x80\r\n", QString::fromUtf8("2.1.5\u20ac")},
};

class VersionsFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(VersionsFile, GivesTheFirstEntryForTheKey) {
    EXPECT_EQ(PublishedVersion(GetParam().bytes, QStringLiteral("korvalen")), GetParam().version);
}

INSTANTIATE_TEST_SUITE_P(Files, VersionsFile, ::testing::ValuesIn(kFileCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- The reply to each outcome, for each asker.

struct ReplyCase {
    const char* name;
    const char* published;
    const char* own;
    Reply now;
    Reply atStart;
};

void PrintTo(const ReplyCase& c, std::ostream* os) { *os << c.name; }

const ReplyCase kReplyCases[] = {
    {"Newer", "2.1.5", "2.1.4", Reply::NewerRelease, Reply::NewerRelease},
    {"Equal", "2.1.4", "2.1.4", Reply::UpToDate, Reply::None},
    {"NothingFetched", "", "2.1.4", Reply::InternetFailure, Reply::None},
    {"NotADigitCountsAsZero", "beta", "2.1.4", Reply::UpToDate, Reply::None},
    {"ComparedByNumberNotText", "3", "2.9.9", Reply::NewerRelease, Reply::NewerRelease},
};

class Replies : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(Replies, ForTheOperatorAndAtStart) {
    const ReplyCase& c = GetParam();
    EXPECT_EQ(ReplyTo(QString::fromUtf8(c.published), QString::fromUtf8(c.own), Asker::Now), c.now);
    EXPECT_EQ(ReplyTo(QString::fromUtf8(c.published), QString::fromUtf8(c.own), Asker::AtStart), c.atStart);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, Replies, ::testing::ValuesIn(kReplyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(VersionsUrl, FromTheSettingOrTheMakersSite) {
    EXPECT_EQ(VersionsUrl(QString()).toString(),
              QLatin1String(korvalen::languages::kMakerSite) + "/index_fichiers/versions.txt");
    EXPECT_EQ(VersionsUrl("http://127.0.0.1:8000/v.txt").toString(), "http://127.0.0.1:8000/v.txt");
    EXPECT_EQ(VersionsUrl("mirror.example/versions.txt").toString(), "http://mirror.example/versions.txt");
    EXPECT_EQ(VersionsUrl("/srv/versions.txt").toString(), "file:///srv/versions.txt");
}

}  // namespace
