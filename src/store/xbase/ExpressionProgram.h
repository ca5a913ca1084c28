#pragma once

#include "store/xbase/ExpressionNode.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvo::xbase {

// A compiled expression: the node array the parser builds and the evaluator that walks it. Once
// finished it is immutable, so any number of threads may evaluate one program at the same time.
//
// Evaluation needs the record to be at least recordSize() bytes; a shorter record is read as if
// padded with blanks. Text operands that are not plain fields or constants are built in a per-thread
// scratch buffer that only grows, so steady-state evaluation allocates nothing.
class ExpressionProgram
{
public:
    explicit ExpressionProgram(std::string source) : m_source(std::move(source)) {}

    std::uint32_t addNode(const ExpressionNode& node);
    // Appends operand indices contiguously and returns the index of the first, for ExpressionNode::first.
    std::uint32_t addOperands(std::span<const std::uint32_t> operands);
    std::uint32_t addConstant(std::string_view text);
    // Records that evaluation reads the record up to (not including) byte `end`.
    void noteRecordUse(std::size_t end);
    // Sets the root and sizes the scratch buffer; the program must not change afterwards.
    void finish(std::uint32_t root, bool logical);

    const ExpressionNode& node(std::uint32_t index) const { return m_nodes[index]; }
    const std::string& source() const { return m_source; }
    bool logical() const { return m_logical; }
    std::size_t width() const { return m_logical ? 1 : m_nodes[m_root].width; }
    std::size_t recordSize() const { return m_recordSize; }

    // False for a text program.
    bool evaluateLogical(std::string_view record) const;
    // Exactly width() bytes; a logical program gives "T" or "F", the way index keys store logicals.
    void evaluateText(std::string_view record, std::string& out) const;

private:
    const char* prepareRecord(std::string_view record) const;
    bool logicalAt(std::uint32_t index, const char* record, char* scratch) const;
    bool compareAt(const ExpressionNode& node, const char* record, char* scratch) const;
    void writeText(std::uint32_t index, const char* record, char* out) const;
    std::string_view textAt(std::uint32_t index, const char* record, char* scratch) const;

    std::string m_source;
    std::vector<ExpressionNode> m_nodes;
    std::vector<std::uint32_t> m_operands;
    std::string m_constants;
    std::uint32_t m_root = 0;
    bool m_logical = true;
    std::size_t m_recordSize = 0;
    std::size_t m_scratchSize = 0;
};

} // namespace quorvo::xbase
