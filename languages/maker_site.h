#pragma once
// The maker's web site, the one place its address is written. The pages
// behind the link labels are paths on it ("/logiciel.htm").

namespace korvalen::languages {

/// Scheme and host, without a trailing "/".
inline constexpr char kMakerSite[] = "https://www.orlak.example";

}  // namespace korvalen::languages
