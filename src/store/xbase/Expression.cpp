#include "store/xbase/Expression.h"

#include "store/xbase/ExpressionParser.h"
#include "store/xbase/ExpressionProgram.h"

namespace quorvo::xbase {

Result<Expression> Expression::compile(std::string_view source, std::span<const FieldInfo> fields)
{
    auto program = ExpressionParser(source, fields).parse();
    if (!program)
        return program.error();
    return Expression(std::make_shared<const ExpressionProgram>(std::move(program).value()));
}

Expression::Expression(std::shared_ptr<const ExpressionProgram> program) : m_program(std::move(program)) {}

Expression::Type Expression::type() const
{
    return m_program->logical() ? Type::Logical : Type::Text;
}

std::size_t Expression::width() const
{
    return m_program->width();
}

bool Expression::evaluateLogical(std::string_view record) const
{
    return m_program->evaluateLogical(record);
}

void Expression::evaluateText(std::string_view record, std::string& out) const
{
    m_program->evaluateText(record, out);
}

const std::string& Expression::source() const
{
    return m_program->source();
}

} // namespace quorvo::xbase
