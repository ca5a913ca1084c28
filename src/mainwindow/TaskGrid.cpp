#include "mainwindow/TaskGrid.h"

#include "mainwindow/TaskGridDelegate.h"
#include "mainwindow/TaskGridLook.h"
#include "mainwindow/TaskNotesBinding.h"
#include "mainwindow/TaskViewModel.h"
#include "store/TodoTable.h"

#include <QItemSelectionModel>
#include <QTimer>

#include <utility>

namespace quorvo {

std::unique_ptr<TaskGrid> TaskGrid::attach(QTableView* grid, QPlainTextEdit* notes, TodoTable& table,
                                           const DateFormats& formats, const Clock& clock)
{
    return std::unique_ptr<TaskGrid>(new TaskGrid(grid, notes, table, formats, clock));
}

TaskGrid::TaskGrid(QTableView* grid, QPlainTextEdit* notes, TodoTable& table, const DateFormats& formats,
                   const Clock& clock)
    : m_grid(grid), m_table(table), m_model(new TaskViewModel(table, formats, this)),
      m_delegate(new TaskGridDelegate(clock, this)), m_previousDelegate(grid->itemDelegate())
{
    QItemSelectionModel* unused = grid->selectionModel();
    grid->setModel(m_model);
    delete unused;
    grid->setItemDelegate(m_delegate);
    TaskGridLook::apply(grid);
    m_notes = new TaskNotesBinding(notes, table, this);

    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, this, &TaskGrid::gridCurrentChanged);
    connect(m_model, &TaskViewModel::taskPosted, this, &TaskGrid::schedulePlacement);
    connect(m_model, &TaskViewModel::keysStored, this, &TaskGrid::keysStored);
    connect(m_model, &TaskViewModel::aboutToWrite, this, &TaskGrid::taskAboutToBeWritten);
    connect(m_model, &TaskViewModel::taskPosted, this, &TaskGrid::taskWrittenInPlace);
    connect(m_notes, &TaskNotesBinding::aboutToWrite, this, &TaskGrid::taskAboutToBeWritten);
    connect(m_notes, &TaskNotesBinding::notesPosted, this, &TaskGrid::taskWrittenInPlace);
    (void)m_model->refresh();
    followTable(0);
}

TaskGrid::~TaskGrid()
{
    if (!m_grid)
        return;
    QItemSelectionModel* ours = m_grid->selectionModel();
    m_grid->setModel(nullptr);
    delete ours;
    if (m_previousDelegate)
        m_grid->setItemDelegate(m_previousDelegate);
}

xbase::Status TaskGrid::refresh()
{
    postPendingEdits();
    const int column = m_grid->currentIndex().isValid() ? m_grid->currentIndex().column() : 0;
    xbase::Status status = m_model->refresh();
    followTable(column);
    return status;
}

void TaskGrid::rebuild()
{
    m_rebuildScheduled = false;
    const int column = m_grid->currentIndex().isValid() ? m_grid->currentIndex().column() : 0;
    (void)m_model->refresh();
    followTable(column);
}

void TaskGrid::schedulePlacement(quint32 recno)
{
    // An edit of the Task or Key words may move its task in the order. Not at once: the edit arrives while
    // the grid is still closing the cell editor.
    m_postedTasks.push_back(recno);
    if (m_rebuildScheduled)
        return;
    m_rebuildScheduled = true;
    QTimer::singleShot(0, this, &TaskGrid::placePosted);
}

void TaskGrid::placePosted()
{
    m_rebuildScheduled = false;
    const std::vector<quint32> posted = std::exchange(m_postedTasks, {});
    const int column = m_grid->currentIndex().isValid() ? m_grid->currentIndex().column() : 0;
    for (quint32 recno : posted) {
        m_following = true;
        const auto placed = m_model->placeTask(recno);
        m_following = false;
        if (!placed || !*placed) {
            rebuild();
            return;
        }
    }
    followTable(column);
}

xbase::Status TaskGrid::placeTask(quint32 recno)
{
    const int column = m_grid->currentIndex().isValid() ? m_grid->currentIndex().column() : 0;
    m_following = true;
    const auto placed = m_model->placeTask(recno);
    m_following = false;
    if (!placed)
        return placed.error();
    if (!*placed)
        return refresh();
    followTable(column);
    return {};
}

void TaskGrid::removeTask(quint32 recno)
{
    const int column = m_grid->currentIndex().isValid() ? m_grid->currentIndex().column() : 0;
    // The grid would make a neighbour of the removed row current, and that moves no task: the table has
    // its own idea of what follows a deletion.
    m_following = true;
    m_model->removeTask(recno);
    m_following = false;
    followTable(column);
}

void TaskGrid::setGridReady(bool ready)
{
    m_delegate->setGridReady(ready);
    m_grid->viewport()->update();
}

void TaskGrid::syncToTable()
{
    followTable(m_grid->currentIndex().isValid() ? m_grid->currentIndex().column() : 0);
}

void TaskGrid::followTable(int column)
{
    const bool onTask = m_table.isOpen() && !m_table.engine().eof();
    const int row = onTask ? m_model->rowOfRecord(m_table.engine().recNo()) : -1;
    m_following = true;
    if (row >= 0) {
        const QModelIndex index = m_model->index(row, column);
        m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        m_grid->scrollTo(index);
    } else {
        m_grid->selectionModel()->clear();
    }
    m_following = false;
    m_notes->load();
}

void TaskGrid::gridCurrentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    Q_UNUSED(previous);
    // A reset of the model takes the current row away; that moves no task.
    if (m_following || !current.isValid() || !m_table.isOpen())
        return;
    const quint32 recno = m_model->recordAt(current.row());
    xbase::Table& engine = m_table.engine();
    if (!engine.eof() && engine.recNo() == recno)
        return;
    if (!m_model->moveTableToRow(current.row()) || engine.eof()) {
        // The task could not be reached: the grid goes back to wherever the table is.
        syncToTable();
        emit currentRecordChanged(engine.eof() ? 0 : engine.recNo());
        return;
    }
    // Notes typed for the task just left are posted to it on the way.
    m_notes->load();
    emit currentRecordChanged(recno);
}

void TaskGrid::postPendingEdits()
{
    // A cell editor is open on the current cell only.
    if (QWidget* editor = m_grid ? m_grid->indexWidget(m_grid->currentIndex()) : nullptr) {
        emit m_delegate->commitData(editor);
        emit m_delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    (void)m_notes->post();
}

} // namespace quorvo
