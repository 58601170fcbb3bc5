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

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/palette.h"
#include "tests/support/failure_text.h"
#include "tests/support/posix_files.h"

using namespace korvalen;
using namespace korvalen::viewer;

using namespace korvalen::testing;

namespace {

QImage StripedMap() {
    QImage image(600, 600, QImage::Format_Indexed8);
    image.setColorTable(QList<QRgb>(std::begin(palette::kColours), std::end(palette::kColours)));
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x) image.setPixel(x, y, (x / 7 + y / 5) % 16);
    return image;
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
    const std::optional<std::string> failure = FailureText(SaveMapBmp(StripedMap(), QFile::decodeName(path.c_str())));
    const std::string reason = c.error == 0 ? "Not a regular file" : std::strerror(c.error);
    EXPECT_EQ(failure.value_or("<saved>"), reason);
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

    EXPECT_EQ(FailureText(SaveMapBmp(StripedMap(), dir.filePath("map.bmp"))), std::nullopt);
    EXPECT_EQ(Entries(folder).at("map.bmp"), link);
    EXPECT_EQ(Names(Entries(folder + "/maps")), "kept.bmp second");
    const KeptMap kept = CheckKeptMap(dir.filePath("maps/kept.bmp"));
    EXPECT_EQ(kept.status, KeptMapStatus::Ok) << FailureText(kept.error).value_or("");
    EXPECT_TRUE(kept.image == StripedMap());
    EXPECT_EQ(ReadBytes(folder + "/maps/second"), "the old map");
}

// On a real, small file system private to a child process: the save window
// shows the system's reason for a full disk, and the old map stays whole,
// however much of the new one fits.
TEST(MapSave, AFullDiskGivesTheSystemsReasonAndKeepsTheOldMap) {
    QTemporaryDir dir, scratch;
    const std::string folder = QFile::encodeName(dir.path()).toStdString();
    const QImage map = StripedMap();
    const QString sized = scratch.filePath("sized.bmp");
    ASSERT_EQ(FailureText(SaveMapBmp(map, sized)), std::nullopt);
    const long page = ::sysconf(_SC_PAGESIZE), size = long(QFile(sized).size());
    const QByteArray oldMap = "the old map, which must stay whole";

    const Isolated run = InSmallFileSystem(folder, 512, [&] {
        if (!WriteBytes(folder + "/map.bmp", oldMap)) return std::string("<cannot write the old map>");
        std::string answer;
        for (const long freeBytes : {(size + page - 1) / page * page - page, 0L}) {
            if (const std::string why = FillLeaving(folder, freeBytes); !why.empty()) return answer + why;
            const std::optional<std::string> failure =
                FailureText(SaveMapBmp(map, QFile::decodeName((folder + "/map.bmp").c_str())));
            answer += failure.value_or("<saved>") +
                      (ReadBytes(folder + "/map.bmp") == oldMap ? ", the old map whole" : ", the old map changed") +
                      ", the folder holds " + Names(Entries(folder)) + "\n";
        }
        return answer;
    });
    if (!run.ran) GTEST_SKIP() << "no small file system of the test's own: " << run.text;
    const std::string once =
        std::string(std::strerror(ENOSPC)) + ", the old map whole, the folder holds filler map.bmp\n";
    EXPECT_EQ(run.text, once + once);
}

}  // namespace
