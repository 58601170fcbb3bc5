// mkdxtables INPUT-DIRECTORY OUTPUT.cpp
// Regenerates data/dx_tables.cpp, the built-in ham and 11-metre DX tables,
// from cty.dat and the reviewed tables in tools/dxtables/.
#include "tools/dxtables/dxtables.h"

#include <cstdio>
#include <exception>
#include <fstream>

int main(int argc, char** argv) {
    using namespace korvalen::dxtables;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s INPUT-DIRECTORY OUTPUT.cpp\n", argv[0]);
        return 2;
    }
    try {
        const Tables tables = Build(LoadInputs(argv[1]));
        const std::string text = RenderCpp(tables);
        std::ofstream out(argv[2], std::ios::binary);
        if (!(out << text) || !out.flush()) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
            return 1;
        }
        int byPlace = 0, byPosition = 0, byUtc = 0, aliased = 0, historical = 0;
        for (const HamRow& row : tables.ham) {
            byPlace += row.placeOverridden;
            byPosition += !row.placeOverridden && row.positionOverridden;
            byUtc += !row.placeOverridden && !row.positionOverridden && row.utcOverridden;
        }
        for (const ElevenMetreRow& row : tables.elevenMetre) {
            aliased += row.aliased;
            historical += !row.entity;
        }
        std::printf("ham rows %zu: by the key's first form %zu (of them with a reviewed point %d, with a reviewed "
                    "UTC field only %d), placed by override %d\n",
                    tables.ham.size(), tables.ham.size() - byPlace, byPosition, byUtc, byPlace);
        std::printf("11-metre rows %zu: by name %zu, by alias %d, historical or without point %d\n",
                    tables.elevenMetre.size(), tables.elevenMetre.size() - aliased - historical, aliased, historical);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}
