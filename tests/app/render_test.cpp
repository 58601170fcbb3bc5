// `korvalen --render`: the map written without a display, and the exit
// statuses a script relies on.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

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


QByteArray ReadToEnd(int fd) {
    QByteArray bytes;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            bytes.append(buffer, n);
        else if (errno != EINTR)
            break;
    }
    ::close(fd);
    return bytes;
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

QByteArray ReadBytes(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    return fd < 0 ? QByteArray("<cannot open: " + QByteArray(std::strerror(errno)) + ">") : ReadToEnd(fd);
}

bool WriteBytes(const std::string& path, const QByteArray& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && written;
}

std::string Native(const QTemporaryDir& dir) { return QFile::encodeName(dir.path()).toStdString(); }

// What a folder holds, entry by entry, seen without following or opening
// anything: the type, the inode and, for a link, where it points.
std::map<std::string, std::string> Entries(const std::string& folder) {
    std::map<std::string, std::string> entries;
    DIR* d = ::opendir(folder.c_str());
    if (d == nullptr) return {{"<cannot list>", std::strerror(errno)}};
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "/" + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            entries[name] = "?";
            continue;
        }
        std::string what = S_ISREG(st.st_mode)    ? "file"
                           : S_ISDIR(st.st_mode)  ? "folder"
                           : S_ISLNK(st.st_mode)  ? "link"
                           : S_ISFIFO(st.st_mode) ? "fifo"
                           : S_ISCHR(st.st_mode)  ? "device"
                                                  : "other";
        what += " #" + std::to_string(st.st_ino);
        if (S_ISLNK(st.st_mode)) {
            char target[4096];
            const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
            what += " -> " + std::string(target, n > 0 ? size_t(n) : 0);
        }
        entries[name] = what;
    }
    ::closedir(d);
    return entries;
}

std::string Names(const std::map<std::string, std::string>& entries) {
    std::string names;
    for (const auto& entry : entries) names += (names.empty() ? "" : " ") + entry.first;
    return names;
}

// What already stands at the output's name; false (errno set) when this
// system cannot make it.
using Make = std::function<bool(const std::string& folder, const std::string& path)>;

// A null device made in the test's folder (root only).
bool MakeNullDevice(const std::string& path) { return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; }

// A device for a link to point at. Root gets a null device of the test's
// own: a faulty save that replaced what the link points at would otherwise
// cost the machine its /dev/null. Anyone else links to /dev/null itself,
// which they cannot replace. Empty when there is none.
std::string LinkableDevice(const std::string& folder) {
    if (::geteuid() != 0) return "/dev/null";
    return MakeNullDevice(folder + "/null") ? folder + "/null" : std::string();
}

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

bool WriteProcFile(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    return ::close(fd) == 0 && written;
}

// Gives the calling process a mount namespace of its own with an empty tmpfs
// of @p kib KiB on @p folder. Root may have one outright; anyone else becomes
// root of a user namespace first. Returns why not, or nothing.
std::string EnterSmallFileSystem(const std::string& folder, int kib) {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (uid == 0) {
        if (::unshare(CLONE_NEWNS) != 0) return std::string("no mount namespace: ") + std::strerror(errno);
    } else {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return std::string("not root and no user namespace: ") + std::strerror(errno);
        if (!WriteProcFile("/proc/self/setgroups", "deny") ||
            !WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return std::string("cannot map the user into its namespace: ") + std::strerror(errno);
    }
    // Private, so that the tmpfs never shows outside this process.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("cannot make the mounts private: ") + std::strerror(errno);
    const std::string options = "size=" + std::to_string(kib) + "k";
    if (::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0)
        return std::string("cannot mount a tmpfs: ") + std::strerror(errno);
    return {};
}

// Runs @p body in a child process whose @p folder is a small file system of
// its own, and hands back body's account (or, first, why it could not run).
struct Isolated {
    bool ran;
    std::string text;
};

Isolated InSmallFileSystem(const std::string& folder, int kib, const std::function<std::string()>& body) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return {true, std::string("<pipe: ") + std::strerror(errno) + ">"};
    const pid_t child = ::fork();
    if (child < 0) return {true, std::string("<fork: ") + std::strerror(errno) + ">"};
    if (child == 0) {
        ::close(pipeEnds[0]);
        const std::string why = EnterSmallFileSystem(folder, kib);
        const std::string answer = why.empty() ? "ran\n" + body() : "skip\n" + why;
        const bool sent = ::write(pipeEnds[1], answer.data(), answer.size()) == ssize_t(answer.size());
        // No exit handlers: they belong to the parent's test run.
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    const std::string answer = ReadToEnd(pipeEnds[0]).toStdString();
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (answer.rfind("skip\n", 0) == 0) return {false, answer.substr(5)};
    if (answer.rfind("ran\n", 0) == 0) return {true, answer.substr(4)};
    return {true, "<the child said nothing, status " + std::to_string(status) + ">"};
}

// Fills the file system of @p folder but for @p freeBytes (whole pages): the
// file written next runs out of room part way. Returns why not, or nothing.
std::string FillLeaving(const std::string& folder, long freeBytes) {
    const std::string filler = folder + "/filler";
    ::unlink(filler.c_str());
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return std::string("<filler: ") + std::strerror(errno) + ">";
    static const char block[4096] = {};
    long size = 0;
    for (ssize_t n; (n = ::write(fd, block, sizeof block)) > 0;) size += n;
    const int error = errno;
    const long page = ::sysconf(_SC_PAGESIZE);
    const long pages = (size + page - 1) / page, keep = pages - freeBytes / page;
    const bool ok = error == ENOSPC && keep >= 0 && ::ftruncate(fd, keep * page) == 0;
    ::close(fd);
    return ok ? std::string() : "<cannot fill the file system: " + std::string(std::strerror(error)) + ">";
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
