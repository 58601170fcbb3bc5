// Prints the time of one map generation for the centre of JN18EU, the time
// PROJ takes to project the same points with its azimuthal equidistant
// projection on a sphere, and their ratio; then, in the offscreen windows,
// the pointer read-out, the generation with its progress bar, saving and
// loading the kept map, and writing the settings at exit.
#include <proj.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <thread>
#include <string>
#include <vector>

#include "app/program.h"
#include "data/resources.h"
#include "generator/projection.h"
#include "settings/settings.h"
#include "viewer/map_file.h"
#include "viewer/map_surface.h"

using namespace korvalen;
using Clock = std::chrono::steady_clock;

namespace {

template <class F>
double MedianMs(int runs, F&& f) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const auto a = Clock::now();
        f();
        t.push_back(std::chrono::duration<double, std::milli>(Clock::now() - a).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

std::string CpuName() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    return "unknown CPU";
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    data::InitResources();
    const int runs = argc > 1 ? std::max(20, std::atoi(argv[1])) : 41;
    std::printf("machine: %s, %u hardware threads\n", CpuName().c_str(), std::thread::hardware_concurrency());

    QImage world(QString::fromLatin1(data::kWorldMapPath));
    QImage templ(QString::fromLatin1(data::kTemplatePath));
    if (world.format() != QImage::Format_Indexed8 || templ.format() != QImage::Format_Indexed8) {
        std::fprintf(stderr, "built-in images missing\n");
        return 1;
    }
    QImage target = templ.copy();
    const generator::ConstIndexedView w{world.constBits(), world.width(), world.height(), world.bytesPerLine()};
    const generator::ConstIndexedView t{templ.constBits(), templ.width(), templ.height(), templ.bytesPerLine()};
    const generator::IndexedView out{target.bits(), target.width(), target.height(), target.bytesPerLine()};
    const auto centre = geo::LocatorToLatLong("JN18EU");

    generator::AzimuthalProjector projector(2);
    auto generate = [&] {
        generator::CopyTemplate(t, out);
        geo::Real lat = centre->latitude;
        projector.Project(w, out, lat, centre->longitude);
    };
    const double generation = MedianMs(runs, generate);

    // Pixel identity with the extended-precision reference, in this very run.
    QImage reference = templ.copy();
    {
        const generator::IndexedView r{reference.bits(), reference.width(), reference.height(),
                                       reference.bytesPerLine()};
        geo::Real lat = centre->latitude;
        generator::ProjectReference(w, r, lat, centre->longitude);
    }
    generate();
    bool identical = reference == target;
    const double referenceMs = MedianMs(3, [&] {
        QImage r = templ.copy();
        const generator::IndexedView v{r.bits(), r.width(), r.height(), r.bytesPerLine()};
        geo::Real lat = centre->latitude;
        generator::ProjectReference(w, v, lat, centre->longitude);
    });

    // PROJ, the reference peer: the same 405,960 points, forward aeqd on a sphere.
    PJ_CONTEXT* ctx = proj_context_create();
    const std::string def = "+proj=aeqd +R=6371008.8 +lat_0=" + std::to_string(static_cast<double>(centre->latitude)) +
                            " +lon_0=" + std::to_string(static_cast<double>(centre->longitude));
    PJ* pj = proj_create(ctx, def.c_str());
    if (!pj) {
        std::fprintf(stderr, "PROJ refused %s\n", def.c_str());
        return 1;
    }
    const size_t n = static_cast<size_t>(geo::WorldWidth) * geo::WorldHeight;
    std::vector<double> lon0(n), lat0(n), x(n), y(n);
    for (int c = 0; c < geo::WorldWidth; ++c)
        for (int r = 0; r < geo::WorldHeight; ++r) {
            const geo::LatLong p = geo::WorldPixelToLatLong(c, r);
            lon0[c * geo::WorldHeight + r] = proj_torad(static_cast<double>(p.longitude));
            lat0[c * geo::WorldHeight + r] = proj_torad(static_cast<double>(p.latitude));
        }
    const double projMs = MedianMs(runs, [&] {
        generator::ClearUpperVectorState();
        std::copy(lon0.begin(), lon0.end(), x.begin());
        std::copy(lat0.begin(), lat0.end(), y.begin());
        proj_trans_generic(pj, PJ_FWD, x.data(), sizeof(double), n, y.data(), sizeof(double), n, nullptr, 0, 0,
                           nullptr, 0, 0);
    });
    proj_destroy(pj);
    proj_context_destroy(ctx);

    std::printf("generation JN18EU (template copy + %zu points), median of %d: %.3f ms\n", n, runs, generation);
    std::printf("  points recomputed in extended precision: %d\n", projector.RecheckedPoints());
    std::printf("  pixel-identical to the extended-precision reference: %s (reference %.1f ms)\n",
                identical ? "yes" : "NO", referenceMs);
    std::printf("PROJ aeqd forward on a sphere, same points, median of %d: %.3f ms\n", runs, projMs);
    std::printf("ratio PROJ / generation: %.2f\n", projMs / generation);

    // The windows, offscreen, in a throw-away program folder.
    QTemporaryDir folder;
    app::Program program(folder.path());
    program.Start({});
    viewer::TFormAzimut* viewer = &program.FormAzimut();
    generator::TFormCarte* carte = &program.FormCarte();
    carte->GenerateAzimuthalMap(Qt::LeftButton, 403, 94);
    QCoreApplication::processEvents();

    // One pointer read-out: both texts computed and set, over the whole disc.
    std::vector<std::pair<int, int>> pixels;
    for (int y = 0; y < 600; y += 7)
        for (int x = 0; x < 600; x += 7) pixels.emplace_back(x, y);
    const double readoutMs = MedianMs(runs, [&] {
        for (const auto& p : pixels) viewer->ImageAzimutMouseMove(p.first, p.second);
    });
    std::printf("pointer read-out (compute and set both texts), median: %.2f us per move\n",
                readoutMs * 1000 / static_cast<double>(pixels.size()));

    // The whole generation as the window runs it: 796 progress-bar repaints,
    // the viewer hidden and shown again.
    const double windowMs = MedianMs(std::min(runs, 21), [&] {
        carte->GenerateAzimuthalMap(Qt::LeftButton, 403, 94);
        QCoreApplication::processEvents();
    });
    std::printf("generation in the window with its progress bar, median: %.2f ms (%.2f x the bare generation)\n",
                windowMs, windowMs / generation);

    // Saving the map and checking it back as the next start does, with and
    // without the red of the overlays (4 and 8 bits per pixel).
    const QString mapFile = QDir(folder.path()).filePath(QStringLiteral("bench.bmp"));
    for (bool overlays : {false, true}) {
        if (overlays) {
            viewer->Surface().DrawAxes();
            viewer->Surface().DrawCircles();
        }
        const QImage& map = *viewer->Surface().image();
        const double saveMs = MedianMs(21, [&] { viewer::SaveMapBmp(map, mapFile); });
        const double loadMs = MedianMs(21, [&] { viewer::CheckKeptMap(mapFile); });
        const viewer::KeptMap kept = viewer::CheckKeptMap(mapFile);
        const bool same = kept.status == viewer::KeptMapStatus::Ok &&
                          kept.image.convertToFormat(QImage::Format_RGB32) ==
                              map.convertToFormat(QImage::Format_RGB32);
        std::printf("map %s: save %.2f ms (%lld bytes), check and load at start %.2f ms,"
                    " loaded map identical: %s\n",
                    overlays ? "with axes and circles" : "alone", saveMs,
                    static_cast<long long>(QFileInfo(mapFile).size()), loadMs, same ? "yes" : "NO");
        identical = identical && same;  // a failed round trip fails the run
    }

    // The settings written at every exit: formatted, flushed to disk and
    // renamed over the old file.
    settings::Settings values;
    const double settingsMs = MedianMs(21, [&] { settings::SaveSettings(folder.path(), values, true); });
    std::printf("settings written at exit (with the flush to disk), median: %.2f ms\n", settingsMs);

    return identical ? 0 : 1;
}
