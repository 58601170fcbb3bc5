// The kept map read at start-up: korvalen.ini names a BMP file that anyone
// may have replaced, truncated or edited since it was saved. CheckKeptMap
// takes a file name, so every input is written to one file in a private
// folder, named *.bmp with the permissions a saved map has. A map it accepts
// then goes through what the viewer does with it first: the centre label
// and the overlays drawn into its indices, whatever colour table it came
// with.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fuzz/check.h"
#include "geo/geo.h"
#include "viewer/map_file.h"
#include "viewer/map_surface.h"

using namespace korvalen;

namespace {

std::string gFolder;
std::string gMapFile;

void RemoveMapFolder() {
    if (!gMapFile.empty()) ::unlink(gMapFile.c_str());
    if (!gFolder.empty()) ::rmdir(gFolder.c_str());
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "kept_map: %s: %s\n", what, std::strerror(errno));
    std::abort();
}

void WriteMapFile(const uint8_t* data, size_t size) {
    const int fd = ::open(gMapFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) Fail("cannot create the map file");
    // The umask may have taken bits away; a saved map is rw-r--r--.
    if (::fchmod(fd, 0644) != 0) Fail("cannot set the map file's mode");
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) Fail("cannot write the map file");
        done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0) Fail("cannot close the map file");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The centre label needs fonts, hence a QGuiApplication; offscreen, so
    // that no display is needed. It gets a command line of its own: Qt takes
    // out the options it knows, and libFuzzer's must stay as they are.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static char qtName[] = "kept_map";
    static char* qtArgv[] = {qtName, nullptr};
    static std::unique_ptr<QGuiApplication> app(new QGuiApplication(qtArgc, qtArgv));
    // The decoder warns about every odd colour table, thousands of lines a
    // second that would slow the run and bury a real report.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg) std::fprintf(stderr, "kept_map: %s\n", qPrintable(message));
    });

    std::string pattern = QDir::tempPath().toStdString() + "/korvalen-kept-map-XXXXXX";
    if (!::mkdtemp(pattern.data())) Fail("cannot create a private folder");
    gFolder = pattern;
    gMapFile = gFolder + "/kept.bmp";
    std::atexit(RemoveMapFolder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteMapFile(data, size);
    viewer::KeptMap kept = viewer::CheckKeptMap(QString::fromStdString(gMapFile));

    if (kept.status != viewer::KeptMapStatus::Ok) {
        KORVALEN_FUZZ_CHECK(kept.error && !kept.error->text.empty(), "a refused map says why");
        KORVALEN_FUZZ_CHECK(kept.image.isNull(), "a refused map brings no image");
        KORVALEN_FUZZ_CHECK(kept.status == viewer::KeptMapStatus::DecodeError,
                            "a readable, writable *.bmp file can only fail to decode");
        return 0;
    }
    KORVALEN_FUZZ_CHECK(kept.image.width() == geo::MapSize && kept.image.height() == geo::MapSize,
                        "an accepted map is 600 x 600");
    KORVALEN_FUZZ_CHECK(kept.image.format() == QImage::Format_Indexed8, "an accepted map is indexed");

    viewer::MapSurface surface(&kept.image);
    surface.DrawCentreLabel(QStringLiteral("48\u00b051' N / 2\u00b021' E"));
    surface.SelectOverlayPen();
    surface.SetBrushClear();
    surface.DrawAxes();
    surface.DrawCircles();
    return 0;
}
