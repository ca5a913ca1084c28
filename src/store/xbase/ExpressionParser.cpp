#include "store/xbase/ExpressionParser.h"

#include "store/xbase/Ascii.h"

#include <cstdio>
#include <vector>

namespace quorvo::xbase {

namespace {

using Kind = ExpressionToken::Kind;
using Op = ExpressionNode::Op;

// Real expressions nest a handful of levels; the limit keeps hostile input off the end of the stack.
constexpr int kMaxDepth = 64;
// Far beyond any key or filter, small enough that a runaway concatenation cannot exhaust memory. The
// same bound on the source keeps every node, operand and constant offset within 32 bits.
constexpr std::size_t kMaxTextWidth = std::size_t{1} << 20;
constexpr std::size_t kMaxSourceSize = std::size_t{1} << 20;
// A DBF record length is a 16-bit number.
constexpr std::size_t kMaxRecordSize = 65536;

bool canStartOperand(Kind kind)
{
    switch (kind) {
    case Kind::Identifier:
    case Kind::String:
    case Kind::LeftParen:
    case Kind::Not:
    case Kind::True:
    case Kind::False:
    case Kind::UnterminatedString:
    case Kind::Unexpected:
        return true;
    default:
        return false;
    }
}

bool comparisonOp(Kind kind, Op& op)
{
    switch (kind) {
    case Kind::Equal:
        op = Op::Equal;
        return true;
    case Kind::ExactEqual:
        op = Op::ExactEqual;
        return true;
    case Kind::NotEqual:
        op = Op::NotEqual;
        return true;
    case Kind::Less:
        op = Op::Less;
        return true;
    case Kind::LessEqual:
        op = Op::LessEqual;
        return true;
    case Kind::Greater:
        op = Op::Greater;
        return true;
    case Kind::GreaterEqual:
        op = Op::GreaterEqual;
        return true;
    case Kind::Dollar:
        op = Op::Contains;
        return true;
    default:
        return false;
    }
}

std::string quotedForMessage(std::string_view text)
{
    if (text.size() == 1 &&
        (static_cast<unsigned char>(text[0]) < 0x21 || static_cast<unsigned char>(text[0]) > 0x7E)) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(text[0]));
        return std::string("character ") + hex;
    }
    constexpr std::size_t kShown = 24;
    std::string shown(text.substr(0, kShown));
    if (text.size() > kShown)
        shown += "...";
    return "'" + shown + "'";
}

} // namespace

ExpressionParser::ExpressionParser(std::string_view source, std::span<const FieldInfo> fields)
    : m_source(source), m_fields(fields), m_lexer(source), m_program(std::string(source))
{}

Result<ExpressionProgram> ExpressionParser::parse()
{
    if (m_source.size() > kMaxSourceSize)
        return syntaxError(kMaxSourceSize + 1, "expression too long");
    advance();
    if (m_token.kind == Kind::End)
        return syntaxError(m_token.position, "empty expression");
    auto root = parseOr();
    if (!root)
        return root.error();
    if (m_token.kind != Kind::End)
        return unexpected(m_token);
    m_program.finish(root->node, root->logical);
    return std::move(m_program);
}

Result<ExpressionParser::Operand> ExpressionParser::parseOr()
{
    return parseChain(Op::Or, &ExpressionParser::atOr, &ExpressionParser::parseAnd);
}

Result<ExpressionParser::Operand> ExpressionParser::parseAnd()
{
    return parseChain(Op::And, &ExpressionParser::atAnd, &ExpressionParser::parseNot);
}

Result<ExpressionParser::Operand> ExpressionParser::parseChain(Op op, bool (ExpressionParser::*atOperator)() const,
                                                               Result<Operand> (ExpressionParser::*parseNext)())
{
    auto first = (this->*parseNext)();
    if (!first || !(this->*atOperator)())
        return first;
    if (!first->logical)
        return typeMismatch(m_token, "needs logical operands");
    std::vector<std::uint32_t> operands{first->node};
    while ((this->*atOperator)()) {
        const ExpressionToken operatorToken = m_token;
        advance();
        auto next = (this->*parseNext)();
        if (!next)
            return next.error();
        if (!next->logical)
            return typeMismatch(operatorToken, "needs logical operands");
        operands.push_back(next->node);
    }
    const std::uint32_t firstOperand = m_program.addOperands(operands);
    return Operand{m_program.addNode({op, firstOperand, static_cast<std::uint32_t>(operands.size()), 1}), true};
}

Result<ExpressionParser::Operand> ExpressionParser::parseNot()
{
    if (!atNot())
        return parseComparison();
    const ExpressionToken operatorToken = m_token;
    QV_TRY(enter());
    advance();
    auto operand = parseNot();
    if (!operand)
        return operand.error();
    --m_depth;
    if (!operand->logical)
        return typeMismatch(operatorToken, "needs a logical operand");
    const std::uint32_t first = m_program.addOperands(std::span(&operand->node, 1));
    return Operand{m_program.addNode({Op::Not, first, 1, 1}), true};
}

Result<ExpressionParser::Operand> ExpressionParser::parseComparison()
{
    auto left = parseConcat();
    if (!left)
        return left;
    Op op{};
    while (comparisonOp(m_token.kind, op)) {
        const ExpressionToken operatorToken = m_token;
        if (left->logical)
            return typeMismatch(operatorToken, "needs text on both sides");
        advance();
        auto right = parseConcat();
        if (!right)
            return right.error();
        if (right->logical)
            return typeMismatch(operatorToken, "needs text on both sides");
        const std::uint32_t operands[] = {left->node, right->node};
        left = Operand{m_program.addNode({op, m_program.addOperands(operands), 2, 1}), true};
    }
    return left;
}

Result<ExpressionParser::Operand> ExpressionParser::parseConcat()
{
    auto first = parseOperand();
    if (!first || m_token.kind != Kind::Plus)
        return first;
    if (first->logical)
        return typeMismatch(m_token, "needs text on both sides");
    std::vector<std::uint32_t> operands{first->node};
    std::size_t width = m_program.node(first->node).width;
    while (m_token.kind == Kind::Plus) {
        const ExpressionToken operatorToken = m_token;
        advance();
        auto next = parseOperand();
        if (!next)
            return next.error();
        if (next->logical)
            return typeMismatch(operatorToken, "needs text on both sides");
        width += m_program.node(next->node).width;
        if (width > kMaxTextWidth)
            return checkedWidth(width, operatorToken.position).error();
        operands.push_back(next->node);
    }
    const std::uint32_t firstOperand = m_program.addOperands(operands);
    return Operand{m_program.addNode({Op::Concat, firstOperand, static_cast<std::uint32_t>(operands.size()),
                                      static_cast<std::uint32_t>(width)}),
                   false};
}

Result<ExpressionParser::Operand> ExpressionParser::parseOperand()
{
    const ExpressionToken token = m_token;
    switch (token.kind) {
    case Kind::Identifier:
        advance();
        if (m_token.kind == Kind::LeftParen)
            return parseCall(token);
        return parseField(token);
    case Kind::String: {
        auto width = checkedWidth(token.text.size(), token.position);
        if (!width)
            return width.error();
        advance();
        return Operand{m_program.addNode({Op::Constant, m_program.addConstant(token.text), 0, *width}), false};
    }
    case Kind::True:
    case Kind::False:
        advance();
        return Operand{m_program.addNode({token.kind == Kind::True ? Op::True : Op::False, 0, 0, 1}), true};
    case Kind::LeftParen: {
        QV_TRY(enter());
        advance();
        auto inner = parseOr();
        if (!inner)
            return inner;
        QV_TRY(expectClosingParen());
        --m_depth;
        return inner;
    }
    default:
        return unexpected(token);
    }
}

Result<ExpressionParser::Operand> ExpressionParser::parseCall(const ExpressionToken& name)
{
    if (equalsIgnoringCase(name.text, "DELETED")) {
        advance();
        QV_TRY(expectClosingParen());
        m_program.noteRecordUse(1);
        return Operand{m_program.addNode({Op::Deleted, 0, 0, 1}), true};
    }
    if (!equalsIgnoringCase(name.text, "UPPER")) {
        return makeError(ErrorCode::BadExpression, "unknown function at position " + std::to_string(name.position) +
                                                       ": " + std::string(name.text) + "()");
    }
    QV_TRY(enter());
    advance();
    auto argument = parseOr();
    if (!argument)
        return argument;
    if (argument->logical)
        return typeMismatch(name, "needs a text argument");
    QV_TRY(expectClosingParen());
    --m_depth;
    const std::uint32_t first = m_program.addOperands(std::span(&argument->node, 1));
    return Operand{m_program.addNode({Op::Upper, first, 1, m_program.node(argument->node).width}), false};
}

Result<ExpressionParser::Operand> ExpressionParser::parseField(const ExpressionToken& name)
{
    const auto position = std::to_string(name.position);
    for (const FieldInfo& field : m_fields) {
        if (!equalsIgnoringCase(field.name, name.text))
            continue;
        if (field.type == 'M' || field.type == 'm') {
            return makeError(ErrorCode::BadExpression, "memo field at position " + position + ": " + field.name +
                                                           " cannot be used in an expression");
        }
        const std::size_t end = std::size_t{field.offset} + field.width;
        if (field.offset == 0 || end > kMaxRecordSize) {
            return makeError(ErrorCode::BadArgument, "field " + field.name + " lies outside the record (offset " +
                                                         std::to_string(field.offset) + ", width " +
                                                         std::to_string(field.width) + ")");
        }
        m_program.noteRecordUse(end);
        if (field.type == 'L' || field.type == 'l') {
            if (field.width == 0)
                return Operand{m_program.addNode({Op::False, 0, 0, 1}), true};
            return Operand{m_program.addNode({Op::LogicalField, field.offset, 0, 1}), true};
        }
        return Operand{m_program.addNode({Op::Field, field.offset, 0, field.width}), false};
    }
    return makeError(ErrorCode::BadExpression, "unknown field at position " + position + ": " + std::string(name.text));
}

void ExpressionParser::advance()
{
    m_token = m_lexer.next();
}

ExpressionToken ExpressionParser::peek() const
{
    ExpressionLexer ahead = m_lexer;
    return ahead.next();
}

bool ExpressionParser::atWord(std::string_view word) const
{
    return m_token.kind == Kind::Identifier && equalsIgnoringCase(m_token.text, word);
}

// Bare "and" and "or" can only be operators where an operator is expected, so fields named AND or OR
// still work as operands, and ANDY or ORDER never match at all.
bool ExpressionParser::atOr() const
{
    return m_token.kind == Kind::Or || atWord("OR");
}

bool ExpressionParser::atAnd() const
{
    return m_token.kind == Kind::And || atWord("AND");
}

// A bare "not" is the operator when an operand follows it; otherwise it is a field named NOT. A bare
// "and" or "or" after it counts as the operator, so "NOT and X" reads the field NOT.
bool ExpressionParser::atNot() const
{
    if (m_token.kind == Kind::Not)
        return true;
    if (!atWord("NOT"))
        return false;
    const ExpressionToken next = peek();
    if (next.kind == Kind::Identifier && (equalsIgnoringCase(next.text, "AND") || equalsIgnoringCase(next.text, "OR")))
        return false;
    return canStartOperand(next.kind);
}

Status ExpressionParser::enter()
{
    if (++m_depth > kMaxDepth)
        return syntaxError(m_token.position, "nested too deeply");
    return {};
}

Status ExpressionParser::expectClosingParen()
{
    if (m_token.kind == Kind::RightParen) {
        advance();
        return {};
    }
    if (m_token.kind == Kind::UnterminatedString)
        return unexpected(m_token);
    return syntaxError(m_token.position, "expected ')'");
}

Error ExpressionParser::syntaxError(std::size_t position, std::string_view what) const
{
    return makeError(ErrorCode::BadExpression,
                     "syntax error at position " + std::to_string(position) + ": " + std::string(what));
}

Error ExpressionParser::unexpected(const ExpressionToken& token) const
{
    switch (token.kind) {
    case Kind::End:
        return syntaxError(token.position, "unexpected end of expression");
    case Kind::UnterminatedString:
        return syntaxError(token.position, "unterminated string");
    default:
        return syntaxError(token.position, "unexpected " + quotedForMessage(token.text));
    }
}

Error ExpressionParser::typeMismatch(const ExpressionToken& at, std::string_view what) const
{
    return makeError(ErrorCode::BadExpression, "type mismatch at position " + std::to_string(at.position) + ": '" +
                                                   std::string(at.text) + "' " + std::string(what));
}

Result<std::uint32_t> ExpressionParser::checkedWidth(std::size_t width, std::size_t position) const
{
    if (width > kMaxTextWidth) {
        return makeError(ErrorCode::BadExpression, "text too long at position " + std::to_string(position) +
                                                       ": more than " + std::to_string(kMaxTextWidth) + " bytes");
    }
    return static_cast<std::uint32_t>(width);
}

} // namespace quorvo::xbase
