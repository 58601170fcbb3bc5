#pragma once
// The one way the program's libraries report a failure: a function that can
// fail returns Expected<T>, the value or the Error; one that gives nothing
// back on success returns Expected<void>. The text is UTF-8 in a std::string
// at every library boundary, Qt or not, so that the libraries without Qt
// (the geometry, the DDE server) report as the others do; a window turns it
// into a QString once, where it shows it. See docs/errors.md.
#include <string>
#include <utility>
#include <variant>

namespace korvalen {

/// Why something failed, in words the operator reads as they are.
struct Error {
    std::string text;
};

template <class T>
class [[nodiscard]] Expected {
public:
    Expected(T value) : v_(std::in_place_index<0>, std::move(value)) {}
    Expected(Error error) : v_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }
    /// The value; only when ok().
    T& operator*() & { return std::get<0>(v_); }
    const T& operator*() const& { return std::get<0>(v_); }
    T&& operator*() && { return std::get<0>(std::move(v_)); }
    T* operator->() { return &std::get<0>(v_); }
    const T* operator->() const { return &std::get<0>(v_); }
    /// The failure; only when !ok().
    const Error& error() const { return std::get<1>(v_); }

private:
    std::variant<T, Error> v_;
};

template <>
class [[nodiscard]] Expected<void> {
public:
    Expected() = default;
    Expected(Error error) : error_(std::move(error)), failed_(true) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    /// The failure; only when !ok().
    const Error& error() const { return error_; }

private:
    Error error_;
    bool failed_ = false;
};

}  // namespace korvalen
