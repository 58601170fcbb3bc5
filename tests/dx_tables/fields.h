#pragma once
// The fields of a built-in DX row, split at every TAB.
#include <string>
#include <string_view>
#include <vector>

namespace korvalen::testing {

inline std::vector<std::string> Fields(std::string_view row) {
    std::vector<std::string> fields;
    while (true) {
        const auto tab = row.find('\t');
        fields.emplace_back(row.substr(0, tab));
        if (tab == std::string_view::npos) return fields;
        row.remove_prefix(tab + 1);
    }
}

}  // namespace korvalen::testing
