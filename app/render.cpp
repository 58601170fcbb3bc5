#include "app/render.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/dx_command.h"
#include "data/resources.h"
#include "generator/map_generation.h"
#include "geo/geo.h"
#include "korvalen_version.h"
#include "settings/durable_file.h"
#include "viewer/map_file.h"
#include "viewer/map_surface.h"

namespace korvalen::app {

namespace {

constexpr char kUsage[] =
    "Usage: korvalen [LOCATOR]\n"
    "       korvalen --render LOCATOR --output FILE\n"
    "       korvalen --list-dx ham|11m\n"
    "       korvalen --beam CALL --from LOCATOR [--list ham|11m] [--unit km|mile]\n"
    "       korvalen --help | --version\n"
    "\n"
    "Without options, opens the map generator; a six-character QRA locator\n"
    "(for example JN18EU) generates the map centred on it at start.\n"
    "\n"
    "  --render LOCATOR  generate the azimuthal equidistant map centred on\n"
    "                    LOCATOR without opening a window\n"
    "  --output FILE     where --render writes the map: FILE ending in .bmp\n"
    "                    (Windows bitmap) or .png, in lower case; a new file,\n"
    "                    or a regular file it replaces whole (not when\n"
    "                    read-only). A symbolic link to a regular file is\n"
    "                    followed: the link stays and the file it points to\n"
    "                    is replaced. Anything else (a folder, a FIFO, a\n"
    "                    device, a link to one of them or to nothing) is\n"
    "                    refused\n"
    "%s"
    "  --help            show this text\n"
    "  --version         show the program's version\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "korvalen: %s\n", message.c_str());
    return 2;
}

int Render(const std::string& locator, const settings::FilePath& output) {
    const auto centre = geo::LocatorToLatLong(locator);
    if (!centre) return Fail("'" + locator + "' is not a six-character QRA locator such as JN18EU");
    // The program's one rule for a map file's name decides BMP; PNG follows
    // the same rule, lower case. The rule reads the decoded name: the ending
    // is ASCII, which bytes that are not UTF-8 before it never change.
    const QString shown = output.ToString();
    const bool bmp = viewer::HasBmpName(shown);
    if (!bmp && !shown.endsWith(QLatin1String(".png"), Qt::CaseSensitive))
        return Fail("the output file must end in .bmp or .png: " + shown.toStdString());

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

    // Both formats go the same durable way, links and all: a failed write
    // leaves the old file whole, and what is not a file of data is refused.
    const Expected<void> saved =
        viewer::SaveMapFile(map, output, bmp ? viewer::MapFormat::Bmp : viewer::MapFormat::Png);
    if (!saved) return Fail("cannot write " + shown.toStdString() + ": " + saved.error().text);
    return 0;
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
    if (argc < 2) return -1;
    const std::string first = argv[1];
    if (first == "--help" || first == "-h") {
        std::printf(kUsage, kDxUsage);
        return 0;
    }
    if (first == "--version") {
        std::puts(KORVALEN_VERSION);
        return 0;
    }
    if (first.rfind("--", 0) != 0) return -1;  // a locator for the windows
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const bool beam = first == "--beam" || first == "--from" || first == "--list" || first == "--unit";
    if (first == "--list-dx" || beam) {
        // The settings file lives beside the program, as for the windows.
        int count = 1;
        QCoreApplication app(count, argv);
        const std::string folder = QCoreApplication::applicationDirPath().toStdString();
        return beam ? BeamCommand(arguments, folder) : ListDxCommand(arguments, folder);
    }
    std::string locator;
    // The name's bytes exactly: decoding them into a QString would merge
    // every name that is not valid UTF-8 into one with U+FFFD.
    settings::FilePath output;
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
                output = settings::FilePath::FromCommandLine(argv[++i]);
            }
        } else {
            return Fail("unknown argument '" + a + "' (see --help)");
        }
    }
    if (!render) return Fail("--output goes with --render LOCATOR (see --help)");
    if (!haveOutput || output.ToString().isEmpty()) return Fail("--render needs --output FILE (see --help)");
    return Render(locator, output);
}

}  // namespace korvalen::app
