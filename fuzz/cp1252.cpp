// The Windows-1252 codec between the files and memory, both ways, and the
// UTF-8 / UTF-32 conversions under it. Every byte string must survive
// Windows-1252 -> UTF-8 -> Windows-1252 unchanged (the settings file is
// rewritten at every exit, so any loss there would compound); UTF-8 that
// converts without loss must come back as itself.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "geo/cp1252.h"

using namespace korvalen;

namespace {

bool IsScalarValue(char32_t c) { return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The input as file bytes.
    const std::string utf8 = text::Cp1252ToUtf8(bytes);
    bool lossless = false;
    KORVALEN_FUZZ_CHECK(text::Utf8ToCp1252(utf8, &lossless) == bytes && lossless,
                        "every Windows-1252 byte string survives a round trip");
    const std::u32string decoded = text::Utf8ToUtf32(utf8);
    KORVALEN_FUZZ_CHECK(decoded.size() == bytes.size(), "one character per Windows-1252 byte");
    KORVALEN_FUZZ_CHECK(text::Utf32ToUtf8(decoded) == utf8, "the decoded text is well-formed UTF-8");

    // The input as text in memory.
    const std::u32string points = text::Utf8ToUtf32(bytes);
    bool malformed = false;
    for (char32_t c : points) {
        KORVALEN_FUZZ_CHECK(IsScalarValue(c), "decoding gives Unicode scalar values only");
        if (c == U'\uFFFD') malformed = true;
    }
    const std::string reencoded = text::Utf32ToUtf8(points);
    KORVALEN_FUZZ_CHECK(text::Utf8ToUtf32(reencoded) == points, "code points survive UTF-8");
    if (!malformed) KORVALEN_FUZZ_CHECK(reencoded == bytes, "well-formed UTF-8 comes back as itself");

    const std::string single = text::Utf8ToCp1252(bytes, &lossless);
    KORVALEN_FUZZ_CHECK(single.size() == points.size(), "one Windows-1252 byte per character");
    if (lossless)
        KORVALEN_FUZZ_CHECK(text::Cp1252ToUtf8(single) == bytes, "lossless conversion is undone exactly");
    else
        KORVALEN_FUZZ_CHECK(single.find('?') != std::string::npos, "a lost character shows as \"?\"");

    // The input as code points, whatever their values.
    std::u32string raw(size / sizeof(char32_t), U'\0');
    if (!raw.empty()) std::memcpy(raw.data(), data, raw.size() * sizeof(char32_t));
    const std::string fromRaw = text::Utf32ToUtf8(raw);
    bool allScalar = true;
    for (char32_t c : raw) allScalar = allScalar && IsScalarValue(c);
    if (allScalar) KORVALEN_FUZZ_CHECK(text::Utf8ToUtf32(fromRaw) == raw, "scalar values survive UTF-8");
    return 0;
}
