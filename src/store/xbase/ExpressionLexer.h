#pragma once

#include "store/xbase/ExpressionToken.h"

#include <string_view>

namespace quorvo::xbase {

// Reads an expression one token at a time. It never fails: what it cannot read comes back as an
// UnterminatedString or Unexpected token, so the parser reports whichever problem comes first.
// Copying a lexer is how the parser looks one token further ahead.
class ExpressionLexer
{
public:
    explicit ExpressionLexer(std::string_view source) : m_source(source) {}

    ExpressionToken next();

private:
    ExpressionToken dotWord(std::size_t start);
    ExpressionToken quoted(std::size_t start, char closing);

    std::string_view m_source;
    std::size_t m_pos = 0;
};

} // namespace quorvo::xbase
