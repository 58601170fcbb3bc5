// `korvalen --render`: the map written without a display, and the exit
// statuses a script relies on.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/support/posix_files.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace korvalen::testing;

namespace {

struct Outcome {
    int status;
    QByteArray out;
    QByteArray err;
};

Outcome Korvalen(const QStringList& arguments) {
    QProcess p;
    // The system's reasons in the messages, whatever the machine's language.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    p.setProcessEnvironment(environment);
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
    EXPECT_TRUE(r.out.contains("followed: the link stays"));  // the rule for links, the same for both formats
}

// Runs the program with arguments given as bytes: a file name that is not
// valid UTF-8 must reach it exactly, which QProcess (through QString) cannot
// carry.
Outcome KorvalenBytes(const std::vector<QByteArray>& arguments) {
    std::vector<QByteArray> words{QByteArrayLiteral(KORVALEN_PROGRAM)};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (QByteArray& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return {-1, {}, "pipe: " + QByteArray(std::strerror(errno))};
    if (::pipe2(err, O_CLOEXEC) != 0) return {-1, {}, "pipe: " + QByteArray(std::strerror(errno))};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::setenv("LC_ALL", "C", 1);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    if (child < 0) {
        ::close(out[0]);
        ::close(err[0]);
        return {-1, {}, "fork: " + QByteArray(std::strerror(errno))};
    }
    Outcome r{-1, ReadToEnd(out[0]), ReadToEnd(err[0])};
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) r.status = WEXITSTATUS(status);
    return r;
}

std::string Native(const QTemporaryDir& dir) { return QFile::encodeName(dir.path()).toStdString(); }

// What already stands at the output's name; false (errno set) when this
// system cannot make it.
using Make = std::function<bool(const std::string& folder, const std::string& path)>;

struct RefusedCase {
    std::string label;
    std::string name;    // the output, in the test's folder
    std::string reason;  // the end of the message
    Make make;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.label << " (\"" << c.name << "\")"; }

std::vector<RefusedCase> RefusedCases() {
    const std::string notRegular = "Not a regular file";
    const struct {
        const char* label;
        std::string reason;
        Make make;
    } kinds[] = {
        {"Fifo", notRegular, [](const std::string&, const std::string& p) { return ::mkfifo(p.c_str(), 0644) == 0; }},
        {"Device", notRegular, [](const std::string&, const std::string& p) { return MakeNullDevice(p); }},
        {"LinkToDevice", notRegular,
         [](const std::string& f, const std::string& p) {
             const std::string device = LinkableDevice(f);
             return !device.empty() && ::symlink(device.c_str(), p.c_str()) == 0;
         }},
        {"LinkToFifo", notRegular,
         [](const std::string& f, const std::string& p) {
             return ::mkfifo((f + "/fifo").c_str(), 0644) == 0 && ::symlink("fifo", p.c_str()) == 0;
         }},
        {"Folder", std::strerror(EISDIR),
         [](const std::string&, const std::string& p) { return ::mkdir(p.c_str(), 0755) == 0; }},
        {"LinkToFolder", std::strerror(EISDIR),
         [](const std::string& f, const std::string& p) {
             return ::mkdir((f + "/maps").c_str(), 0755) == 0 && ::symlink("maps", p.c_str()) == 0;
         }},
        {"LinkToNothing", std::strerror(ENOENT),
         [](const std::string&, const std::string& p) { return ::symlink("absent", p.c_str()) == 0; }},
    };
    std::vector<RefusedCase> cases;
    for (const auto& kind : kinds)
        for (const std::string format : {"bmp", "png"})
            cases.push_back({kind.label + ("_" + format), "out." + format, kind.reason, kind.make});
    return cases;
}

class RenderRefused : public ::testing::TestWithParam<RefusedCase> {};

// Only a new name or a regular file (or a link to one) is written: anything
// else is left as it is, without being opened (a FIFO would block).
TEST_P(RenderRefused, ExitsTwoWithOneLineAndTouchesNothing) {
    const RefusedCase& c = GetParam();
    QTemporaryDir dir;
    const std::string out = Native(dir) + "/" + c.name;
    if (!c.make(Native(dir), out)) GTEST_SKIP() << "cannot make " << c.label << " here: " << std::strerror(errno);
    const auto before = Entries(Native(dir));
    const Outcome r = Korvalen({"--render", "JN18EU", "--output", QFile::decodeName(out.c_str())});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.toStdString(), "korvalen: cannot write " + out + ": " + c.reason + "\n");
    EXPECT_EQ(Entries(Native(dir)), before);
}

INSTANTIATE_TEST_SUITE_P(Outputs, RenderRefused, ::testing::ValuesIn(RefusedCases()),
                         [](const auto& info) { return info.param.label; });

// A link to a regular file is followed the same way for both formats: the
// link stays, and the file it points to is replaced by a new one renamed
// over it (another name of the old file keeps the old map).
TEST(Render, ALinkToARegularFileIsFollowedAndKept) {
    for (const std::string format : {"bmp", "png"}) {
        SCOPED_TRACE(format);
        QTemporaryDir dir;
        const std::string folder = Native(dir), maps = folder + "/maps";
        ASSERT_EQ(::mkdir(maps.c_str(), 0755), 0);
        ASSERT_TRUE(WriteBytes(maps + "/real." + format, "the old map"));
        ASSERT_EQ(::link((maps + "/real." + format).c_str(), (maps + "/second").c_str()), 0);
        ASSERT_EQ(::symlink(("maps/real." + format).c_str(), (folder + "/link." + format).c_str()), 0);
        const auto linkBefore = Entries(folder).at("link." + format);

        const QString link = QFile::decodeName((folder + "/link." + format).c_str());
        const Outcome r = Korvalen({"--render", "JN18EU", "--output", link});
        EXPECT_EQ(r.status, 0) << r.err.constData();
        EXPECT_TRUE(r.err.isEmpty()) << r.err.constData();
        EXPECT_EQ(Entries(folder).at("link." + format), linkBefore);
        EXPECT_EQ(Names(Entries(folder)), "link." + format + " maps");
        EXPECT_EQ(Names(Entries(maps)), "real." + format + " second");
        EXPECT_EQ(QImage::fromData(ReadBytes(maps + "/real." + format)).size(), QSize(600, 600));
        EXPECT_EQ(ReadBytes(maps + "/second"), "the old map");
    }
}

// The name is the bytes given: two names that are not valid UTF-8, which a
// decoding would both turn into U+FFFD, are two files side by side.
TEST(Render, NamesThatAreNotUtf8AreKeptByteForByte) {
    QTemporaryDir references, dir;
    const std::string folder = Native(dir);
    // QTemporaryDir cannot remove what a QString cannot name.
    struct Cleaner {
        std::string folder;
        ~Cleaner() {
            for (const auto& entry : Entries(folder)) ::unlink((folder + "/" + entry.first).c_str());
        }
    } cleaner{folder};
    for (const std::string format : {"bmp", "png"}) {
        SCOPED_TRACE(format);
        const QString paris = references.filePath(QString::fromStdString("paris." + format));
        const QString boston = references.filePath(QString::fromStdString("boston." + format));
        ASSERT_EQ(Korvalen({"--render", "JN18EU", "--output", paris}).status, 0);
        ASSERT_EQ(Korvalen({"--render", "FN31PR", "--output", boston}).status, 0);

        const std::string ff = folder + "/\xff." + format, fe = folder + "/\xfe." + format;
        Outcome r = KorvalenBytes({"--render", "JN18EU", "--output", QByteArray::fromStdString(ff)});
        EXPECT_EQ(r.status, 0) << r.err.constData();
        r = KorvalenBytes({"--render", "FN31PR", "--output", QByteArray::fromStdString(fe)});
        EXPECT_EQ(r.status, 0) << r.err.constData();
        EXPECT_EQ(ReadBytes(ff), ReadBytes(QFile::encodeName(paris).toStdString()));
        EXPECT_EQ(ReadBytes(fe), ReadBytes(QFile::encodeName(boston).toStdString()));
    }
    EXPECT_EQ(Names(Entries(folder)), "\xfe.bmp \xfe.png \xff.bmp \xff.png");

    // The ending rule holds for such a name too.
    for (const char* name : {"/map.bmp\xff", "/map.png\xff", "/\xff.BMP"}) {
        const Outcome r = KorvalenBytes({"--render", "JN18EU", "--output", folder.c_str() + QByteArray(name)});
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_TRUE(r.err.startsWith("korvalen: the output file must end in .bmp or .png")) << r.err.constData();
    }
    EXPECT_EQ(Names(Entries(folder)), "\xfe.bmp \xfe.png \xff.bmp \xff.png");
}

// A full disk fails the write with the system's reason and leaves the old map
// whole, for both formats, however much of the new map fits. The file system
// is a real one, small and private to the test.
TEST(Render, AFullDiskIsReportedAndTheOldMapKept) {
    QTemporaryDir references, dir;
    const std::string folder = Native(dir);
    std::map<std::string, QByteArray> oldMaps;
    std::map<std::string, long> newSizes;
    for (const std::string format : {"bmp", "png"}) {
        const QString old = references.filePath(QString::fromStdString("old." + format));
        const QString fresh = references.filePath(QString::fromStdString("new." + format));
        ASSERT_EQ(Korvalen({"--render", "FN31PR", "--output", old}).status, 0);
        ASSERT_EQ(Korvalen({"--render", "JN18EU", "--output", fresh}).status, 0);
        oldMaps[format] = ReadBytes(QFile::encodeName(old).toStdString());
        newSizes[format] = long(QFileInfo(fresh).size());
    }
    const long page = ::sysconf(_SC_PAGESIZE);
    struct FullCase {
        const char* label;
        std::string format;
        long freeBytes;
    };
    const FullCase cases[] = {
        {"ThePngLacksAPage", "png", (newSizes["png"] + page - 1) / page * page - page},
        {"TheBmpLacksAPage", "bmp", (newSizes["bmp"] + page - 1) / page * page - page},
        {"NoRoomForThePng", "png", 0},
        {"NoRoomForTheBmp", "bmp", 0},
    };

    const Isolated run = InSmallFileSystem(folder, 1024, [&] {
        std::string account;
        for (const auto& [format, bytes] : oldMaps)
            if (!WriteBytes(folder + "/map." + format, bytes)) return "<cannot write the old " + format + ">";
        for (const FullCase& c : cases) {
            if (const std::string why = FillLeaving(folder, c.freeBytes); !why.empty()) return why;
            const std::string out = folder + "/map." + c.format;
            const Outcome r = KorvalenBytes({"--render", "JN18EU", "--output", QByteArray::fromStdString(out)});
            account += std::string(c.label) + ": exit " + std::to_string(r.status) +
                       (ReadBytes(out) == oldMaps[c.format] ? ", the old map whole" : ", the old map changed") +
                       ", the folder holds " + Names(Entries(folder)) + "\n" + r.err.toStdString();
        }
        return account;
    });
    if (!run.ran) GTEST_SKIP() << "no small file system of the test's own: " << run.text;
    std::string expected;
    for (const FullCase& c : cases)
        expected += std::string(c.label) + ": exit 2, the old map whole, the folder holds filler map.bmp map.png\n" +
                    "korvalen: cannot write " + folder + "/map." + c.format + ": " + std::strerror(ENOSPC) + "\n";
    EXPECT_EQ(run.text, expected);
}

}  // namespace
