// A value or the error that prevented it.
#pragma once

#include "error.h"

#include <utility>
#include <variant>

namespace platform {

// Returned by everything that can fail, so that a failure can never be mistaken for a value:
// reading value() of a failed result is a programming error.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value)
        : m_state(std::move(value))
    {
    }
    Result(Error error)
        : m_state(std::move(error))
    {
    }

    bool hasValue() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return hasValue(); }

    const T& value() const& { return std::get<T>(m_state); }
    T&& value() && { return std::get<T>(std::move(m_state)); }
    const Error& error() const { return std::get<Error>(m_state); }

private:
    std::variant<T, Error> m_state;
};

} // namespace platform
