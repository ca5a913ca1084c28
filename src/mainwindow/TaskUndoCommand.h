#pragma once

#include "tasks/TaskUndoStep.h"

#include <QUndoCommand>

namespace quorvo {

class TodoTable;

// A task step on the window's undo stack. The stack moves only once the step has been applied: the window
// applies it first (applyNow), and the stack's own undo() and redo() then find it done. Pushed, it is
// already done, since the command it stands for has just run.
class TaskUndoCommand : public QUndoCommand
{
public:
    TaskUndoCommand(TodoTable& table, TaskUndoStep step);

    const TaskUndoStep& step() const { return m_step; }
    TaskUndoStep::Outcome applyNow(TaskUndoStep::Direction direction);

    void undo() override;
    void redo() override;

private:
    void apply(TaskUndoStep::Direction direction);

    TodoTable& m_table;
    TaskUndoStep m_step;
    bool m_applied = true;
};

} // namespace quorvo
