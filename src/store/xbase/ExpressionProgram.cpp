#include "store/xbase/ExpressionProgram.h"

#include <algorithm>
#include <cstring>

namespace quorvo::xbase {

namespace {

using Op = ExpressionNode::Op;

bool isComparison(Op op)
{
    switch (op) {
    case Op::Equal:
    case Op::NotEqual:
    case Op::Less:
    case Op::LessEqual:
    case Op::Greater:
    case Op::GreaterEqual:
    case Op::ExactEqual:
    case Op::Contains:
        return true;
    default:
        return false;
    }
}

bool isTrueByte(char c)
{
    return c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

// Exactness off, as xBase compares text: only the right text's length counts. An empty right text
// equals anything; a longer left text is cut to the right's length; a shorter left text that matches
// the start of the right one sorts first. Bytes compare unsigned (memcmp does).
int compareLoose(std::string_view left, std::string_view right)
{
    const std::size_t common = std::min(left.size(), right.size());
    if (const int order = std::memcmp(left.data(), right.data(), common); order != 0)
        return order;
    return left.size() < right.size() ? -1 : 0;
}

bool equalPadded(std::string_view a, std::string_view b)
{
    if (a.size() < b.size())
        std::swap(a, b);
    if (std::memcmp(a.data(), b.data(), b.size()) != 0)
        return false;
    return a.find_first_not_of(' ', b.size()) == std::string_view::npos;
}

// Both buffers belong to the calling thread and only grow, so a warmed-up thread never allocates.
char* scratchBuffer(std::size_t size)
{
    thread_local std::string buffer;
    if (buffer.size() < size)
        buffer.resize(size);
    return buffer.data();
}

char* paddedRecordBuffer(std::size_t size)
{
    thread_local std::string buffer;
    buffer.assign(std::max<std::size_t>(size, 1), ' ');
    return buffer.data();
}

} // namespace

std::uint32_t ExpressionProgram::addNode(const ExpressionNode& node)
{
    m_nodes.push_back(node);
    return static_cast<std::uint32_t>(m_nodes.size() - 1);
}

std::uint32_t ExpressionProgram::addOperands(std::span<const std::uint32_t> operands)
{
    const auto first = static_cast<std::uint32_t>(m_operands.size());
    m_operands.insert(m_operands.end(), operands.begin(), operands.end());
    return first;
}

std::uint32_t ExpressionProgram::addConstant(std::string_view text)
{
    const auto first = static_cast<std::uint32_t>(m_constants.size());
    m_constants.append(text);
    return first;
}

void ExpressionProgram::noteRecordUse(std::size_t end)
{
    m_recordSize = std::max(m_recordSize, end);
}

void ExpressionProgram::finish(std::uint32_t root, bool logical)
{
    m_root = root;
    m_logical = logical;
    // Comparisons never nest inside text, and logical operators evaluate their operands one after the
    // other, so every comparison can use the same scratch space from its start.
    for (const ExpressionNode& node : m_nodes) {
        if (isComparison(node.op)) {
            const std::size_t left = m_nodes[m_operands[node.first]].width;
            const std::size_t right = m_nodes[m_operands[node.first + 1]].width;
            m_scratchSize = std::max(m_scratchSize, left + right);
        }
    }
}

bool ExpressionProgram::evaluateLogical(std::string_view record) const
{
    if (!m_logical)
        return false;
    return logicalAt(m_root, prepareRecord(record), scratchBuffer(m_scratchSize));
}

void ExpressionProgram::evaluateText(std::string_view record, std::string& out) const
{
    const char* bytes = prepareRecord(record);
    if (m_logical) {
        out.assign(1, logicalAt(m_root, bytes, scratchBuffer(m_scratchSize)) ? 'T' : 'F');
        return;
    }
    out.resize(m_nodes[m_root].width);
    writeText(m_root, bytes, out.data());
}

const char* ExpressionProgram::prepareRecord(std::string_view record) const
{
    if (record.size() >= m_recordSize && record.data() != nullptr)
        return record.data();
    char* padded = paddedRecordBuffer(m_recordSize);
    if (!record.empty())
        std::memcpy(padded, record.data(), record.size());
    return padded;
}

bool ExpressionProgram::logicalAt(std::uint32_t index, const char* record, char* scratch) const
{
    const ExpressionNode& node = m_nodes[index];
    switch (node.op) {
    case Op::LogicalField:
        return isTrueByte(record[node.first]);
    case Op::True:
        return true;
    case Op::False:
        return false;
    case Op::Deleted:
        return record[0] == '*';
    case Op::Not:
        return !logicalAt(m_operands[node.first], record, scratch);
    case Op::And:
        for (std::uint32_t i = 0; i < node.count; ++i) {
            if (!logicalAt(m_operands[node.first + i], record, scratch))
                return false;
        }
        return true;
    case Op::Or:
        for (std::uint32_t i = 0; i < node.count; ++i) {
            if (logicalAt(m_operands[node.first + i], record, scratch))
                return true;
        }
        return false;
    default:
        return isComparison(node.op) && compareAt(node, record, scratch);
    }
}

bool ExpressionProgram::compareAt(const ExpressionNode& node, const char* record, char* scratch) const
{
    const std::uint32_t leftIndex = m_operands[node.first];
    const std::string_view left = textAt(leftIndex, record, scratch);
    const std::string_view right = textAt(m_operands[node.first + 1], record, scratch + m_nodes[leftIndex].width);
    switch (node.op) {
    case Op::Contains:
        return right.find(left) != std::string_view::npos;
    case Op::ExactEqual:
        return equalPadded(left, right);
    case Op::Equal:
        return compareLoose(left, right) == 0;
    case Op::NotEqual:
        return compareLoose(left, right) != 0;
    case Op::Less:
        return compareLoose(left, right) < 0;
    case Op::LessEqual:
        return compareLoose(left, right) <= 0;
    case Op::Greater:
        return compareLoose(left, right) > 0;
    case Op::GreaterEqual:
        return compareLoose(left, right) >= 0;
    default:
        return false;
    }
}

std::string_view ExpressionProgram::textAt(std::uint32_t index, const char* record, char* scratch) const
{
    const ExpressionNode& node = m_nodes[index];
    if (node.op == Op::Field)
        return {record + node.first, node.width};
    if (node.op == Op::Constant)
        return {m_constants.data() + node.first, node.width};
    writeText(index, record, scratch);
    return {scratch, node.width};
}

void ExpressionProgram::writeText(std::uint32_t index, const char* record, char* out) const
{
    const ExpressionNode& node = m_nodes[index];
    switch (node.op) {
    case Op::Field:
        std::memcpy(out, record + node.first, node.width);
        return;
    case Op::Constant:
        std::memcpy(out, m_constants.data() + node.first, node.width);
        return;
    case Op::Concat:
        for (std::uint32_t i = 0; i < node.count; ++i) {
            const std::uint32_t operand = m_operands[node.first + i];
            writeText(operand, record, out);
            out += m_nodes[operand].width;
        }
        return;
    case Op::Upper:
        writeText(m_operands[node.first], record, out);
        for (char* c = out; c != out + node.width; ++c) {
            if (*c >= 'a' && *c <= 'z')
                *c = static_cast<char>(*c - ('a' - 'A'));
        }
        return;
    default:
        // Logical nodes never stand where text is read; the parser's type check sees to that.
        std::memset(out, ' ', node.width);
        return;
    }
}

} // namespace quorvo::xbase
