// Failures are values: a Result carries either a value or a message.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace base {

struct Error {
    std::string message;
};

template <class T>
class Result {
public:
    Result(T value) : m_value(std::move(value)) {}  // NOLINT: implicit by design
    Result(Error error) : m_error(std::move(error.message)) {}  // NOLINT

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    T& value() { return *m_value; }
    const T& value() const { return *m_value; }
    T* operator->() { return &*m_value; }
    const T* operator->() const { return &*m_value; }
    T& operator*() { return *m_value; }
    const T& operator*() const { return *m_value; }
    const std::string& error() const { return m_error; }

private:
    std::optional<T> m_value;
    std::string m_error;
};

// A Result without a value.
class Status {
public:
    Status() = default;
    Status(Error error) : m_error(std::move(error.message)), m_failed(true) {}  // NOLINT

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return m_error; }

private:
    std::string m_error;
    bool m_failed = false;
};

}  // namespace base
