#pragma once
// A Windows bitmap's bytes checked before any decoder sees them. Qt's BMP
// reader hands back a full-size image for a file cut short (black rows), a
// pixel offset past the end (all black) or a cut RLE stream (whatever the
// memory held), so a kept map is decoded only once its bytes are known to
// hold every pixel. Plain C++: it can be fuzzed on bytes alone.

#include <string>
#include <string_view>

#include "base/expected.h"

namespace korvalen::viewer {

/// Whether @p bytes are a whole BMP file of exactly @p width × @p height
/// pixels whose every pixel a decoder reads from the file itself. Accepted:
///  - the "BM" file header and a BITMAPINFOHEADER (40 bytes) or its V4
///    (108) or V5 (124) successors, the V5's reserved field zero;
///  - rows stored bottom-up or top-down (negative height);
///  - one plane of 1, 4, 8, 24 or 32 bits per pixel;
///  - no compression, or for 32 bits BI_BITFIELDS whose red, green and blue
///    masks (and alpha, in a V4/V5 header, when not zero) are each one run of
///    1 to 8 bits, none overlapping. RLE is refused: the program never writes
///    it, and a decoder leaves the pixels an RLE stream skips unset;
///  - a colour table of the entries the header gives (for up to 8 bits, none
///    given means 2^bits, more than 2^bits is refused) lying after the
///    headers and before the pixel data;
///  - pixel data, every row padded to 4 bytes, wholly inside the file;
///  - for up to 8 bits, every pixel's index inside the colour table.
/// The file header's own size field is not trusted either way: the file's
/// real length is what counts.
/// @return success when the bytes pass, otherwise what is wrong (English,
///         for a log or a fuzzer; the operator is told only that the file
///         cannot be read)
Expected<void> CheckBmpBytes(std::string_view bytes, int width, int height);

}  // namespace korvalen::viewer
