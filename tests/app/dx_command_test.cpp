// `korvalen --list-dx` and `korvalen --beam`: the DX lists and the beam
// heading for scripts, run as a script runs them, with the program in a
// folder of its own so that its korvalen.ini is the test's.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace {

struct Outcome {
    int status;
    QByteArray out;
    QByteArray err;
};

class DxCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        program_ = folder_.filePath("korvalen");
        ASSERT_TRUE(QFile::copy(QStringLiteral(KORVALEN_PROGRAM), program_));
    }

    void WriteSettings(const QByteArray& bytes) {
        QFile f(folder_.filePath("korvalen.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    Outcome Korvalen(const QStringList& arguments, const char* locale = "C") {
        QProcess p;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
        p.setProcessEnvironment(environment);
        p.start(program_, arguments);
        p.waitForFinished(60000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
                p.readAllStandardError()};
    }

    QTemporaryDir folder_;
    QString program_;
};

QList<QByteArray> Lines(const QByteArray& out) {
    QList<QByteArray> lines = out.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
}

TEST_F(DxCommand, ListsTheHamListSortedAndTheElevenMetreListInOrder) {
    const Outcome ham = Korvalen({"--list-dx", "ham"});
    ASSERT_EQ(ham.status, 0) << ham.err.constData();
    const QList<QByteArray> rows = Lines(ham.out);
    ASSERT_EQ(rows.size(), 539);
    EXPECT_EQ(rows.front(), "1A\tMalta (Eu)\t35.83N\t14.58E\tUTC+1*");
    EXPECT_EQ(rows.back(), "ZT-ZU\tSouth Africa (Af)\t30S\t26E\tUTC+2");
    EXPECT_TRUE(rows.contains(QString::fromUtf8("AH6-7\tHawa\u00ef (Oc)\t20N\t157.75W\tUTC-10").toUtf8()));
    EXPECT_TRUE(ham.err.isEmpty());

    // The same whatever the locale says of the decimal mark.
    EXPECT_EQ(Korvalen({"--list-dx", "ham"}, "fr_FR.UTF-8").out, ham.out);

    const Outcome cb = Korvalen({"--list-dx", "11m"});
    ASSERT_EQ(cb.status, 0);
    const QList<QByteArray> numbered = Lines(cb.out);
    ASSERT_EQ(numbered.size(), 351);
    for (int i = 0; i < numbered.size(); ++i)
        ASSERT_TRUE(numbered[i].startsWith(QByteArray::number(i + 1) + '\t')) << i;
    EXPECT_EQ(numbered[0], "1\tItalia (Eu)\t42.83N\t12.83E");
    EXPECT_EQ(numbered[291], "292\tAbu Ail Island (As) deleted");
}

TEST_F(DxCommand, TheOperatorsEntriesFollowAsTheViewerShowsThem) {
    WriteSettings(
        "[KORVALEN]\r\nDX=dl1abc\tHome (Eu)\t48,5\tN\t2,25\tE\tUTC+1\r\n"
        "DXCB=14AT001\tParis club (Eu)\t48,85\tN\t2,35\tE\r\n");
    const QList<QByteArray> cb = Lines(Korvalen({"--list-dx", "11m"}).out);
    ASSERT_EQ(cb.size(), 352);
    EXPECT_EQ(cb.back(), "14AT001\tParis club (Eu)\t48.85N\t2.35E");
    const QList<QByteArray> ham = Lines(Korvalen({"--list-dx", "ham"}).out);
    EXPECT_TRUE(ham.contains("DL1ABC\tHome (Eu)\t48.5N\t2.25E\tUTC+1"));

    const Outcome beam = Korvalen({"--beam", "DL1ABC", "--from", "JN18EU"});
    EXPECT_EQ(beam.status, 0);
    EXPECT_TRUE(beam.out.startsWith("DL1ABC\tHome (Eu)\t")) << beam.out.constData();
    // 351 and above reach the entry, whose key is not a number: as the window beeps.
    EXPECT_EQ(Korvalen({"--beam", "400", "--list", "11m", "--from", "JN18EU"}).status, 3);
}

TEST_F(DxCommand, BeamPrintsTheChosenRowsHeadingsAndRanges) {
    struct {
        QStringList args;
        const char* line;
    } const cases[] = {
        {{"--beam", "F6ABC", "--from", "JN18EU"}, "F\tFrance (Eu)\t185\t318\t5\t39682\tkm\tUTC+1*\n"},
        {{"--from", "JN18EU", "--beam", "f6abc", "--unit", "mile"},
         "F\tFrance (Eu)\t185\t198\t5\t24657\tmiles\tUTC+1*\n"},
        // The word after --beam is the call even when it looks like an option.
        {{"--beam", "-5", "--list", "11m", "--from", "JN18EU"}, nullptr},
        {{"--beam", "14", "--list", "11m", "--from", "JN18EU"}, "14\tFrance (Eu)\t185\t318\t5\t39682\tkm\t\n"},
    };
    for (const auto& c : cases) {
        const Outcome r = Korvalen(c.args);
        EXPECT_EQ(r.status, 0) << c.args.join(' ').toStdString() << r.err.constData();
        if (c.line) {
            EXPECT_EQ(r.out, c.line) << c.args.join(' ').toStdString();
        }
    }
    EXPECT_TRUE(Korvalen({"--beam", "-5", "--list", "11m", "--from", "JN18EU"}).out.startsWith("1\tItalia (Eu)\t"));
}

TEST_F(DxCommand, WhatTheWindowWouldBeepAtExitsThree) {
    for (const QStringList& args : {QStringList{"--beam", "F", "--list", "11m", "--from", "JN18EU"},
                                    QStringList{"--beam", "292", "--list", "11m", "--from", "JN18EU"}}) {
        const Outcome r = Korvalen(args);
        EXPECT_EQ(r.status, 3) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.constData();
    }
}

TEST_F(DxCommand, BadArgumentsExitTwoWithOneLine) {
    const QStringList cases[] = {
        {"--list-dx"},
        {"--list-dx", "cb"},
        {"--list-dx", "ham", "extra"},
        {"--beam", "F6ABC"},
        {"--beam", "F6ABC", "--from", "JN18E"},
        {"--beam", "F6ABC", "--from", "JN18EU", "--list", "cb"},
        {"--beam", "F6ABC", "--from", "JN18EU", "--unit", "nm"},
        {"--beam", "F6ABC", "--from", "JN18EU", "--from", "JN18EU"},
        {"--beam", "", "--from", "JN18EU"},
        {"--beam", " \t", "--from", "JN18EU"},
        {"--beam"},
        {"--from", "JN18EU"},
        {"--beam", "F6ABC", "--from", "JN18EU", "--render", "JN18EU"},
    };
    for (const QStringList& args : cases) {
        const Outcome r = Korvalen(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.constData();
        EXPECT_TRUE(r.err.startsWith("korvalen: ")) << r.err.constData();
    }
}

}  // namespace
