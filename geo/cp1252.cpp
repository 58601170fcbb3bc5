#include "geo/cp1252.h"

namespace korvalen::text {
namespace {

// Code points of bytes 0x80–0x9F; the rest of the page is Latin-1.
constexpr char32_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (unsigned char b : bytes) {
        char32_t cp = (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char32_t(b);
        AppendUtf8(out, cp);
    }
    return out;
}

std::u32string Utf8ToUtf32(std::string_view s) {
    static constexpr char32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    std::u32string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        int extra;
        char32_t cp;
        if (b < 0x80) { extra = 0; cp = b; }
        else if ((b >> 5) == 0x6) { extra = 1; cp = b & 0x1F; }
        else if ((b >> 4) == 0xE) { extra = 2; cp = b & 0x0F; }
        else if ((b >> 3) == 0x1E) { extra = 3; cp = b & 0x07; }
        else { out += U'\uFFFD'; ++i; continue; }
        bool ok = i + extra < s.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const unsigned char c = static_cast<unsigned char>(s[i + k]);
            if ((c >> 6) != 2) ok = false;
            else cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok || cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += U'\uFFFD';  // resynchronise on the next byte
            ++i;
            continue;
        }
        out += cp;
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

std::string Utf32ToUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t cp : text) AppendUtf8(out, cp);
    return out;
}

std::string Utf8ToCp1252(std::string_view utf8, bool* lossless) {
    if (lossless) *lossless = true;
    std::string out;
    out.reserve(utf8.size());
    for (char32_t cp : Utf8ToUtf32(utf8)) {
        int byte = -1;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            byte = static_cast<int>(cp);
        } else {
            for (int k = 0; k < 32; ++k)
                if (kHigh[k] == cp) byte = 0x80 + k;
        }
        if (byte < 0) {
            if (lossless) *lossless = false;
            byte = '?';
        }
        out += static_cast<char>(byte);
    }
    return out;
}

}  // namespace korvalen::text
