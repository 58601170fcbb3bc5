#pragma once
// The text of a failure as the tests compare it: nullopt for a success, so
// that one comparison checks both the outcome and the words, and GoogleTest
// prints the words when they differ.
#include <optional>
#include <string>

#include "base/expected.h"

namespace korvalen::testing {

template <class T>
std::optional<std::string> FailureText(const Expected<T>& result) {
    if (result) return std::nullopt;
    return result.error().text;
}

inline std::optional<std::string> FailureText(const std::optional<Error>& error) {
    if (!error) return std::nullopt;
    return error->text;
}

}  // namespace korvalen::testing
