#pragma once

#include "store/xbase/Error.h"

#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTableView>

#include <memory>
#include <vector>

class QModelIndex;

namespace quorvo {

class Clock;
class DateFormats;
class TaskGridDelegate;
class TaskNotesBinding;
class TaskViewModel;
class TodoTable;

// The task grid and the notes box over the task table: the view's model, the cell painting and editors, the
// grid's look, and the notes binding, with the grid's current row and the table's current task following
// each other. A row the user picks moves the table there; a command that moves the table calls
// syncToTable() (or refresh(), when the view may have changed) and the grid follows.
//
// The main window owns the object and must destroy it before the table; the grid and the notes box must
// outlive it. Destroying it leaves the grid empty, with its own delegate again.
class TaskGrid : public QObject
{
    Q_OBJECT

public:
    static std::unique_ptr<TaskGrid> attach(QTableView* grid, QPlainTextEdit* notes, TodoTable& table,
                                            const DateFormats& formats, const Clock& clock);
    ~TaskGrid() override;

    TaskViewModel& model() { return *m_model; }
    TaskGridDelegate& delegate() { return *m_delegate; }
    TaskNotesBinding& notes() { return *m_notes; }

    // Rebuilds the view from the table's query and order (after the filter, a sort or a command that adds,
    // removes or changes tasks), then the grid stands on the table's current task. A closed table shows no
    // rows. Posts what the grid and the notes box hold first.
    xbase::Status refresh();
    // After a command wrote or added one task: only its row is placed in the current order, and the grid
    // stands on the table's current task. Rebuilds the view when the row's place cannot be told.
    xbase::Status placeTask(quint32 recno);
    // After a command deleted one task: its row goes, and the grid stands on the table's current task.
    void removeTask(quint32 recno);
    // Emphasis only once the main window's start-up is over (GridReady).
    void setGridReady(bool ready);
    // The grid's current row and the notes box follow the table's current task; no current row when the
    // table is at its end or its task is not in the view.
    void syncToTable();
    // Writes an open cell editor and typed notes to the table: before a command, and at closing. A failed
    // write has been reported to the user and dropped.
    void postPendingEdits();

signals:
    // The user moved to another task in the grid; the table stands on it (0: no current task).
    void currentRecordChanged(quint32 recno);
    // Key words were typed into the grid and posted: the stored text, for the key word list.
    void keysStored(const QString& keys);
    // An edit of a cell or of the notes is about to be written to this task, and was written to it.
    void taskAboutToBeWritten(quint32 recno);
    void taskWrittenInPlace(quint32 recno);

private:
    TaskGrid(QTableView* grid, QPlainTextEdit* notes, TodoTable& table, const DateFormats& formats, const Clock& clock);
    void gridCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    // Rebuilds the view without touching open edits; the grid stays in its column.
    void rebuild();
    void schedulePlacement(quint32 recno);
    void placePosted();
    void followTable(int column);

    QPointer<QTableView> m_grid;
    TodoTable& m_table;
    TaskViewModel* m_model;
    TaskGridDelegate* m_delegate;
    TaskNotesBinding* m_notes;
    QPointer<QAbstractItemDelegate> m_previousDelegate;
    bool m_following = false;
    bool m_rebuildScheduled = false;
    std::vector<quint32> m_postedTasks;
};

} // namespace quorvo
