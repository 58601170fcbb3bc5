#pragma once
// The 16-colour palette shared by the world map, the blank template and the
// azimuthal map. Pixels are copied from map to map by index, unchanged.
#include <cstdint>

namespace korvalen::palette {

constexpr uint32_t kColours[16] = {
    0xFF000000,  //  0 coastlines and borders
    0xFF63C66B,  //  1 land
    0xFF738CC6,  //  2 land
    0xFF8484C6,  //  3 (unused on land)
    0xFF946B42,  //  4 land
    0xFF9CDEA5,  //  5 land
    0xFFA5B5EF,  //  6 land
    0xFFBDDEA5,  //  7 land
    0xFFD67342,  //  8 land
    0xFFDEDEDE,  //  9 (not present)
    0xFFDEF7FF,  // 10 sea
    0xFFFFCE9C,  // 11 land
    0xFFFFFFB5,  // 12 land
    0xFFA877C7,  // 13 land
    0xFFB17F1D,  // 14 land
    0xFFFFFFFF,  // 15 ice; the template's disc and mark
};

constexpr uint8_t kBlack = 0;
constexpr uint8_t kSea = 10;
constexpr uint8_t kWhite = 15;
// Colours a country may take; neighbours get different ones.
constexpr uint8_t kLandColours[] = {1, 2, 4, 5, 6, 7, 8, 11, 12, 13, 14};

}  // namespace korvalen::palette
