// Compiles arbitrary text against the task table's fields and evaluates whatever compiles, checking
// the contracts the index code relies on: a text result is exactly width() bytes, and errors are
// BadExpression values naming a position.
#include "store/xbase/Expression.h"
#include "support/xbase/TaskFields.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace quorvo::xbase;

namespace {

std::string record(std::string_view flagAndFields)
{
    std::string bytes(136, ' ');
    bytes.replace(0, flagAndFields.size(), flagAndFields);
    return bytes;
}

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::vector<FieldInfo> fields = test::laidOutTaskFields();
    static const std::string records[] = {
        record(" 2024010509:30Buy milk"),
        record("*20231231     \xE9t\xE9 work"),
        std::string(136, '\0'),
        std::string(" 2024"), // shorter than the fields reach
        std::string(),
    };

    const std::string_view source(reinterpret_cast<const char*>(data), size);
    auto compiled = Expression::compile(source, fields);
    if (!compiled) {
        require(compiled.error().code == ErrorCode::BadExpression);
        require(compiled.error().message.find("at position ") != std::string::npos);
        return 0;
    }
    const Expression expression = compiled.value();
    require(expression.source() == source);
    std::string out;
    for (const std::string& bytes : records) {
        expression.evaluateText(bytes, out);
        require(out.size() == expression.width());
        const bool logical = expression.evaluateLogical(bytes);
        if (expression.type() == Expression::Type::Logical)
            require(out == (logical ? "T" : "F"));
    }
    return 0;
}
