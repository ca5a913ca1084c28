#pragma once

#include <cstddef>
#include <string_view>

namespace quorvo::xbase {

// One lexeme of an expression. Bare words (field and function names, and also "and", "or", "not") are
// Identifier: whether such a word is an operator depends on where it stands, which only the parser knows.
struct ExpressionToken
{
    enum class Kind
    {
        End,
        Identifier,
        String, // text holds the characters between the delimiters
        LeftParen,
        RightParen,
        Plus,
        Dollar,
        Equal,      // =
        ExactEqual, // ==
        NotEqual,   // <> # !=
        Less,
        LessEqual,
        Greater,
        GreaterEqual,
        And, // .and.
        Or,  // .or.
        Not, // .not. !
        True,
        False,
        UnterminatedString, // text runs from the opening delimiter to the end
        Unexpected,         // text holds what could not be read
    };

    Kind kind = Kind::End;
    std::size_t position = 1; // 1-based byte position in the source
    std::string_view text;
};

} // namespace quorvo::xbase
