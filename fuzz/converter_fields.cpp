// The converter's four fields as the operator types into them: each input
// line is one change of one field (its first byte picks the field, the rest,
// UTF-8, is the field's new text); the input's first byte picks the decimal
// separator. What the window relies on, besides not crashing:
//   - a text is accepted exactly when it is empty or an optional sign and
//     ASCII digits whose value is below the field's bound;
//   - the field is left with the text accepted, or its last valid one;
//   - every last valid text reads as a number below its bound;
//   - the result is the four last valid values summed, in fixed notation
//     with six decimals and the separator, read back within half a
//     millionth.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "info/dms_converter.h"

using korvalen::info::DmsConverter;
using korvalen::info::DmsField;

namespace {

// The bound check done another way: the digits as written, compared as
// numbers of any length.
bool Expected(std::string_view text, int bound, long long& value) {
    value = 0;
    if (text.empty()) return true;
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    while (text.size() > 1 && text[0] == '0') text.remove_prefix(1);
    if (text.size() > 10) return false;  // beyond 32 bits
    value = std::stoll(std::string(text));
    if (negative) value = -value;
    return value >= -2147483648LL && value <= 2147483647LL && value < bound;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const QString separator = (data[0] & 1) ? QStringLiteral(",") : QStringLiteral(".");
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    DmsConverter converter;
    long long values[4] = {0, 0, 0, 0};
    std::size_t start = 0;
    for (int changes = 0; start < input.size() && changes < 64; ++changes) {
        std::size_t end = input.find('\n', start);
        if (end == std::string_view::npos) end = input.size();
        const std::string_view line = input.substr(start, end - start);
        start = end + 1;
        if (line.empty()) continue;
        const DmsField field = static_cast<DmsField>(static_cast<unsigned char>(line[0]) % 4);
        const int f = static_cast<int>(field);
        const std::string_view typed = line.substr(1);
        const QString text = QString::fromUtf8(typed.data(), static_cast<qsizetype>(typed.size()));
        const QString before = converter.LastValid(field);

        const DmsConverter::Answer a = converter.Change(field, text, separator);
        long long value = 0;
        // A text that is not valid UTF-8 changes on its way to a QString;
        // the check is on what the field then holds.
        const std::string held = text.toStdString();
        const bool expected = Expected(held, DmsConverter::Bound(field), value);
        KORVALEN_FUZZ_CHECK(a.accepted == expected, "a text is accepted exactly when it is a number below the bound");
        KORVALEN_FUZZ_CHECK(a.fieldText == (a.accepted ? text : before), "the field keeps its text or gets the last valid one back");
        KORVALEN_FUZZ_CHECK(converter.LastValid(field) == a.fieldText, "the field's text is its last valid one");
        if (a.accepted) values[f] = value;

        for (int g = 0; g < 4; ++g) {
            long long v = 0;
            KORVALEN_FUZZ_CHECK(Expected(converter.LastValid(static_cast<DmsField>(g)).toStdString(),
                                         DmsConverter::Bound(static_cast<DmsField>(g)), v) &&
                                    v == values[g],
                                "every last valid text reads as its value, below its bound");
        }
        const long double sum = static_cast<long double>(values[0]) + static_cast<long double>(values[1]) / 60 +
                                (static_cast<long double>(values[2]) + static_cast<long double>(values[3]) / 1000) / 3600;
        const qsizetype mark = a.decimalText.indexOf(separator);
        KORVALEN_FUZZ_CHECK(mark > 0 && a.decimalText.count(separator) == 1 && a.decimalText.size() - mark - 1 == 6,
                            "the result has six decimals after the one separator");
        QString plain = a.decimalText;
        plain.replace(separator, QStringLiteral("."));
        const long double read = std::strtold(plain.toStdString().c_str(), nullptr);
        if (std::fabs(sum) < 1e4L)
            KORVALEN_FUZZ_CHECK(std::fabs(read - sum) <= 5e-7L + 1e-12L, "the result is the sum within half a millionth");
        else
            KORVALEN_FUZZ_CHECK(std::fabs(read - sum) <= std::fabs(sum) * 1e-9L, "the result keeps ten significant digits");
    }
    return 0;
}
