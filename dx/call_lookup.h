#pragma once
// The call-sign lookup: after every change of the call box, the row of the
// working list that the typed text points at. It compares characters and
// numbers only; a key like "ZT-ZU" or "PJ2,4,9" is never expanded.
#include <cstddef>
#include <string_view>
#include <vector>

#include "dx/dx_row.h"

namespace korvalen::dx {

struct CallLookup {
    enum class Outcome {
        Nothing,  ///< the box is empty: nothing changes
        Beep,     ///< not a number (11-metre list), or a key that is not one
        Row,      ///< choose `row`
    };
    Outcome outcome = Outcome::Nothing;
    std::size_t row = 0;
};

/// The row for @p typed: on the ham list the prefix narrowing (the walk
/// that, one typed character at a time, moves forward through the rows whose
/// keys agree so far, never backwards); on the 11-metre list the last row
/// whose number is not larger than the number typed.
CallLookup LookupCall(const std::vector<std::string>& rows, std::string_view typed, DxList list,
                      std::string_view separator);

}  // namespace korvalen::dx
