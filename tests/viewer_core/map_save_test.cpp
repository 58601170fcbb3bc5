// Saving the map from the save window: what stands at the chosen name that
// is not a map file is refused and left alone, a link to a map file is
// followed, and a full disk gives the system's reason with the old map whole.
#include "viewer/map_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QList>
#include <QTemporaryDir>

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

#include "data/palette.h"

using namespace korvalen;
using namespace korvalen::viewer;

namespace {

QImage StripedMap() {
    QImage image(600, 600, QImage::Format_Indexed8);
    image.setColorTable(QList<QRgb>(std::begin(palette::kColours), std::end(palette::kColours)));
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x) image.setPixel(x, y, (x / 7 + y / 5) % 16);
    return image;
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

// What a folder holds, seen without following or opening anything: each
// entry's type and inode, and where a link points.
std::map<std::string, std::string> Entries(const std::string& folder) {
    std::map<std::string, std::string> entries;
    DIR* d = ::opendir(folder.c_str());
    if (d == nullptr) return {{"<cannot list>", std::strerror(errno)}};
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name, path = folder + "/" + name;
        struct stat st {};
        if (name == "." || name == ".." || ::lstat(path.c_str(), &st) != 0) continue;
        std::string what = S_ISREG(st.st_mode)    ? "file"
                           : S_ISDIR(st.st_mode)  ? "folder"
                           : S_ISLNK(st.st_mode)  ? "link"
                           : S_ISFIFO(st.st_mode) ? "fifo"
                           : S_ISCHR(st.st_mode)  ? "device"
                                                  : "other";
        what += " #" + std::to_string(st.st_ino);
        char target[4096];
        const ssize_t n = S_ISLNK(st.st_mode) ? ::readlink(path.c_str(), target, sizeof target) : 0;
        if (n > 0) what += " -> " + std::string(target, size_t(n));
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

// A device for a link to point at. Root gets a null device of the test's
// own: a faulty save that replaced what the link points at would otherwise
// cost the machine its /dev/null. Anyone else links to /dev/null itself,
// which they cannot replace. Empty when there is none.
std::string LinkableDevice(const std::string& folder) {
    if (::geteuid() != 0) return "/dev/null";
    const std::string device = folder + "/null";
    return ::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 ? device : std::string();
}

struct RefusedCase {
    const char* label;
    const char* name;  // the chosen name, in the test's folder
    int error;         // the errno whose text the window is to show; 0 for not a regular file
    // Makes what stands at the name; false (errno set) when this system cannot.
    std::function<bool(const std::string& folder, const std::string& path)> make;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.label << " (\"" << c.name << "\")"; }

class MapSaveRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(MapSaveRefused, GivesTheReasonAndLeavesTheNameAlone) {
    const RefusedCase& c = GetParam();
    QTemporaryDir dir;
    const std::string folder = QFile::encodeName(dir.path()).toStdString(), path = folder + "/" + c.name;
    if (!c.make(folder, path)) GTEST_SKIP() << "cannot make " << c.label << " here: " << std::strerror(errno);
    const auto before = Entries(folder);
    const std::optional<QString> failure = SaveMapBmp(StripedMap(), QFile::decodeName(path.c_str()));
    const std::string reason = c.error == 0 ? "Not a regular file" : std::strerror(c.error);
    EXPECT_EQ(failure.value_or("<saved>").toStdString(), reason);
    EXPECT_EQ(Entries(folder), before);
}

INSTANTIATE_TEST_SUITE_P(
    Names, MapSaveRefused,
    ::testing::Values(
        RefusedCase{"Fifo", "map.bmp", 0,
                    [](const std::string&, const std::string& p) { return ::mkfifo(p.c_str(), 0644) == 0; }},
        RefusedCase{"LinkToDevice", "map.bmp", 0,
                    [](const std::string& f, const std::string& p) {
                        const std::string device = LinkableDevice(f);
                        return !device.empty() && ::symlink(device.c_str(), p.c_str()) == 0;
                    }},
        RefusedCase{"LinkToNothing", "map.bmp", ENOENT,
                    [](const std::string&, const std::string& p) { return ::symlink("absent.bmp", p.c_str()) == 0; }}),

    [](const auto& info) { return std::string(info.param.label); });

// The link stays and the map it points to is replaced by a new file renamed
// over it: another name of the old file still holds the old map.
TEST(MapSave, ALinkToAMapFileIsFollowedAndKept) {
    QTemporaryDir dir;
    const std::string folder = QFile::encodeName(dir.path()).toStdString();
    ASSERT_EQ(::mkdir((folder + "/maps").c_str(), 0755), 0);
    ASSERT_TRUE(WriteBytes(folder + "/maps/kept.bmp", "the old map"));
    ASSERT_EQ(::link((folder + "/maps/kept.bmp").c_str(), (folder + "/maps/second").c_str()), 0);
    ASSERT_EQ(::symlink("maps/kept.bmp", (folder + "/map.bmp").c_str()), 0);
    const std::string link = Entries(folder).at("map.bmp");

    EXPECT_EQ(SaveMapBmp(StripedMap(), dir.filePath("map.bmp")), std::nullopt);
    EXPECT_EQ(Entries(folder).at("map.bmp"), link);
    EXPECT_EQ(Names(Entries(folder + "/maps")), "kept.bmp second");
    const KeptMap kept = CheckKeptMap(dir.filePath("maps/kept.bmp"));
    EXPECT_EQ(kept.status, KeptMapStatus::Ok) << kept.message.toStdString();
    EXPECT_TRUE(kept.image == StripedMap());
    EXPECT_EQ(ReadBytes(folder + "/maps/second"), "the old map");
}

bool WriteProcFile(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    return ::close(fd) == 0 && written;
}

// Gives the calling process a mount namespace of its own with an empty tmpfs
// of @p kib KiB on @p folder; anyone but root becomes root of a user
// namespace first. Returns why not, or nothing.
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
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("cannot make the mounts private: ") + std::strerror(errno);
    const std::string options = "size=" + std::to_string(kib) + "k";
    if (::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0)
        return std::string("cannot mount a tmpfs: ") + std::strerror(errno);
    return {};
}

// Fills the file system of @p folder but for @p freeBytes (whole pages).
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
    const long keep = (size + page - 1) / page - freeBytes / page;
    const bool ok = error == ENOSPC && keep >= 0 && ::ftruncate(fd, keep * page) == 0;
    ::close(fd);
    return ok ? std::string() : "<cannot fill the file system: " + std::string(std::strerror(error)) + ">";
}

// On a real, small file system private to a child process: the save window
// shows the system's reason for a full disk, and the old map stays whole,
// however much of the new one fits.
TEST(MapSave, AFullDiskGivesTheSystemsReasonAndKeepsTheOldMap) {
    QTemporaryDir dir, scratch;
    const std::string folder = QFile::encodeName(dir.path()).toStdString();
    const QImage map = StripedMap();
    const QString sized = scratch.filePath("sized.bmp");
    ASSERT_EQ(SaveMapBmp(map, sized), std::nullopt);
    const long page = ::sysconf(_SC_PAGESIZE), size = long(QFile(sized).size());
    const QByteArray oldMap = "the old map, which must stay whole";

    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0) << std::strerror(errno);
    if (child == 0) {
        ::close(pipeEnds[0]);
        std::string answer = EnterSmallFileSystem(folder, 512);
        if (!answer.empty()) {
            answer = "skip\n" + answer;
        } else if (!WriteBytes(folder + "/map.bmp", oldMap)) {
            answer = "<cannot write the old map>";
        } else {
            for (const long freeBytes : {(size + page - 1) / page * page - page, 0L}) {
                if (const std::string why = FillLeaving(folder, freeBytes); !why.empty()) {
                    answer += why;
                    break;
                }
                const std::optional<QString> failure =
                    SaveMapBmp(map, QFile::decodeName((folder + "/map.bmp").c_str()));
                answer += failure.value_or("<saved>").toStdString() +
                          (ReadBytes(folder + "/map.bmp") == oldMap ? ", the old map whole" : ", the old map changed") +
                          ", the folder holds " + Names(Entries(folder)) + "\n";
            }
        }
        const bool sent = ::write(pipeEnds[1], answer.data(), answer.size()) == ssize_t(answer.size());
        // No exit handlers: they belong to the parent's test run.
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    const std::string answer = ReadToEnd(pipeEnds[0]).toStdString();
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (answer.rfind("skip\n", 0) == 0) GTEST_SKIP() << "no small file system of the test's own: " << answer.substr(5);
    const std::string once =
        std::string(std::strerror(ENOSPC)) + ", the old map whole, the folder holds filler map.bmp\n";
    EXPECT_EQ(answer, once + once);
}

}  // namespace
