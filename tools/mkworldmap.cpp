// mkworldmap COUNTRIES.json OUTPUT-DIRECTORY
// Regenerates the built-in images (data/world.bmp, template.bmp, orlak.bmp,
// the DX markers and the information window's pictures)
// from the Natural Earth countries kept in tools/worldmap/ and our own drawings.
#include "tools/mapmaker/mapmaker.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s COUNTRIES.json OUTPUT-DIRECTORY\n", argv[0]);
        return 2;
    }
    const QString topology = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    if (!QDir(output).exists()) {
        std::fprintf(stderr, "%s: no directory %s\n", argv[0], argv[2]);
        return 2;
    }
    try {
        const korvalen::mapmaker::WorldMap world = korvalen::mapmaker::WriteImages(topology, output);
        std::printf("sea share %.4f\n", world.seaShare);
        std::printf("polygons filling no pixel %d, dots drawn %d\n", world.polygonsWithoutPixel, world.dots);
        std::printf("countries filling no pixel %zu, of them dotted %d:",
                    world.countriesWithoutPixel.size(), world.countriesWithoutPixelDotted);
        for (const std::string& name : world.countriesWithoutPixel) std::printf(" %s;", name.c_str());
        std::printf("\ndotted over other land:");
        for (const std::string& name : world.dottedOnLand) std::printf(" %s;", name.c_str());
        std::printf("\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}
