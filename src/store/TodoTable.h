#pragma once

#include "store/xbase/Table.h"

#include <QString>

#include <memory>

namespace quorvo {

class DateFormats;

// The main window's task table: the engine cursor over QVTSK.DBF (the work area every store routine
// and command goes through) with what the window needs around it: the calculated display fields, the
// flag that suspends them, and text converted between the window's Unicode and the file's
// Windows-1252. Edit, append and post are the engine's.
class TodoTable
{
public:
    bool isOpen() const { return m_table != nullptr; }
    bool exclusive() const { return m_table && m_table->exclusive(); }
    const QString& path() const { return m_path; }

    xbase::Status open(const QString& path, bool exclusive, const xbase::TableOptions& options = {});
    // Posts what is pending and closes; closing a closed table does nothing.
    xbase::Status close();

    xbase::Table& engine() { return *m_table; }
    const xbase::Table& engine() const { return *m_table; }

    // While set, the calculated fields read empty (start-up, maintenance, bulk commands).
    bool CalcSuspended() const { return m_calcSuspended; }
    void setCalcSuspended(bool on) { m_calcSuspended = on; }

    // The current task's calculated fields.
    QString ShowPriority() const;
    QString ShowDate(const DateFormats& formats) const;
    QString ShowTime(const DateFormats& formats) const;
    QString IsDone() const;

    // A field of the current task without its trailing blanks.
    QString text(int field) const;
    // Refuses (BadArgument) text that Windows-1252 cannot hold; the field cuts it to its width.
    xbase::Status setText(int field, const QString& text);
    xbase::Result<QString> note();
    xbase::Status setNote(const QString& text);

private:
    std::unique_ptr<xbase::Table> m_table;
    QString m_path;
    bool m_calcSuspended = false;
};

} // namespace quorvo
