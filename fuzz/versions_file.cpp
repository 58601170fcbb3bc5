// The maker's versions file as the release check reads it: any bytes at all,
// since whatever a server or a proxy on the way sends ends up there. The
// answer for "korvalen" must be what a plain reading gives (the rest of the
// first line that starts with "korvalen=", lines cut at CR LF, LF or CR;
// nothing for a web page or a file too short to hold a line), and the
// version number of that answer, and of the whole input as text, must be
// the first characters of the first three dot-separated parts, counted up
// to the first one that is not a digit.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <QString>
#include <QStringList>

#include "fuzz/check.h"
#include "geo/cp1252.h"
#include "info/release.h"

using namespace korvalen;

namespace {

QString Decode(std::string_view bytes) { return QString::fromStdString(text::Cp1252ToUtf8(bytes)); }

QString PlainReading(std::string_view bytes) {
    if (bytes.size() < 3 || bytes.substr(0, 3).find('<') != std::string_view::npos) return {};
    const std::string_view wanted = "korvalen=";
    size_t start = 0;
    while (start <= bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = bytes.size();
        const std::string_view line = bytes.substr(start, end - start);
        if (line.substr(0, wanted.size()) == wanted) return Decode(line.substr(wanted.size()));
        if (end == bytes.size()) break;
        start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return {};
}

int PlainNumber(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('.'));
    const int weights[3] = {100, 10, 1};
    int number = 0;
    for (int i = 0; i < 3 && i < parts.size(); ++i) {
        if (parts[i].isEmpty()) continue;
        const QChar c = parts[i].front();
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) break;
        number += weights[i] * (c.unicode() - '0');
    }
    return number;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const QString version =
        info::PublishedVersion(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), QStringLiteral("korvalen"));
    KORVALEN_FUZZ_CHECK(version == PlainReading(bytes), "the answer is the rest of the first korvalen= line");
    KORVALEN_FUZZ_CHECK(!version.contains(QLatin1Char('\r')) && !version.contains(QLatin1Char('\n')),
                        "an answer is one line");

    const int number = info::VersionNumber(version);
    KORVALEN_FUZZ_CHECK(number >= 0 && number <= 999, "a version number has three digits at most");
    KORVALEN_FUZZ_CHECK(number == PlainNumber(version), "the answer's number counts the parts' first digits");
    const QString whole = Decode(bytes);
    KORVALEN_FUZZ_CHECK(info::VersionNumber(whole) == PlainNumber(whole), "any text's number counts the same way");
    return 0;
}
