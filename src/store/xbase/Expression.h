#pragma once

#include "store/xbase/Error.h"
#include "store/xbase/FieldInfo.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace quorvo::xbase {

class ExpressionProgram;

// An index key, FOR condition or filter in the engine's xBase dialect, compiled once against a table's
// fields and then evaluated on raw record buffers.
//
// The dialect: field names in any letter case (L fields are logical, memo fields are refused, every
// other type is its raw text); text constants in "…", '…' or […]; + joins text without trimming;
// = <> # != < <= > >= compare text with exactness off (over the right text's length), == compares the
// whole texts padded with blanks; $ tests whether the left text occurs in the right one (an empty left
// text occurs everywhere); upper() and deleted() in any letter case; .and./and, .or./or, .not./not/!;
// .T. and .F.; parentheses.
//
// Copies share one immutable compiled form, so copying is cheap and one expression may be evaluated
// from several threads at once.
class Expression
{
public:
    enum class Type
    {
        Text,
        Logical
    };

    // Errors are ErrorCode::BadExpression with a message naming the 1-based position of the problem:
    // syntax, unknown fields and functions, memo fields, and type mismatches.
    // Moving copies on purpose: a moved-from expression stays usable, and a copy costs one reference count.
    Expression(const Expression&) = default;
    Expression& operator=(const Expression&) = default;

    static Result<Expression> compile(std::string_view source, std::span<const FieldInfo> fields);

    Type type() const;
    // Text results have a width fixed at compile time; a logical result counts as 1 byte.
    std::size_t width() const;

    // record is the whole record buffer with the deleted flag at byte 0. A record shorter than the
    // fields reach is read as if padded with blanks. A text expression gives false.
    bool evaluateLogical(std::string_view record) const;
    // out becomes exactly width() bytes. A logical expression gives "T" or "F", the form of a
    // logical index key.
    void evaluateText(std::string_view record, std::string& out) const;

    const std::string& source() const;

private:
    explicit Expression(std::shared_ptr<const ExpressionProgram> program);

    std::shared_ptr<const ExpressionProgram> m_program;
};

} // namespace quorvo::xbase
