#pragma once
// Results of core operations: a value, or an error of a closed set of kinds with context.

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace tavrik {

enum class ErrorKind {
    Device,             // the keyboard did not answer or answered out of protocol
    Value,              // the caller's or a file's value is out of range or malformed
    System,             // a file or OS operation failed
    NotConnected,       // no keyboard is connected
    NoPermission,       // the keyboard is there, but this user may not open its device nodes
    Unplugged,          // the keyboard went away while a job used it
    NoAcknowledgement,  // the keyboard did not acknowledge a step of a write-all in time
};

struct Error {
    ErrorKind kind;
    std::string context;  // what failed, for the debug output and the window layer's message
};

const char* errorKindName(ErrorKind kind);

template <typename T>
class Result {
public:
    Result(T value) : m_v(std::move(value)) {}
    Result(Error error) : m_v(std::move(error)) {}

    bool ok() const { return m_v.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<0>(m_v); }
    T& value() & { return std::get<0>(m_v); }
    T&& value() && { return std::get<0>(std::move(m_v)); }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    const Error& error() const { return std::get<1>(m_v); }

private:
    std::variant<T, Error> m_v;
};

// A result without a value.
class Status {
public:
    Status() = default;
    Status(Error error) : m_error(std::move(error)) {}
    static Status success() { return {}; }

    bool ok() const { return !m_error.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return *m_error; }

private:
    std::optional<Error> m_error;
};

inline Error deviceError(std::string context) {
    return {ErrorKind::Device, std::move(context)};
}
inline Error valueError(std::string context) {
    return {ErrorKind::Value, std::move(context)};
}
inline Error systemError(std::string context) {
    return {ErrorKind::System, std::move(context)};
}

}  // namespace tavrik
