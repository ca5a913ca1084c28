#pragma once

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace quorvo::xbase {

enum class ErrorCode
{
    Io,            // the operating system refused a read, write, sync or open
    Corrupt,       // a file's bytes break the format; the message names the file and the offset
    CorruptIndex,  // the structural index is damaged or unusable; the table itself is sound
    InUse,         // another open of the file excludes this one (open modes)
    Locked,        // a record, header, memo or index lock was refused
    BadExpression, // the message names the 1-based position where parsing failed
    BadArgument,   // a caller passed something the engine cannot accept (bad field, bad definition)
    BadState,      // the call does not fit the table's state (closed, not exclusive, no current record)
};

struct Error
{
    ErrorCode code;
    std::string message;
};

// The engine reports failures as values; nothing throws across its boundary.
template <typename T> class [[nodiscard]] Result
{
public:
    Result(T value) : m_data(std::in_place_index<0>, std::move(value)) {}
    Result(Error error) : m_data(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_data.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() &
    {
        assert(ok());
        return std::get<0>(m_data);
    }
    const T& value() const&
    {
        assert(ok());
        return std::get<0>(m_data);
    }
    T&& value() &&
    {
        assert(ok());
        return std::get<0>(std::move(m_data));
    }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const
    {
        assert(!ok());
        return std::get<1>(m_data);
    }

private:
    std::variant<T, Error> m_data;
};

class [[nodiscard]] Status
{
public:
    Status() = default;
    Status(Error error) : m_error(std::move(error)), m_failed(true) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const Error& error() const
    {
        assert(m_failed);
        return m_error;
    }

private:
    Error m_error{ErrorCode::Io, {}};
    bool m_failed = false;
};

inline Error makeError(ErrorCode code, std::string message)
{
    return Error{code, std::move(message)};
}

} // namespace quorvo::xbase

// Propagates a failed Status or Result out of the calling function.
#define QV_TRY(expr)                                                                                                   \
    do {                                                                                                               \
        if (auto qvTryResult_ = (expr); !qvTryResult_.ok())                                                            \
            return qvTryResult_.error();                                                                               \
    } while (false)
