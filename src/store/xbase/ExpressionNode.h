#pragma once

#include <cstdint>

namespace quorvo::xbase {

// One step of a compiled expression. Nodes live in one array and name their operands by index, so a
// compiled expression is a few flat vectors and evaluating it touches no heap.
struct ExpressionNode
{
    enum class Op : std::uint8_t
    {
        // Text results, each exactly `width` bytes.
        Field,    // `first` = offset in the record
        Constant, // `first` = offset in the constant pool
        Concat,
        Upper,
        // Logical results.
        LogicalField, // `first` = offset in the record
        True,
        False,
        Deleted,
        Not,
        And,
        Or,
        // Text comparisons with exactness off: over the right-hand text's length.
        Equal,
        NotEqual,
        Less,
        LessEqual,
        Greater,
        GreaterEqual,
        ExactEqual, // both texts in full, the shorter padded with blanks
        Contains,   // the left text occurs in the right one
    };

    Op op = Op::False;
    std::uint32_t first = 0; // see Op; for operators the index of the first operand in the operand list
    std::uint32_t count = 0; // number of operands
    std::uint32_t width = 0; // bytes of a text result
};

} // namespace quorvo::xbase
