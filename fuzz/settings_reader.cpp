// korvalen.ini as the program reads it: any bytes at all, since users edit
// the file by hand. Beyond not crashing, what the program writes back at exit
// must read in again as the same settings, or a value would drift or vanish
// over a few runs. Writing normalises exactly these things, and nothing else:
//   - no language read is written as ENGLISH (the ticked item);
//   - DX rows without a call sign are unused editor rows and are left out;
//   - the centre text goes out only beside a kept map (IMAGE=), so without
//     one it and the centre are gone; with one, the centre is what the text
//     alone gives, a partial read of an earlier line no longer mixed in;
//   - a centre text that is not a number stops the reading at its line, and
//     the lines written after it fall back to their defaults, DX rows apart.
// Writing the settings read from a written file gives that file again: at
// once, or one round later when its centre text stops the reading.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/check.h"
#include "settings/settings.h"

using namespace korvalen;

namespace {

void DropRowsWithoutCallSign(std::vector<std::string>& rows) {
    std::vector<std::string> kept;
    for (const std::string& row : rows)
        if (!row.empty() && row[0] != '\t') kept.push_back(row);
    rows = kept;
}

// The settings a written file of @p s reads back as.
settings::Settings AsWritten(settings::Settings s) {
    const settings::Settings defaults;
    if (!s.language) s.language = settings::Language::English;
    DropRowsWithoutCallSign(s.hamDxRecords);
    DropRowsWithoutCallSign(s.elevenMetreDxRecords);
    if (s.savedMapFile.empty()) {
        s.savedMapCentreText.clear();
        s.centreText.clear();
        s.centre = defaults.centre;
        return s;
    }
    s.centreText = s.savedMapCentreText;
    s.centre = defaults.centre;
    if (!geo::TextToLatLong(s.savedMapCentreText, s.centre)) {
        // The keys FormatSettings writes after CENTRE_IMAGE, DX rows apart.
        s.viewerTop = defaults.viewerTop;
        s.viewerLeft = defaults.viewerLeft;
        s.viewerHeight = defaults.viewerHeight;
        s.viewerWidth = defaults.viewerWidth;
        s.viewerScroll = defaults.viewerScroll;
        s.utc = defaults.utc;
        s.releaseCheckAtStart = defaults.releaseCheckAtStart;
        s.rotctldAddress = defaults.rotctldAddress;
        s.pstRotatorAddress = defaults.pstRotatorAddress;
        s.versionsUrl = defaults.versionsUrl;
    }
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const settings::LoadResult read = settings::ParseSettings(bytes);

    const std::string written = settings::FormatSettings(read.values);
    KORVALEN_FUZZ_CHECK(written.rfind("[KORVALEN]\r\n", 0) == 0, "a written file starts with its section");

    const settings::LoadResult reread = settings::ParseSettings(written);
    KORVALEN_FUZZ_CHECK(reread.values == AsWritten(read.values),
                        "the written settings read back as the settings read");
    // When the centre text stops the reading, the next file has defaults in
    // the lines after it, and it is that file which then stays as it is.
    const std::string rewritten = settings::FormatSettings(reread.values);
    if (!reread.error) KORVALEN_FUZZ_CHECK(rewritten == written, "a written file is written again unchanged");
    KORVALEN_FUZZ_CHECK(settings::FormatSettings(settings::ParseSettings(rewritten).values) == rewritten,
                        "a file written twice is written again unchanged");
    return 0;
}
