#include "store/TodoTable.h"

#include "store/TaskDisplay.h"
#include "store/TaskRecord.h"
#include "store/Windows1252.h"

namespace quorvo {

xbase::Status TodoTable::open(const QString& path, bool exclusive, const xbase::TableOptions& options)
{
    QV_TRY(close());
    auto table = xbase::Table::open(path.toStdString(),
                                    exclusive ? xbase::OpenMode::Exclusive : xbase::OpenMode::Shared, options);
    if (!table)
        return table.error();
    m_table = std::move(*table);
    m_path = path;
    return {};
}

xbase::Status TodoTable::close()
{
    if (!m_table)
        return {};
    xbase::Status status = m_table->close();
    m_table.reset();
    return status;
}

QString TodoTable::ShowPriority() const
{
    return m_calcSuspended ? QString() : TaskDisplay::ShowPriority(m_table->rawField(TaskField::PRIORITY));
}

QString TodoTable::ShowDate(const DateFormats& formats) const
{
    return m_calcSuspended ? QString() : TaskDisplay::ShowDate(m_table->rawField(TaskField::DATE), formats);
}

QString TodoTable::ShowTime(const DateFormats& formats) const
{
    return m_calcSuspended ? QString() : TaskDisplay::ShowTime(m_table->rawField(TaskField::TIME), formats);
}

QString TodoTable::IsDone() const
{
    return m_calcSuspended ? QString() : TaskDisplay::IsDone(m_table->getLogical(TaskField::DONE));
}

QString TodoTable::text(int field) const
{
    return Windows1252::toUnicode(m_table->getTrimString(field));
}

xbase::Status TodoTable::setText(int field, const QString& text)
{
    bool ok = false;
    const std::string bytes = Windows1252::fromUnicode(text, &ok);
    if (!ok)
        return xbase::makeError(xbase::ErrorCode::BadArgument, "the text holds a character the task file cannot");
    return m_table->replace(field, bytes);
}

xbase::Result<QString> TodoTable::note()
{
    auto memo = m_table->getMemo(TaskField::NOTE);
    if (!memo)
        return memo.error();
    return Windows1252::toUnicode(*memo);
}

xbase::Status TodoTable::setNote(const QString& text)
{
    return setText(TaskField::NOTE, text);
}

} // namespace quorvo
