#pragma once

#include "store/xbase/Error.h"
#include "store/xbase/ExpressionLexer.h"
#include "store/xbase/ExpressionNode.h"
#include "store/xbase/ExpressionProgram.h"
#include "store/xbase/FieldInfo.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace quorvo::xbase {

// Recursive descent over the dialect, building and type-checking the program in one pass.
// Precedence from low to high: .or., .and., .not., comparisons and $, +, operands.
// Every failure is a BadExpression error naming the 1-based position where it was found.
class ExpressionParser
{
public:
    ExpressionParser(std::string_view source, std::span<const FieldInfo> fields);

    // One use per parser.
    Result<ExpressionProgram> parse();

private:
    struct Operand
    {
        std::uint32_t node = 0;
        bool logical = false;
    };

    Result<Operand> parseOr();
    Result<Operand> parseAnd();
    Result<Operand> parseNot();
    Result<Operand> parseComparison();
    Result<Operand> parseConcat();
    Result<Operand> parseOperand();
    Result<Operand> parseCall(const ExpressionToken& name);
    Result<Operand> parseField(const ExpressionToken& name);
    // One n-ary .and. or .or. node for a whole run of the operator, so long chains stay shallow.
    Result<Operand> parseChain(ExpressionNode::Op op, bool (ExpressionParser::*atOperator)() const,
                               Result<Operand> (ExpressionParser::*parseNext)());

    void advance();
    ExpressionToken peek() const;
    bool atWord(std::string_view word) const;
    bool atOr() const;
    bool atAnd() const;
    bool atNot() const;
    Status enter();
    Status expectClosingParen();

    Error syntaxError(std::size_t position, std::string_view what) const;
    Error unexpected(const ExpressionToken& token) const;
    Error typeMismatch(const ExpressionToken& at, std::string_view what) const;
    Result<std::uint32_t> checkedWidth(std::size_t width, std::size_t position) const;

    std::string_view m_source;
    std::span<const FieldInfo> m_fields;
    ExpressionLexer m_lexer;
    ExpressionToken m_token;
    ExpressionProgram m_program;
    int m_depth = 0;
};

} // namespace quorvo::xbase
