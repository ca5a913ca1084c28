#pragma once

#include "store/xbase/Error.h"

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

namespace quorvo {

class DateFormats;
class TodoTable;

// The rows of the task grid: the record numbers of the current view (the tasks that pass the table's query,
// in its current order), taken from the table by refresh() and by nothing else, so painting never walks the
// table. A row is read by its record number when it is first shown, a few neighbours with it, and kept
// until the view is rebuilt or the task is written; a 100 000-task view costs what its visible rows cost.
//
// Reading a row moves the engine's cursor and puts it back, so the table's current record (the current
// task of every command) stays where it was. While the table holds an unposted change, or is closed, no
// row is read: rows not read before show empty until the next refresh().
//
// The Task and Key words cells are edited in place: each edit is written to its task and posted at once.
class TaskViewModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        PriorityColumn,
        DateColumn,
        TimeColumn,
        TaskColumn,
        DoneColumn,
        KeysColumn,
        ColumnCount
    };

    // The stored fields behind a row, for the cell emphasis.
    enum Role
    {
        RecNoRole = Qt::UserRole + 1, // quint32
        PriorityRole,                 // PRIORITY as stored, blanks and all
        DateRole,                     // DATE as stored
        DoneRole,                     // bool
        MaxLengthRole,                // characters an editable cell takes
    };

    // The grid's columns: their titles and display widths in characters.
    static const std::array<const char*, ColumnCount> kTitles;
    static const std::array<int, ColumnCount> kDisplayWidths;

    // The table and the date rules must outlive the model.
    TaskViewModel(TodoTable& table, const DateFormats& formats, QObject* parent = nullptr);

    // Rebuilds the view from the table: walks the query in the current order, then puts the table back on
    // its current record. A pending change is posted first, as every move of the table does. When the view
    // holds the same tasks in the same order the rows are only re-read, so the grid keeps its scroll
    // position and any open editor; otherwise the model is reset. A closed table gives an empty view. On a
    // failed walk the view stays as it was.
    xbase::Status refresh();

    // -1 when the task is not in the view.
    int rowOfRecord(std::uint32_t recno) const;
    std::uint32_t recordAt(int row) const;
    // Moves the table to the task of a row (the grid's current row is the table's current task).
    xbase::Status moveTableToRow(int row);
    // Forgets what was read of one task, so that it is read again the next time it is shown.
    void taskChanged(std::uint32_t recno);

    // One task was written or added: its row goes where the current order puts it now, found from its
    // neighbour in the order, without walking the view. A task that no longer passes the query keeps its
    // row (the user sees what was just done to it) until the view is next rebuilt; a new one gets its
    // place all the same. False when the task's place cannot be told from the rows held (another program
    // changed the view meanwhile): the caller then rebuilds the view.
    xbase::Result<bool> placeTask(std::uint32_t recno);
    // One task was deleted: its row goes.
    void removeTask(std::uint32_t recno);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Writes a Task or Key words cell to its task and posts it. Text that Windows-1252 cannot hold is
    // refused; a longer text is cut to the field. A failure is reported and nothing is kept of the edit.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // An in-place edit is about to be written to this task, which the table stands on.
    void aboutToWrite(quint32 recno);
    // An in-place edit was posted to this task; the view may have to be rebuilt.
    void taskPosted(quint32 recno);
    // The Key words of a task were typed in the grid and posted; the stored text, for the key word list.
    void keysStored(const QString& keys);

private:
    // One task as the grid shows it.
    struct Row
    {
        std::string date;
        std::string time;
        std::string priority;
        QString descript;
        QString keys;
        bool done = false;
        // The calculated fields are made when first shown while calculation is not suspended.
        bool calculated = false;
        QString showPriority;
        QString showDate;
        QString showTime;
    };

    static constexpr int kBlockRows = 16;
    static constexpr std::size_t kMaxBlocks = 64;

    static int fieldOf(int column);
    bool holds(const QModelIndex& index) const;
    bool canRead() const;
    // Null when the row cannot be read now.
    Row* rowAt(int row) const;
    void readBlock(int block, std::vector<Row>& rows) const;
    void forgetRows();
    QString displayText(Row& task, int column) const;

    TodoTable& m_table;
    const DateFormats& m_formats;
    std::vector<std::uint32_t> m_recnos;
    // Rows read so far, by block of kBlockRows; the oldest block goes first when the cache is full.
    mutable std::unordered_map<int, std::vector<Row>> m_blocks;
    mutable std::deque<int> m_blockOrder;
};

} // namespace quorvo
