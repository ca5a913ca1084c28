#pragma once

#include "store/xbase/Error.h"
#include "tasks/TaskImage.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace quorvo {

namespace xbase {
class Table;
}

// One change the user made to tasks, as it can be taken back and made again: the images of the records it
// touched before and after. Undo writes the before-images back, redo the after-images, each in one journal
// transaction and only when every record still holds the other side (another program may have changed one
// since); otherwise nothing is written and the outcome names the task that changed. A deletion only flags
// its tasks, so its undo recalls the very records; an added task is undone by flagging it deleted.
class TaskUndoStep
{
public:
    enum class Direction
    {
        Undo,
        Redo,
    };

    struct Outcome
    {
        // A failed read or write; nothing of the step was written.
        xbase::Status status;
        // Refused: the description of the task that no longer holds what the step left.
        std::optional<QString> changedTask;

        bool ok() const { return status.ok() && !changedTask; }
    };

    TaskUndoStep(QString text, std::vector<TaskImage> before, std::vector<TaskImage> after);

    // After a command that changed one task: from its image before to what it holds now, named after what
    // changed. None when the task holds what it held (the command changed nothing or failed). Moves the table.
    static std::optional<TaskUndoStep> change(xbase::Table& table, const TaskImage& before);
    // After a command that appended the table's current task.
    static std::optional<TaskUndoStep> added(xbase::Table& table, const QString& text);
    // After a command that rewrote the tasks of these images (taken before it, with notes, recnos ascending) and
    // appended the tasks from firstAdded to the end of the table. Images the command left as they were are
    // dropped; none when nothing changed.
    static std::optional<TaskUndoStep> rewrittenAndAdded(xbase::Table& table, const QString& text,
                                                         const std::vector<TaskImage>& rewritten,
                                                         std::uint32_t firstAdded);
    // After a walk that flagged these tasks deleted (ascending): "Delete n Tasks". None for no task.
    static std::optional<TaskUndoStep> deletion(xbase::Table& table, const std::vector<std::uint32_t>& recnos);

    const QString& text() const { return m_text; }
    std::size_t taskCount() const { return m_after.size(); }
    std::uint32_t firstTask() const { return m_after.empty() ? 0 : m_after.front().recno; }
    // Whether a side leaves the step's first task live (for the window to stand on it).
    bool firstTaskLiveAfter(Direction direction) const;

    // The table stays on the record it stood on.
    Outcome apply(xbase::Table& table, Direction direction);

    // What the user is told when a step is refused.
    static QString refusalText(const QString& stepText, Direction direction, const QString& task);

private:
    static QString nameOf(const xbase::Table& table, const TaskImage& before, const TaskImage& after);
    // False when the records are better checked one by one; otherwise the check's outcome is set.
    static bool scanCheck(xbase::Table& table, const std::vector<TaskImage>& expected, Outcome& outcome);
    // held: what the records hold now, as the check found them.
    Outcome writeAll(xbase::Table& table, std::vector<TaskImage>& target, const std::vector<TaskImage>& held);
    // The deleted flag the target sets when it differs from held only in that flag, task by task.
    static std::optional<bool> flagsOnly(const std::vector<TaskImage>& target, const std::vector<TaskImage>& held);
    static Outcome writeFlags(xbase::Table& table, const std::vector<TaskImage>& target,
                              const std::vector<TaskImage>& held, bool deleted);

    QString m_text;
    std::vector<TaskImage> m_before;
    std::vector<TaskImage> m_after;
};

} // namespace quorvo
