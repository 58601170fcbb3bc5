#pragma once
// The information window's pictures: the program's icon, the maker's logo
// and the donation button's picture. They are no maps, so they have a
// palette of their own; its first colour is the background, which the
// program shows transparent.
#include "data/resources.h"
#include "tools/mapmaker/indexed_image.h"

#include <cstdint>

namespace korvalen::mapmaker {

namespace info_colours {
constexpr uint8_t kBackground = 0;  ///< shown transparent (data::kPictureBackground)
constexpr uint8_t kBlack = 1;
constexpr uint8_t kWhite = 2;
constexpr uint8_t kGrey = 3;      ///< the logo's letters
constexpr uint8_t kDarkGrey = 4;  ///< their shadow
constexpr uint8_t kSea = 5;
constexpr uint8_t kLightSea = 6;
constexpr uint8_t kRed = 7;
constexpr uint8_t kDarkRed = 8;
constexpr uint8_t kNavy = 9;
constexpr uint8_t kCream = 10;
constexpr uint8_t kGold = 11;
constexpr uint8_t kPink = 12;
}  // namespace info_colours

/// The palette of the three pictures, by the indices above; the last three
/// entries are unused.
inline constexpr Colours kInfoColours = {
    data::kPictureBackground, 0xFF000000, 0xFFFFFFFF, 0xFF808080, 0xFF404040, 0xFF2F6FB7, 0xFFCFE6FA, 0xFFD02828,
    0xFF8C1414, 0xFF1F3A6E, 0xFFFFF6DC, 0xFFB08A2E, 0xFFF3A0A0, 0xFF000000, 0xFF000000, 0xFF000000,
};

constexpr int kIconSize = 33;
constexpr int kLogoWidth = 208;
constexpr int kLogoHeight = 58;
constexpr int kDonationWidth = 100;
constexpr int kDonationHeight = 113;

/// 33 × 33: an azimuthal map in small, range rings and axes on a disc with
/// a black rim, and a red bearing from the centre towards the north-east.
IndexedImage MakeInfoIcon();

/// 208 × 58: "ORLAK" in large grey bold italic capitals over a dark shadow.
IndexedImage MakeLogo();

/// 100 × 113: a red heart over the word DONATE on a cream card with a gold
/// rounded frame.
IndexedImage MakeDonationPicture();

}  // namespace korvalen::mapmaker
