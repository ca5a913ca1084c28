#include "tasks/ICalImportPreview.h"

#include "store/TaskDisplay.h"
#include "store/Windows1252.h"
#include "store/xbase/Table.h"

#include <set>

namespace quorvo {

namespace {

QString counted(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

QString entryText(const ICalImport::Task& task, const DateFormats& formats)
{
    QString when = TaskDisplay::ShowDate(task.date, formats);
    if (!when.isEmpty())
        when += TaskDisplay::ShowTime(task.time, formats);
    const QString description = Windows1252::toUnicode(task.descript);
    return when.isEmpty() ? description : when + QStringLiteral("  ") + description;
}

} // namespace

xbase::Result<ICalImportPreview> ICalImportPreview::of(xbase::Table& table, ICalImport::Plan plan,
                                                       const DateFormats& formats)
{
    ICalImportPreview preview(std::move(plan));
    QV_TRY(table.post());
    auto count = table.recCount();
    if (!count)
        return count.error();
    for (const ICalImport::Task& task : preview.m_plan.tasks) {
        auto updates = ICalImport::taskUpdatedBy(table, task, *count);
        if (!updates)
            return updates.error();
        (*updates ? preview.m_updated : preview.m_added).push_back({entryText(task, formats), *updates});
    }
    return preview;
}

QString ICalImportPreview::addedText() const
{
    return counted(int(m_added.size()), "task will be added.", "tasks will be added.");
}

QString ICalImportPreview::updatedText() const
{
    return counted(int(m_updated.size()), "task exported from this list will be updated.",
                   "tasks exported from this list will be updated.");
}

QString ICalImportPreview::skippedText() const
{
    return QStringLiteral("Skipped: %1, %2, %3.")
        .arg(counted(m_plan.events, "event", "events"),
             counted(m_plan.recurring, "repeating to-do", "repeating to-dos"),
             counted(m_plan.others, "other component", "other components"));
}

ICalImportPreview::Made ICalImportPreview::make(xbase::Table& table) const
{
    Made made;
    made.outcome.status = table.post();
    if (!made.outcome.status)
        return made;
    const std::uint32_t at = table.eof() ? 0 : table.recNo();
    auto count = table.recCount();
    if (!count) {
        made.outcome.status = count.error();
        return made;
    }
    // The tasks as they are before the import, each once however many to-dos update it.
    std::set<std::uint32_t> rewritten;
    for (const ICalImport::Task& task : m_plan.tasks) {
        auto updates = ICalImport::taskUpdatedBy(table, task, *count);
        if (!updates) {
            made.outcome.status = updates.error();
            (void)table.go(at);
            return made;
        }
        if (*updates)
            rewritten.insert(*updates);
    }
    std::vector<TaskImage> before;
    before.reserve(rewritten.size());
    for (std::uint32_t recno : rewritten) {
        auto image = TaskImage::capture(table, recno, true);
        if (!image) {
            made.outcome.status = image.error();
            (void)table.go(at);
            return made;
        }
        before.push_back(std::move(*image));
    }
    made.outcome = ICalImport::apply(table, m_plan);
    if (made.outcome.added + made.outcome.updated > 0)
        made.step = TaskUndoStep::rewrittenAndAdded(table, stepText(), before, *count + 1);
    (void)table.go(at);
    return made;
}

} // namespace quorvo
