#pragma once
// The program's files (korvalen.ini, DX tables) are single-byte Windows-1252;
// in memory every text is UTF-8. These are the only conversions between the
// two, done where a file is read or written. Qt 6 has no Windows-1252 codec,
// hence this small one of our own.

#include <string>
#include <string_view>

namespace korvalen::text {

/// Windows-1252 bytes to UTF-8. The five bytes Windows-1252 leaves undefined
/// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value,
/// so that every byte string survives a round trip unchanged.
std::string Cp1252ToUtf8(std::string_view bytes);

/// UTF-8 to Windows-1252. A character with no Windows-1252 byte, or a
/// malformed UTF-8 sequence, becomes "?" and clears *lossless when given.
std::string Utf8ToCp1252(std::string_view utf8, bool* lossless = nullptr);

/// UTF-8 to code points (malformed sequences become U+FFFD) and back.
std::u32string Utf8ToUtf32(std::string_view utf8);
std::string Utf32ToUtf8(std::u32string_view text);

}  // namespace korvalen::text
