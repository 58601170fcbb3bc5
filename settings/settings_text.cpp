// Reading and writing the text of korvalen.ini (no file access here).

#include <string>
#include <string_view>

#include "geo/cp1252.h"
#include "geo/geo.h"
#include "settings/settings.h"

namespace korvalen::settings {
namespace {

constexpr std::string_view kSection = "[KORVALEN]";
constexpr std::string_view kLineEnd = "\r\n";

const char* LanguageName(Language language) {
    switch (language) {
        case Language::French: return "FRENCH";
        case Language::Spanish: return "SPANISH";
        case Language::English: break;
    }
    return "ENGLISH";
}

// A number of the file, or the runtime's conversion message.
Expected<void> ReadNumber(const std::string& value, int& number) {
    const std::optional<int> n = geo::ParseDecimalInteger(value);
    if (!n) return Error{geo::ConversionErrorText(value)};
    number = *n;
    return {};
}

// One key's effect on the values. Fails with the conversion message for a
// number that is not a decimal integer; the caller stops reading there.
Expected<void> Apply(std::string_view key, const std::string& value, Settings& s) {
    if (key == "LANGUAGE=") {
        if (value == "ENGLISH") s.language = Language::English;
        else if (value == "FRENCH") s.language = Language::French;
        else if (value == "SPANISH") s.language = Language::Spanish;
    } else if (key == "TORNAVELPATH=") {
        s.rotatorProgramPath = value;
    } else if (key == "UNIT=") {
        // Only MILE acts, so once read a later UNIT line cannot undo it.
        if (value == "MILE") s.unitFactor = geo::StatuteMileFactor;
    } else if (key == "LIST=") {
        if (value == "CB") s.list = DxList::ElevenMetre;
    } else if (key == "SEPARATOR=") {
        // A number outside the menu ticks Default; as for every single-valued
        // key the last SEPARATOR line decides, so it also replaces an earlier
        // valid one.
        int n = 0;
        if (const Expected<void> read = ReadNumber(value, n); !read) return read;
        s.separator = (n >= 0 && n <= 3) ? static_cast<Separator>(n) : Separator::Default;
    } else if (key == "IMAGE=") {
        s.savedMapFile = value;
    } else if (key == "CENTRE_IMAGE=") {
        s.centreText = value;
        s.savedMapCentreText = value;
        return geo::TextToLatLong(value, s.centre);
    } else if (key == "WTOP=") {
        return ReadNumber(value, s.viewerTop);
    } else if (key == "WLEFT=") {
        return ReadNumber(value, s.viewerLeft);
    } else if (key == "WHEIGHT=") {
        return ReadNumber(value, s.viewerHeight);
    } else if (key == "WWIDTH=") {
        return ReadNumber(value, s.viewerWidth);
    } else if (key == "WHSB=") {
        return ReadNumber(value, s.viewerScroll);
    } else if (key == "DX=") {
        s.hamDxRecords.push_back(value);
    } else if (key == "DXCB=") {
        s.elevenMetreDxRecords.push_back(value);
    } else if (key == "UTC=") {
        s.utc = !value.empty() && value[0] == 'Y';
    } else if (key == "VERSTART=") {
        s.releaseCheckAtStart = !value.empty() && value[0] == '1';
    } else if (key == "ROTCTLD=") {
        s.rotctldAddress = value;
    } else if (key == "PSTROTATOR=") {
        s.pstRotatorAddress = value;
    } else if (key == "VERSIONURL=") {
        s.versionsUrl = value;
    }
    return {};
}

void AddLine(std::string& out, std::string_view key, std::string_view value) {
    out += key;
    out += value;
    out += kLineEnd;
}

void AddDxRecords(std::string& out, std::string_view key, const std::vector<std::string>& records) {
    for (const std::string& record : records) {
        // The call sign is the first field; a row without one is an unused
        // row of the editor and is not kept.
        if (record.empty() || record[0] == '\t') continue;
        AddLine(out, key, record);
    }
}

}  // namespace

bool operator==(const Settings& a, const Settings& b) {
    return a.language == b.language && a.rotatorProgramPath == b.rotatorProgramPath &&
           a.unitFactor == b.unitFactor && a.list == b.list && a.separator == b.separator &&
           a.savedMapFile == b.savedMapFile && a.savedMapCentreText == b.savedMapCentreText &&
           a.centreText == b.centreText && a.centre.latitude == b.centre.latitude &&
           a.centre.longitude == b.centre.longitude && a.viewerTop == b.viewerTop &&
           a.viewerLeft == b.viewerLeft && a.viewerHeight == b.viewerHeight &&
           a.viewerWidth == b.viewerWidth && a.viewerScroll == b.viewerScroll &&
           a.hamDxRecords == b.hamDxRecords && a.elevenMetreDxRecords == b.elevenMetreDxRecords &&
           a.utc == b.utc && a.releaseCheckAtStart == b.releaseCheckAtStart &&
           a.rotctldAddress == b.rotctldAddress && a.pstRotatorAddress == b.pstRotatorAddress &&
           a.versionsUrl == b.versionsUrl;
}

LoadResult ParseSettings(std::string_view fileBytes) {
    // Decoding the whole file first is safe: Windows-1252 is single-byte, so
    // CR, LF and "=" are never part of another character.
    const std::string text = text::Cp1252ToUtf8(fileBytes);
    LoadResult result;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;

        // No "=", or "=" first: not a setting (this skips the section line).
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos || eq == 0) continue;
        const std::string_view key = line.substr(0, eq + 1);
        const std::string value(line.substr(eq + 1));
        // Reading stops at a bad number, but the user's DX rows further down
        // are still collected: they are written back at exit, and dropping
        // them there would lose them for good over one typo.
        if (result.error && key != "DX=" && key != "DXCB=") continue;
        if (const Expected<void> applied = Apply(key, value, result.values); !applied) result.error = applied.error();
    }
    return result;
}

std::string FormatSettings(const Settings& s) {
    std::string out;
    out += kSection;
    out += kLineEnd;
    // The language menu is exclusive, so this is its one ticked item.
    AddLine(out, "LANGUAGE=", LanguageName(s.language.value_or(Language::English)));
    if (!s.rotatorProgramPath.empty()) AddLine(out, "TORNAVELPATH=", s.rotatorProgramPath);
    AddLine(out, "UNIT=", s.unitFactor != geo::KilometreFactor ? "MILE" : "KM");
    if (s.list == DxList::ElevenMetre) AddLine(out, "LIST=", "CB");
    AddLine(out, "SEPARATOR=", std::to_string(static_cast<int>(s.separator)));
    if (!s.savedMapFile.empty()) {
        AddLine(out, "IMAGE=", s.savedMapFile);
        AddLine(out, "CENTRE_IMAGE=", s.savedMapCentreText);
    }
    AddLine(out, "WTOP=", std::to_string(s.viewerTop));
    AddLine(out, "WLEFT=", std::to_string(s.viewerLeft));
    AddLine(out, "WHEIGHT=", std::to_string(s.viewerHeight));
    AddLine(out, "WWIDTH=", std::to_string(s.viewerWidth));
    AddLine(out, "WHSB=", std::to_string(s.viewerScroll));
    AddDxRecords(out, "DX=", s.hamDxRecords);
    AddDxRecords(out, "DXCB=", s.elevenMetreDxRecords);
    AddLine(out, "UTC=", s.utc ? "Y" : "N");
    AddLine(out, "VERSTART=", s.releaseCheckAtStart ? "1" : "0");
    // Newer than every other key, so they go last: an older version reading
    // the file skips them as unknown keys.
    if (!s.rotctldAddress.empty()) AddLine(out, "ROTCTLD=", s.rotctldAddress);
    if (!s.pstRotatorAddress.empty()) AddLine(out, "PSTROTATOR=", s.pstRotatorAddress);
    if (!s.versionsUrl.empty()) AddLine(out, "VERSIONURL=", s.versionsUrl);
    return text::Utf8ToCp1252(out);
}

}  // namespace korvalen::settings
