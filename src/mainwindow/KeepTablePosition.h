#pragma once

#include "store/xbase/Table.h"

#include <cstdint>

namespace quorvo {

// Puts the table back on the task it stood on (or back at its end) when the scope ends. Reading a row of
// the view moves the engine's cursor, but the table's current record is the current task every command
// acts on, so no reader may leave it elsewhere. A failure to go back leaves the table at its end; there is
// nothing better to do from a destructor.
class KeepTablePosition
{
public:
    explicit KeepTablePosition(xbase::Table& table) : m_table(table), m_recno(table.eof() ? 0 : table.recNo()) {}
    ~KeepTablePosition()
    {
        const bool there = m_recno == 0 ? m_table.eof() : !m_table.eof() && m_table.recNo() == m_recno;
        if (!there)
            (void)m_table.go(m_recno); // record 0 puts the table at its end
    }
    KeepTablePosition(const KeepTablePosition&) = delete;
    KeepTablePosition& operator=(const KeepTablePosition&) = delete;

    std::uint32_t recno() const { return m_recno; }

private:
    xbase::Table& m_table;
    std::uint32_t m_recno;
};

} // namespace quorvo
