// `korvalen --render`: the map written without a display, and the exit
// statuses a script relies on.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int status;
    QByteArray out;
    QByteArray err;
};

Outcome Korvalen(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral(KORVALEN_PROGRAM), arguments);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

TEST(Render, WritesPngAndBmpSilently) {
    QTemporaryDir dir;
    for (const char* name : {"map.png", "map.bmp"}) {
        const QString file = dir.filePath(name);
        const Outcome r = Korvalen({"--render", "jn18eu", "--output", file});
        EXPECT_EQ(r.status, 0) << name << r.err.constData();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.isEmpty()) << r.err.constData();
        const QImage img(file);
        ASSERT_EQ(img.size(), QSize(600, 600)) << name;
        // The centre label's white cell in the black corner, the disc's centre coloured.
        EXPECT_EQ(img.pixel(2, 585), 0xFFFFFFFFu) << name;
        EXPECT_EQ(img.pixel(1, 585), 0xFF000000u) << name;
        EXPECT_EQ(img.pixel(599, 0), 0xFF000000u) << name;
    }
}

TEST(Render, FailuresExitTwoWithOneLineAndNoFile) {
    QTemporaryDir dir;
    const QString out = dir.filePath("x.png");
    const struct {
        QStringList args;
    } cases[] = {
        {{"--render", "JN18E", "--output", out}},
        {{"--render", "SN18EU", "--output", out}},
        {{"--render", "JN18EU"}},
        {{"--render"}},
        {{"--output", out}},
        {{"--render", "JN18EU", "--output", dir.filePath("x.jpg")}},
        {{"--render", "JN18EU", "--output", dir.filePath("missing/x.png")}},
        {{"--render", "JN18EU", "--output", dir.filePath("missing/x.bmp")}},
        {{"--bogus"}},
    };
    for (const auto& c : cases) {
        const Outcome r = Korvalen(c.args);
        EXPECT_EQ(r.status, 2) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.constData();
        EXPECT_TRUE(r.err.startsWith("korvalen: ")) << r.err.constData();
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty());
}

TEST(Render, HelpAndVersion) {
    Outcome r = Korvalen({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2.1.4\n");
    r = Korvalen({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains("--render LOCATOR"));
}

}  // namespace
