// The main window's undo and redo: each change to tasks made through the window becomes one step on the undo
// stack, with the images of the records it touched; what a step does to the table is TaskUndoStep's.
#include "mainwindow/TMainScreen.h"

#include "mainwindow/TaskGrid.h"
#include "mainwindow/TaskUndoCommand.h"
#include "store/Messages.h"
#include "tasks/TaskUndoStep.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QUndoStack>

namespace quorvo {

void TMainScreen::UndoStackDeleter::operator()(QUndoStack* stack) const
{
    stack->blockSignals(true);
    delete stack;
}

void TMainScreen::createUndoItems(QMenu* file)
{
    m_undoStack.reset(new QUndoStack);
    file->addSeparator();
    m_undoItem = file->addAction(tr("Undo"));
    m_undoItem->setObjectName(QStringLiteral("Undo1"));
    m_undoItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(m_undoItem, &QAction::triggered, this, &TMainScreen::Undo1Click);
    m_redoItem = file->addAction(tr("Redo"));
    m_redoItem->setObjectName(QStringLiteral("Redo1"));
    m_redoItem->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(m_redoItem, &QAction::triggered, this, &TMainScreen::Redo1Click);
    for (auto signal : {&QUndoStack::canUndoChanged, &QUndoStack::canRedoChanged})
        connect(m_undoStack.get(), signal, this, &TMainScreen::updateUndoItems);
    connect(m_undoStack.get(), &QUndoStack::indexChanged, this, &TMainScreen::updateUndoItems);
    updateUndoItems();
}

void TMainScreen::connectUndoRecording()
{
    // Typed cells and notes: the task as it was just before the edit is written, then the step.
    connect(m_taskGrid.get(), &TaskGrid::taskAboutToBeWritten, this, [this](quint32 recno) {
        m_inPlaceBefore.reset();
        if (m_todoTable.isOpen() && !m_todoTable.engine().eof() && m_todoTable.engine().recNo() == recno)
            m_inPlaceBefore = imageOfCurrentTask();
    });
    connect(m_taskGrid.get(), &TaskGrid::taskWrittenInPlace, this, [this](quint32 recno) {
        if (m_inPlaceBefore && m_inPlaceBefore->recno == recno)
            recordTaskChange(m_inPlaceBefore);
        m_inPlaceBefore.reset();
    });
}

void TMainScreen::updateUndoItems()
{
    const bool canUndo = m_undoStack->canUndo();
    const bool canRedo = m_undoStack->canRedo();
    m_undoItem->setText(canUndo ? tr("Undo %1").arg(m_undoStack->undoText()) : tr("Undo"));
    m_redoItem->setText(canRedo ? tr("Redo %1").arg(m_undoStack->redoText()) : tr("Redo"));
    m_undoItem->setEnabled(canUndo);
    m_redoItem->setEnabled(canRedo);
}

std::optional<TaskImage> TMainScreen::imageOfCurrentTask()
{
    if (!m_todoTable.isOpen() || m_todoTable.engine().eof())
        return std::nullopt;
    xbase::Table& engine = m_todoTable.engine();
    auto image = TaskImage::capture(engine, engine.recNo(), true);
    if (!image)
        return std::nullopt;
    return std::move(*image);
}

void TMainScreen::recordTaskChange(const std::optional<TaskImage>& before)
{
    if (!before || !m_todoTable.isOpen())
        return;
    xbase::Table& engine = m_todoTable.engine();
    // The command may have moved on (a deletion stands on the next task); the table stays where it left it.
    const std::uint32_t at = engine.eof() ? 0 : engine.recNo();
    std::optional<TaskUndoStep> step = TaskUndoStep::change(engine, *before);
    (void)engine.go(at);
    if (step)
        m_undoStack->push(new TaskUndoCommand(m_todoTable, std::move(*step)));
}

void TMainScreen::recordTaskAdded(const QString& text)
{
    if (!m_todoTable.isOpen())
        return;
    if (std::optional<TaskUndoStep> step = TaskUndoStep::added(m_todoTable.engine(), text))
        m_undoStack->push(new TaskUndoCommand(m_todoTable, std::move(*step)));
}

void TMainScreen::recordDeletion(const std::vector<std::uint32_t>& records)
{
    if (!m_todoTable.isOpen())
        return;
    if (std::optional<TaskUndoStep> step = TaskUndoStep::deletion(m_todoTable.engine(), records))
        m_undoStack->push(new TaskUndoCommand(m_todoTable, std::move(*step)));
}

void TMainScreen::clearUndoHistory()
{
    if (m_undoStack)
        m_undoStack->clear();
}

void TMainScreen::Undo1Click()
{
    applyUndoStep(true);
}

void TMainScreen::Redo1Click()
{
    applyUndoStep(false);
}

void TMainScreen::applyUndoStep(bool undo)
{
    if (!m_todoTable.isOpen() || m_firstActivation)
        return;
    // Typed text not yet written is a change of its own, the first to be taken back.
    m_taskGrid->postPendingEdits();
    const int index = m_undoStack->index() + (undo ? -1 : 0);
    if (index < 0 || index >= m_undoStack->count())
        return;
    auto* command = static_cast<TaskUndoCommand*>(const_cast<QUndoCommand*>(m_undoStack->command(index)));
    const auto direction = undo ? TaskUndoStep::Direction::Undo : TaskUndoStep::Direction::Redo;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const TaskUndoStep::Outcome outcome = command->applyNow(direction);
    QApplication::restoreOverrideCursor();
    if (outcome.changedTask) {
        ShowInfo(TaskUndoStep::refusalText(command->step().text(), direction, *outcome.changedTask));
        return;
    }
    if (!outcome.status) {
        reportCommandFailure(undo ? tr("The change could not be undone.") : tr("The change could not be redone."),
                             outcome.status.error());
        refreshView();
        SetButtons();
        return;
    }
    if (undo)
        m_undoStack->undo();
    else
        m_undoStack->redo();
    // A step of one task shows that task, unless it is now deleted.
    const TaskUndoStep& step = command->step();
    if (step.taskCount() == 1 && step.firstTaskLiveAfter(direction))
        (void)m_todoTable.engine().go(step.firstTask());
    refreshView();
    SetButtons();
}

} // namespace quorvo
