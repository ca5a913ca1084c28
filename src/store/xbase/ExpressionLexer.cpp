#include "store/xbase/ExpressionLexer.h"

#include "store/xbase/Ascii.h"

namespace quorvo::xbase {

namespace {

using Kind = ExpressionToken::Kind;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

ExpressionToken ExpressionLexer::next()
{
    while (m_pos < m_source.size() && isSpace(m_source[m_pos]))
        ++m_pos;
    const std::size_t start = m_pos;
    auto token = [&](Kind kind, std::size_t length) {
        m_pos = start + length;
        return ExpressionToken{kind, start + 1, m_source.substr(start, length)};
    };
    if (start == m_source.size())
        return token(Kind::End, 0);

    const char c = m_source[start];
    const char following = start + 1 < m_source.size() ? m_source[start + 1] : '\0';
    if (isLetter(c)) {
        std::size_t end = start + 1;
        while (end < m_source.size() && (isLetter(m_source[end]) || isDigit(m_source[end])))
            ++end;
        return token(Kind::Identifier, end - start);
    }
    switch (c) {
    case '"':
    case '\'':
        return quoted(start, c);
    case '[':
        return quoted(start, ']');
    case '.':
        return dotWord(start);
    case '(':
        return token(Kind::LeftParen, 1);
    case ')':
        return token(Kind::RightParen, 1);
    case '+':
        return token(Kind::Plus, 1);
    case '$':
        return token(Kind::Dollar, 1);
    case '#':
        return token(Kind::NotEqual, 1);
    case '=':
        return following == '=' ? token(Kind::ExactEqual, 2) : token(Kind::Equal, 1);
    case '!':
        return following == '=' ? token(Kind::NotEqual, 2) : token(Kind::Not, 1);
    case '<':
        if (following == '=')
            return token(Kind::LessEqual, 2);
        return following == '>' ? token(Kind::NotEqual, 2) : token(Kind::Less, 1);
    case '>':
        return following == '=' ? token(Kind::GreaterEqual, 2) : token(Kind::Greater, 1);
    default:
        break;
    }
    // A number is not part of the dialect; reporting it whole reads better than its first digit.
    std::size_t end = start + 1;
    if (isDigit(c)) {
        while (end < m_source.size() && (isDigit(m_source[end]) || m_source[end] == '.'))
            ++end;
    }
    return token(Kind::Unexpected, end - start);
}

ExpressionToken ExpressionLexer::quoted(std::size_t start, char closing)
{
    const std::size_t close = m_source.find(closing, start + 1);
    if (close == std::string_view::npos) {
        m_pos = m_source.size();
        return {Kind::UnterminatedString, start + 1, m_source.substr(start)};
    }
    m_pos = close + 1;
    return {Kind::String, start + 1, m_source.substr(start + 1, close - start - 1)};
}

ExpressionToken ExpressionLexer::dotWord(std::size_t start)
{
    std::size_t end = start + 1;
    while (end < m_source.size() && isLetter(m_source[end]))
        ++end;
    const std::string_view word = m_source.substr(start + 1, end - start - 1);
    if (end < m_source.size() && m_source[end] == '.' && !word.empty()) {
        struct DotWord
        {
            std::string_view word;
            Kind kind;
        };
        static constexpr DotWord kWords[] = {
            {"AND", Kind::And}, {"OR", Kind::Or}, {"NOT", Kind::Not}, {"T", Kind::True}, {"F", Kind::False},
        };
        for (const DotWord& candidate : kWords) {
            if (equalsIgnoringCase(word, candidate.word)) {
                m_pos = end + 1;
                return {candidate.kind, start + 1, m_source.substr(start, end + 1 - start)};
            }
        }
        m_pos = end + 1;
        return {Kind::Unexpected, start + 1, m_source.substr(start, end + 1 - start)};
    }
    m_pos = start + 1;
    return {Kind::Unexpected, start + 1, m_source.substr(start, 1)};
}

} // namespace quorvo::xbase
