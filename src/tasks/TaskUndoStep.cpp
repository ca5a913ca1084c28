#include "tasks/TaskUndoStep.h"

#include "store/TaskRecord.h"
#include "store/Windows1252.h"
#include "store/xbase/Table.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace quorvo {

namespace {

std::string_view fieldOf(const xbase::Table& table, const TaskImage& image, int number)
{
    const xbase::FieldInfo& f = table.field(number);
    if (f.offset + f.width > image.record.size())
        return {};
    return std::string_view(image.record).substr(f.offset, f.width);
}

bool blank(std::string_view bytes)
{
    return bytes.find_first_not_of(' ') == std::string_view::npos;
}

QString descriptionOf(const xbase::Table& table, const TaskImage& image)
{
    std::string_view text = fieldOf(table, image, TaskField::DESCRIPT);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return Windows1252::toUnicode(text);
}

// Puts the table back where it stood when the scope ends.
class ReturnTo
{
public:
    explicit ReturnTo(xbase::Table& table) : m_table(table), m_recno(table.eof() ? 0 : table.recNo()) {}
    ~ReturnTo() { (void)m_table.go(m_recno); }
    ReturnTo(const ReturnTo&) = delete;
    ReturnTo& operator=(const ReturnTo&) = delete;

private:
    xbase::Table& m_table;
    std::uint32_t m_recno;
};

} // namespace

TaskUndoStep::TaskUndoStep(QString text, std::vector<TaskImage> before, std::vector<TaskImage> after)
    : m_text(std::move(text)), m_before(std::move(before)), m_after(std::move(after))
{}

std::optional<TaskUndoStep> TaskUndoStep::change(xbase::Table& table, const TaskImage& before)
{
    auto after = TaskImage::capture(table, before.recno, before.note.has_value());
    if (!after || *after == before)
        return std::nullopt;
    QString text = nameOf(table, before, *after);
    return TaskUndoStep(std::move(text), {before}, {std::move(*after)});
}

std::optional<TaskUndoStep> TaskUndoStep::added(xbase::Table& table, const QString& text)
{
    if (table.eof())
        return std::nullopt;
    auto after = TaskImage::capture(table, table.recNo(), true);
    if (!after)
        return std::nullopt;
    TaskImage before = after->flagged(true);
    return TaskUndoStep(text, {std::move(before)}, {std::move(*after)});
}

std::optional<TaskUndoStep> TaskUndoStep::rewrittenAndAdded(xbase::Table& table, const QString& text,
                                                            const std::vector<TaskImage>& rewritten,
                                                            std::uint32_t firstAdded)
{
    auto count = table.recCount();
    if (!count)
        return std::nullopt;
    std::vector<TaskImage> before;
    std::vector<TaskImage> after;
    for (const TaskImage& image : rewritten) {
        auto now = TaskImage::capture(table, image.recno, true);
        if (!now)
            return std::nullopt;
        if (*now == image)
            continue;
        before.push_back(image);
        after.push_back(std::move(*now));
    }
    for (std::uint32_t recno = std::max(firstAdded, 1u); recno <= *count; ++recno) {
        auto added = TaskImage::capture(table, recno, true);
        if (!added)
            return std::nullopt;
        before.push_back(added->flagged(true));
        after.push_back(std::move(*added));
    }
    if (after.empty())
        return std::nullopt;
    return TaskUndoStep(text, std::move(before), std::move(after));
}

std::optional<TaskUndoStep> TaskUndoStep::deletion(xbase::Table& table, const std::vector<std::uint32_t>& recnos)
{
    if (recnos.empty())
        return std::nullopt;
    auto after = TaskImage::captureMany(table, recnos);
    if (!after)
        return std::nullopt;
    std::vector<TaskImage> before;
    before.reserve(after->size());
    for (const TaskImage& image : *after)
        before.push_back(image.flagged(false));
    const QString text =
        recnos.size() == 1 ? QStringLiteral("Delete 1 Task") : QStringLiteral("Delete %1 Tasks").arg(recnos.size());
    return TaskUndoStep(text, std::move(before), std::move(*after));
}

QString TaskUndoStep::nameOf(const xbase::Table& table, const TaskImage& before, const TaskImage& after)
{
    if (before.deleted() != after.deleted())
        return after.deleted() ? QStringLiteral("Delete Task") : QStringLiteral("Recall Task");
    std::vector<int> changed;
    for (int number = 1; number <= table.fieldCount(); ++number) {
        if (number == TaskField::NOTE)
            continue;
        if (fieldOf(table, before, number) != fieldOf(table, after, number))
            changed.push_back(number);
    }
    if (before.note != after.note)
        changed.push_back(TaskField::NOTE);
    if (changed.size() != 1)
        return QStringLiteral("Edit Task");
    const bool cleared = blank(fieldOf(table, after, changed.front()));
    switch (changed.front()) {
    case TaskField::DATE:
        return cleared ? QStringLiteral("Clear Date") : QStringLiteral("Change Date");
    case TaskField::TIME:
        return cleared ? QStringLiteral("Clear Time") : QStringLiteral("Change Time");
    case TaskField::DESCRIPT:
        return QStringLiteral("Change Task Text");
    case TaskField::NOTE:
        return QStringLiteral("Change Notes");
    case TaskField::DONE:
        return table.field(TaskField::DONE).type == 'L' && fieldOf(table, after, TaskField::DONE) == "T"
                   ? QStringLiteral("Mark Done")
                   : QStringLiteral("Mark Not Done");
    case TaskField::KEYS:
        return cleared ? QStringLiteral("Clear Key Words") : QStringLiteral("Change Key Words");
    case TaskField::PRIORITY:
        return QStringLiteral("Change Priority");
    default:
        return QStringLiteral("Edit Task");
    }
}

bool TaskUndoStep::firstTaskLiveAfter(Direction direction) const
{
    const std::vector<TaskImage>& side = direction == Direction::Undo ? m_before : m_after;
    return !side.empty() && !side.front().deleted();
}

TaskUndoStep::Outcome TaskUndoStep::apply(xbase::Table& table, Direction direction)
{
    Outcome outcome;
    outcome.status = table.post();
    if (!outcome.status)
        return outcome;
    ReturnTo returnTo(table);
    const std::vector<TaskImage>& expected = direction == Direction::Undo ? m_after : m_before;
    if (scanCheck(table, expected, outcome))
        return outcome.ok() ? writeAll(table, direction == Direction::Undo ? m_before : m_after, expected) : outcome;
    for (const TaskImage& image : expected) {
        outcome.status = table.go(image.recno);
        if (!outcome.status)
            return outcome;
        auto held = image.heldBy(table);
        if (!held) {
            outcome.status = held.error();
            return outcome;
        }
        if (!*held) {
            // Named as the user sees it now; a task gone from the file as the step left it.
            outcome.changedTask = table.eof() ? descriptionOf(table, image)
                                              : descriptionOf(table, {image.recno, std::string(table.record()), {}});
            return outcome;
        }
    }
    return writeAll(table, direction == Direction::Undo ? m_before : m_after, expected);
}

bool TaskUndoStep::scanCheck(xbase::Table& table, const std::vector<TaskImage>& expected, Outcome& outcome)
{
    // Many records without notes (a bulk deletion): one read-ahead pass over the file instead of a read each.
    constexpr std::size_t kScanFrom = 64;
    if (expected.size() < kScanFrom)
        return false;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (expected[i].note || (i > 0 && expected[i - 1].recno >= expected[i].recno))
            return false;
    }
    std::size_t next = 0;
    outcome.status = table.scan([&](std::uint32_t recno, std::string_view record) {
        if (recno != expected[next].recno)
            return true;
        if (record != expected[next].record) {
            outcome.changedTask = descriptionOf(table, {recno, std::string(record), {}});
            return false;
        }
        return ++next < expected.size();
    });
    if (outcome.status && !outcome.changedTask && next < expected.size())
        outcome.changedTask = descriptionOf(table, expected[next]);
    return true;
}

std::optional<bool> TaskUndoStep::flagsOnly(const std::vector<TaskImage>& target, const std::vector<TaskImage>& held)
{
    if (target.size() < 2 || target.size() != held.size())
        return std::nullopt;
    const bool deleted = target.front().deleted();
    for (std::size_t i = 0; i < target.size(); ++i) {
        const TaskImage& t = target[i];
        const TaskImage& h = held[i];
        if (t.note || h.note || t.recno != h.recno || (i > 0 && t.recno <= target[i - 1].recno) ||
            t.deleted() != deleted || h.deleted() == deleted || t.record.size() != h.record.size() ||
            std::string_view(t.record).substr(1) != std::string_view(h.record).substr(1))
            return std::nullopt;
    }
    return deleted;
}

TaskUndoStep::Outcome TaskUndoStep::writeFlags(xbase::Table& table, const std::vector<TaskImage>& target,
                                               const std::vector<TaskImage>& held, bool deleted)
{
    Outcome outcome;
    std::vector<std::uint32_t> recnos;
    recnos.reserve(target.size());
    for (const TaskImage& image : target)
        recnos.push_back(image.recno);
    outcome.status = table.beginBatch();
    if (!outcome.status)
        return outcome;
    (void)table.lockAllRecords();
    std::size_t next = 0;
    std::vector<std::uint32_t> changed;
    outcome.status = table.setDeletedMany(
        recnos, deleted,
        [&](std::uint32_t recno, std::string_view record) {
            while (next < held.size() && held[next].recno < recno)
                ++next;
            return next < held.size() && held[next].recno == recno && record == held[next].record;
        },
        changed);
    if (outcome.status && changed.size() != recnos.size()) {
        // Changed or locked by another program since the check: nothing of the step is written.
        std::size_t k = 0;
        while (k < changed.size() && changed[k] == recnos[k])
            ++k;
        outcome.changedTask = descriptionOf(table, held[k]);
        table.abandonBatch();
        return outcome;
    }
    if (outcome.status)
        outcome.status = table.commitBatch();
    return outcome;
}

TaskUndoStep::Outcome TaskUndoStep::writeAll(xbase::Table& table, std::vector<TaskImage>& target,
                                             const std::vector<TaskImage>& held)
{
    // Deleting or recalling many tasks (a bulk deletion and its undo) goes to the table in one step: a post
    // per task would rewrite every tag's leaves once for each.
    if (const std::optional<bool> deleted = flagsOnly(target, held))
        return writeFlags(table, target, held, *deleted);
    Outcome outcome;
    outcome.status = table.beginBatch();
    // Locking task by task is what another program holding a task requires; without one it is needless work,
    // one lock held to the commit for every task of a bulk step.
    if (outcome.status && target.size() > 1)
        (void)table.lockAllRecords();
    for (std::size_t i = 0; outcome.status && i < target.size(); ++i) {
        outcome.status = table.go(target[i].recno);
        if (outcome.status)
            outcome.status = target[i].writeTo(table);
        if (outcome.status)
            outcome.status = table.post();
    }
    if (outcome.status)
        outcome.status = table.commitBatch();
    else
        table.abandonBatch();
    if (!outcome.status)
        return outcome;
    // What the records hold now, as the engine stored it, is what the next step back checks for.
    for (TaskImage& image : target) {
        if (target.size() > 1 && !image.note)
            continue;
        auto stored = TaskImage::capture(table, image.recno, image.note.has_value());
        if (stored)
            image = std::move(*stored);
    }
    return outcome;
}

QString TaskUndoStep::refusalText(const QString& stepText, Direction direction, const QString& task)
{
    return QStringLiteral("%1 \"%2\" is not possible: the task \"%3\" has been changed by another program since.\r"
                          "Nothing has been changed.")
        .arg(direction == Direction::Undo ? QStringLiteral("Undo") : QStringLiteral("Redo"), stepText, task);
}

} // namespace quorvo
