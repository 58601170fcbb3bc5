#include "viewer/bmp_check.h"

#include <cstdint>

namespace korvalen::viewer {
namespace {

constexpr uint64_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kV4HeaderSize = 108;
constexpr uint32_t kV5HeaderSize = 124;

constexpr uint32_t kUncompressed = 0;  // BI_RGB
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitfields = 3;

// Little-endian fields; the caller has made sure they lie inside the bytes.
uint32_t U32(std::string_view b, uint64_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + i]);
    return v;
}

uint16_t U16(std::string_view b, uint64_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

// A decoder scales each channel to 8 bits from its mask's run of bits: the
// mask must be one run, and no wider than 8 bits, or the colour comes out
// black or wrapped.
bool IsChannelMask(uint32_t mask) {
    if (mask == 0) return false;
    while ((mask & 1) == 0) mask >>= 1;
    return mask <= 0xFF && (mask & (mask + 1)) == 0;
}

Expected<void> CheckMasks(std::string_view bytes, uint64_t at, bool withAlpha) {
    const uint32_t red = U32(bytes, at);
    const uint32_t green = U32(bytes, at + 4);
    const uint32_t blue = U32(bytes, at + 8);
    const uint32_t alpha = withAlpha ? U32(bytes, at + 12) : 0;
    if (!IsChannelMask(red) || !IsChannelMask(green) || !IsChannelMask(blue) || (alpha != 0 && !IsChannelMask(alpha)))
        return Error{"a colour mask that is not one run of 1 to 8 bits"};
    if ((red & green) || (red & blue) || (green & blue) || ((red | green | blue) & alpha))
        return Error{"overlapping colour masks"};
    return {};
}

// Every pixel's colour index below @p colours (the row padding is no pixel).
Expected<void> CheckIndices(std::string_view bytes, uint64_t offset, uint64_t rowBytes, int width, int rows, int bits,
                            uint64_t colours) {
    if (colours >= (uint64_t{1} << bits)) return {};  // no index can be outside
    for (int row = 0; row < rows; ++row) {
        const uint64_t start = offset + static_cast<uint64_t>(row) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const uint64_t bit = static_cast<uint64_t>(x) * static_cast<uint64_t>(bits);
            const auto byte = static_cast<uint8_t>(bytes[start + bit / 8]);
            // The leftmost pixel is in the high bits of its byte.
            const unsigned index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
            if (index >= colours)
                return Error{"pixel " + std::to_string(x) + " of stored row " + std::to_string(row) +
                             " uses colour " + std::to_string(index) + " of a table of " + std::to_string(colours)};
        }
    }
    return {};
}

}  // namespace

Expected<void> CheckBmpBytes(std::string_view bytes, int width, int height) {
    if (width <= 0 || height <= 0) return Error{"no bitmap has that size"};
    const uint64_t size = bytes.size();
    if (size < kFileHeaderSize + 4) return Error{"shorter than a file header"};
    if (bytes[0] != 'B' || bytes[1] != 'M') return Error{"no \"BM\" signature"};

    const uint32_t infoSize = U32(bytes, 14);
    // BITMAPCOREHEADER (12) and the OS/2 header (64) lay their fields out
    // otherwise; sizes in between are decoded as if they were the old one.
    if (infoSize != kInfoHeaderSize && infoSize != kV4HeaderSize && infoSize != kV5HeaderSize)
        return Error{"an info header of " + std::to_string(infoSize) + " bytes"};
    if (size < kFileHeaderSize + infoSize) return Error{"cut in the info header"};

    const auto fileWidth = static_cast<int32_t>(U32(bytes, 18));
    const auto fileHeight = static_cast<int32_t>(U32(bytes, 22));
    if (fileWidth != width) return Error{"a width of " + std::to_string(fileWidth)};
    // Negative: the rows are stored top-down, which a decoder undoes.
    if (fileHeight != height && static_cast<int64_t>(fileHeight) != -static_cast<int64_t>(height))
        return Error{"a height of " + std::to_string(fileHeight)};
    if (U16(bytes, 26) != 1) return Error{"not one plane"};

    const int bits = U16(bytes, 28);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return Error{std::to_string(bits) + " bits per pixel"};

    const uint32_t compression = U32(bytes, 30);
    // A decoder leaves whatever pixels an RLE stream skips or never reaches
    // unset; the program never writes RLE, and the map is refused whole.
    if (compression == kRle4 || compression == kRle8) return Error{"run-length encoded"};
    if (compression != kUncompressed && compression != kBitfields)
        return Error{"compression " + std::to_string(compression)};

    uint64_t tableStart = kFileHeaderSize + infoSize;
    if (compression == kBitfields) {
        if (bits != 32) return Error{"bit fields with " + std::to_string(bits) + " bits per pixel"};
        // After a plain info header the three masks follow it; V4 and V5
        // hold them, with an alpha mask, in the header itself.
        if (infoSize == kInfoHeaderSize) {
            tableStart += 12;
            if (size < tableStart) return Error{"cut in the colour masks"};
        }
        const Expected<void> masks = CheckMasks(bytes, kFileHeaderSize + kInfoHeaderSize, infoSize >= kV4HeaderSize);
        if (!masks) return masks;
    }
    if (infoSize == kV5HeaderSize && U32(bytes, kFileHeaderSize + 120) != 0)
        return Error{"the V5 header's reserved field is set"};

    // The colour table: the entries the header gives, all of them for up to
    // 8 bits when it gives none; above 8 bits it only suggests colours, but
    // must still be where the header says.
    uint64_t colours = U32(bytes, 46);
    if (bits <= 8) {
        if (colours == 0) colours = uint64_t{1} << bits;
        if (colours > (uint64_t{1} << bits))
            return Error{"a table of " + std::to_string(colours) + " colours for " + std::to_string(bits) + " bits"};
    }
    const uint64_t tableEnd = tableStart + colours * 4;
    if (tableEnd > size) return Error{"a colour table past the end of the file"};

    // A decoder reads the pixels from the offset only when it lies past what
    // it has read already; before that, they would be read from elsewhere.
    const uint64_t offset = U32(bytes, 10);
    if (offset < tableEnd) return Error{"pixel data inside the headers or the colour table"};
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * static_cast<uint64_t>(bits) + 31) / 32 * 4;
    const uint64_t dataSize = rowBytes * static_cast<uint64_t>(height);
    if (offset > size || size - offset < dataSize) return Error{"pixel data past the end of the file"};

    if (bits <= 8) return CheckIndices(bytes, offset, rowBytes, width, height, bits, colours);
    return {};
}

}  // namespace korvalen::viewer
