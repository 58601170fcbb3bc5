#include "app/render.h"

#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>

#include <cstdio>
#include <cstring>
#include <string>

#include "data/resources.h"
#include "generator/map_generation.h"
#include "geo/geo.h"
#include "korvalen_version.h"
#include "viewer/map_file.h"
#include "viewer/map_surface.h"

namespace korvalen::app {

namespace {

constexpr char kUsage[] =
    "Usage: korvalen [LOCATOR]\n"
    "       korvalen --render LOCATOR --output FILE\n"
    "       korvalen --help | --version\n"
    "\n"
    "Without options, opens the map generator; a six-character QRA locator\n"
    "(for example JN18EU) generates the map centred on it at start.\n"
    "\n"
    "  --render LOCATOR  generate the azimuthal equidistant map centred on\n"
    "                    LOCATOR without opening a window\n"
    "  --output FILE     where --render writes the map: FILE ending in .bmp\n"
    "                    (Windows bitmap) or .png, in lower case\n"
    "  --help            show this text\n"
    "  --version         show the program's version\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "korvalen: %s\n", message.c_str());
    return 2;
}

int Render(const std::string& locator, const QString& output) {
    const auto centre = geo::LocatorToLatLong(locator);
    if (!centre) return Fail("'" + locator + "' is not a six-character QRA locator such as JN18EU");
    // The program's one rule for a map file's name decides BMP; PNG follows
    // the same rule, lower case.
    const bool bmp = viewer::HasBmpName(output);
    if (!bmp && !output.endsWith(QLatin1String(".png"), Qt::CaseSensitive))
        return Fail("the output file must end in .bmp or .png: " + output.toStdString());

    // Offscreen: --render must work where no display exists. It prints
    // nothing on success, so the toolkit's own chatter (a missing runtime
    // folder, say) is not passed on.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg) std::fprintf(stderr, "korvalen: %s\n", message.toLocal8Bit().constData());
    });
    int argc = 1;
    char name[] = "korvalen";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    data::InitResources();
    const QImage world(QString::fromLatin1(data::kWorldMapPath));
    const QImage templ(QString::fromLatin1(data::kTemplatePath));
    QImage map;
    geo::Real lat = centre->latitude;
    const std::string centreText = geo::LatLongToText(centre->latitude, centre->longitude);
    generator::AzimuthalProjector projector;
    generator::GenerateMapImage(projector, world, templ, map, lat, centre->longitude);
    viewer::MapSurface surface(&map);
    surface.DrawCentreLabel(QString::fromStdString(centreText));

    if (bmp) {
        if (const auto failure = viewer::SaveMapBmp(map, output))
            return Fail("cannot write " + output.toStdString() + ": " + failure->toStdString());
        return 0;
    }
    // QSaveFile writes beside the target and renames at commit, so a failed
    // write leaves no file behind.
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly)) return Fail("cannot write " + output.toStdString() + ": " + file.errorString().toStdString());
    if (!map.save(&file, "PNG") || !file.commit())
        return Fail("cannot write " + output.toStdString() + ": " + file.errorString().toStdString());
    return 0;
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
    if (argc < 2) return -1;
    const std::string first = argv[1];
    if (first == "--help" || first == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (first == "--version") {
        std::puts(KORVALEN_VERSION);
        return 0;
    }
    if (first.rfind("--", 0) != 0) return -1;  // a locator for the windows
    std::string locator;
    QString output;
    bool render = false, haveOutput = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--render" || a == "--output") {
            if (i + 1 >= argc) return Fail(a + " needs a value (see --help)");
            if (a == "--render") {
                render = true;
                locator = argv[++i];
            } else {
                haveOutput = true;
                output = QString::fromLocal8Bit(argv[++i]);
            }
        } else {
            return Fail("unknown argument '" + a + "' (see --help)");
        }
    }
    if (!render) return Fail("--output goes with --render LOCATOR (see --help)");
    if (!haveOutput || output.isEmpty()) return Fail("--render needs --output FILE (see --help)");
    return Render(locator, output);
}

}  // namespace korvalen::app
