#include "dx/call_lookup.h"

#include <optional>
#include <string>

#include "geo/cp1252.h"
#include "geo/geo.h"

namespace korvalen::dx {

namespace {

// The key of a row: the text before the first separator; nullopt for an
// empty row or one without a separator, which the walks pass over.
std::optional<std::string_view> RowKey(std::string_view row, std::string_view separator) {
    const std::size_t at = row.find(separator);
    if (row.empty() || at == std::string_view::npos) return std::nullopt;
    return row.substr(0, at);
}

// Characters compare by their codes in the program's 8-bit character set.
std::string EightBit(std::string_view utf8) { return text::Utf8ToCp1252(utf8); }

std::size_t PrefixNarrowing(const std::vector<std::string>& rows, const std::string& typed,
                            std::string_view separator) {
    std::size_t b = 0;
    for (std::size_t i = 1; i <= typed.size(); ++i) {
        const unsigned char ch = static_cast<unsigned char>(typed[i - 1]);
        const std::string_view agreed(typed.data(), i - 1);
        for (std::size_t j = b; j < rows.size(); ++j) {
            const std::optional<std::string_view> utf8Key = RowKey(rows[j], separator);
            if (!utf8Key) continue;
            const std::string key = EightBit(*utf8Key);
            if (key.size() < i - 1 || std::string_view(key).substr(0, i - 1) != agreed) break;
            if (key.size() < i) continue;
            const unsigned char k = static_cast<unsigned char>(key[i - 1]);
            if (ch < k) break;
            b = j;
            if (ch == k) break;
        }
    }
    return b;
}

}  // namespace

CallLookup LookupCall(const std::vector<std::string>& rows, std::string_view typed, DxList list,
                      std::string_view separator) {
    CallLookup result;
    if (typed.empty()) return result;
    const std::string upper = AsciiUpper(EightBit(typed));

    if (list == DxList::Ham) {
        result.outcome = CallLookup::Outcome::Row;
        result.row = PrefixNarrowing(rows, upper, separator);
        return result;
    }
    result.outcome = CallLookup::Outcome::Beep;
    const std::optional<int> number = geo::ParseDecimalInteger(upper);
    if (!number) return result;
    std::size_t b = 0;
    for (std::size_t j = 0; j < rows.size(); ++j) {
        const std::optional<std::string_view> key = RowKey(rows[j], separator);
        if (!key) continue;
        const std::optional<int> keyNumber = geo::ParseDecimalInteger(std::string(*key));
        if (!keyNumber) return result;
        if (*number < *keyNumber) break;
        b = j;
    }
    result.outcome = CallLookup::Outcome::Row;
    result.row = b;
    return result;
}

}  // namespace korvalen::dx
