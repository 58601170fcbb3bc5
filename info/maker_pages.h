#pragma once
// The addresses and names the information window points to. The maker's own
// site is languages::kMakerSite; the others are kept here, each in one place.
#include "languages/maker_site.h"

namespace korvalen::info {

/// The maker's second address, the same pages under another host.
inline constexpr char kMakerSecondSite[] = "https://radio.orlak.example";
/// The maker's discussion group, on a group service.
inline constexpr char kDiscussionGroup[] = "https://groups.example/orlaksoftware";
/// The donation page, on an online payment service.
inline constexpr char kDonationPage[] = "https://pay.example/donate?to=orlak";
/// The author, as the window names him.
inline constexpr char kAuthor[] = "by ORLAK";
/// The discussion group's name above its address.
inline constexpr char kGroupName[] = "Yahoo Group : ORLAK Software";

}  // namespace korvalen::info
