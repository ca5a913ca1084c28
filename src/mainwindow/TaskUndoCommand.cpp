#include "mainwindow/TaskUndoCommand.h"

#include "store/TodoTable.h"

namespace quorvo {

TaskUndoCommand::TaskUndoCommand(TodoTable& table, TaskUndoStep step)
    : QUndoCommand(step.text()), m_table(table), m_step(std::move(step))
{}

TaskUndoStep::Outcome TaskUndoCommand::applyNow(TaskUndoStep::Direction direction)
{
    if (!m_table.isOpen())
        return {xbase::makeError(xbase::ErrorCode::BadState, "the task list is not open"), std::nullopt};
    TaskUndoStep::Outcome outcome = m_step.apply(m_table.engine(), direction);
    m_applied = outcome.ok();
    return outcome;
}

void TaskUndoCommand::apply(TaskUndoStep::Direction direction)
{
    if (std::exchange(m_applied, false))
        return;
    (void)applyNow(direction);
    m_applied = false;
}

void TaskUndoCommand::undo()
{
    apply(TaskUndoStep::Direction::Undo);
}

void TaskUndoCommand::redo()
{
    apply(TaskUndoStep::Direction::Redo);
}

} // namespace quorvo
