#include "mainwindow/TaskViewModel.h"

#include "mainwindow/KeepTablePosition.h"
#include "store/Messages.h"
#include "store/TaskDisplay.h"
#include "store/TaskRecord.h"
#include "store/TodoTable.h"
#include "store/TrimSpaces.h"
#include "store/Windows1252.h"

#include <algorithm>

namespace quorvo {

namespace {

int fieldWidth(int field)
{
    return taskTableFields()[static_cast<std::size_t>(field - 1)].width;
}

QString saveFailedText(const xbase::Error& error)
{
    return QStringLiteral("Error:Unable to save changes\r") + QString::fromStdString(error.message);
}

} // namespace

const std::array<const char*, TaskViewModel::ColumnCount> TaskViewModel::kTitles{"Priority", "Date",  "Time",
                                                                                 "Task",     "Done?", "Key words"};
const std::array<int, TaskViewModel::ColumnCount> TaskViewModel::kDisplayWidths{9, 11, 9, 70, 5, 15};

TaskViewModel::TaskViewModel(TodoTable& table, const DateFormats& formats, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_formats(formats)
{}

int TaskViewModel::fieldOf(int column)
{
    switch (column) {
    case TaskColumn:
        return TaskField::DESCRIPT;
    case KeysColumn:
        return TaskField::KEYS;
    default:
        return 0;
    }
}

xbase::Status TaskViewModel::refresh()
{
    std::vector<std::uint32_t> recnos;
    if (m_table.isOpen()) {
        xbase::Table& engine = m_table.engine();
        QV_TRY(engine.post());
        KeepTablePosition keep(engine);
        recnos.reserve(m_recnos.size());
        xbase::Status walk = engine.goTop();
        for (; walk && !engine.eof(); walk = engine.skip(1))
            recnos.push_back(engine.recNo());
        QV_TRY(walk);
    }
    if (recnos == m_recnos) {
        forgetRows();
        if (!m_recnos.empty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
        return {};
    }
    beginResetModel();
    m_recnos = std::move(recnos);
    forgetRows();
    endResetModel();
    return {};
}

int TaskViewModel::rowOfRecord(std::uint32_t recno) const
{
    const auto it = std::find(m_recnos.begin(), m_recnos.end(), recno);
    return it == m_recnos.end() ? -1 : static_cast<int>(it - m_recnos.begin());
}

std::uint32_t TaskViewModel::recordAt(int row) const
{
    return row >= 0 && row < rowCount() ? m_recnos[static_cast<std::size_t>(row)] : 0;
}

xbase::Status TaskViewModel::moveTableToRow(int row)
{
    const std::uint32_t recno = recordAt(row);
    if (recno == 0)
        return xbase::makeError(xbase::ErrorCode::BadArgument, "the view has no row " + std::to_string(row));
    if (!m_table.isOpen())
        return xbase::makeError(xbase::ErrorCode::BadState, "the task table is closed");
    return m_table.engine().go(recno);
}

void TaskViewModel::taskChanged(std::uint32_t recno)
{
    const int row = rowOfRecord(recno);
    if (row < 0)
        return;
    const int block = row / kBlockRows;
    if (m_blocks.erase(block))
        m_blockOrder.erase(std::find(m_blockOrder.begin(), m_blockOrder.end(), block));
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

xbase::Result<bool> TaskViewModel::placeTask(std::uint32_t recno)
{
    if (!m_table.isOpen())
        return false;
    xbase::Table& engine = m_table.engine();
    QV_TRY(engine.post());
    KeepTablePosition keep(engine);
    QV_TRY(engine.go(recno));
    if (engine.eof() || engine.deleted()) {
        removeTask(recno);
        return true;
    }
    const int oldRow = rowOfRecord(recno);
    if (oldRow >= 0 && !engine.query().empty()) {
        auto passes = engine.evalLogical(engine.query());
        if (!passes)
            return passes.error();
        if (!*passes) {
            taskChanged(recno);
            return true;
        }
    }
    // The task before it in the order; none when it comes first. In record order the engine also steps
    // onto deleted tasks, which no command leaves in the rows.
    std::uint32_t before = 0;
    for (;;) {
        QV_TRY(engine.skip(-1));
        if (engine.bof() || engine.recNo() == recno)
            break;
        if (!engine.deleted()) {
            before = engine.recNo();
            break;
        }
    }
    const int beforeRow = before == 0 ? -1 : rowOfRecord(before);
    if (before != 0 && beforeRow < 0)
        return false;
    if (oldRow < 0) {
        const int newRow = beforeRow + 1;
        beginInsertRows(QModelIndex(), newRow, newRow);
        m_recnos.insert(m_recnos.begin() + newRow, recno);
        forgetRows();
        endInsertRows();
        return true;
    }
    // Its row once the task has left its old one.
    const int newRow = beforeRow < oldRow ? beforeRow + 1 : beforeRow;
    if (newRow == oldRow) {
        taskChanged(recno);
        return true;
    }
    // The move is announced in the rows as they were.
    beginMoveRows(QModelIndex(), oldRow, oldRow, QModelIndex(), newRow > oldRow ? newRow + 1 : newRow);
    m_recnos.erase(m_recnos.begin() + oldRow);
    m_recnos.insert(m_recnos.begin() + newRow, recno);
    forgetRows();
    endMoveRows();
    taskChanged(recno);
    return true;
}

void TaskViewModel::removeTask(std::uint32_t recno)
{
    const int row = rowOfRecord(recno);
    if (row < 0)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_recnos.erase(m_recnos.begin() + row);
    forgetRows();
    endRemoveRows();
}

void TaskViewModel::forgetRows()
{
    m_blocks.clear();
    m_blockOrder.clear();
}

bool TaskViewModel::holds(const QModelIndex& index) const
{
    // An invalid index is asked for by views as a matter of course; only a wrong valid one is a fault.
    return index.isValid() && checkIndex(index, CheckIndexOption::ParentIsInvalid);
}

int TaskViewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_recnos.size());
}

int TaskViewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

bool TaskViewModel::canRead() const
{
    return m_table.isOpen() && !m_table.engine().pending();
}

TaskViewModel::Row* TaskViewModel::rowAt(int row) const
{
    const int block = row / kBlockRows;
    auto it = m_blocks.find(block);
    if (it == m_blocks.end()) {
        if (!canRead())
            return nullptr;
        if (m_blocks.size() >= kMaxBlocks) {
            m_blocks.erase(m_blockOrder.front());
            m_blockOrder.pop_front();
        }
        it = m_blocks.emplace(block, std::vector<Row>()).first;
        m_blockOrder.push_back(block);
        readBlock(block, it->second);
    }
    return &it->second[static_cast<std::size_t>(row % kBlockRows)];
}

void TaskViewModel::readBlock(int block, std::vector<Row>& rows) const
{
    const int first = block * kBlockRows;
    const int last = std::min(first + kBlockRows, rowCount());
    rows.assign(static_cast<std::size_t>(last - first), Row());
    xbase::Table& engine = m_table.engine();
    KeepTablePosition keep(engine);
    for (int row = first; row < last; ++row) {
        // A task that cannot be read (removed by another program since the view was built) shows empty.
        if (!engine.go(m_recnos[static_cast<std::size_t>(row)]) || engine.eof())
            continue;
        Row& task = rows[static_cast<std::size_t>(row - first)];
        task.date = engine.rawField(TaskField::DATE);
        task.time = engine.rawField(TaskField::TIME);
        task.priority = engine.rawField(TaskField::PRIORITY);
        task.descript = m_table.text(TaskField::DESCRIPT);
        task.keys = m_table.text(TaskField::KEYS);
        task.done = engine.getLogical(TaskField::DONE);
    }
}

QString TaskViewModel::displayText(Row& task, int column) const
{
    switch (column) {
    case TaskColumn:
        return task.descript;
    case KeysColumn:
        return task.keys;
    default:
        break;
    }
    if (m_table.CalcSuspended())
        return {};
    if (!task.calculated) {
        task.showPriority = TaskDisplay::ShowPriority(task.priority);
        task.showDate = TaskDisplay::ShowDate(task.date, m_formats);
        task.showTime = TaskDisplay::ShowTime(task.time, m_formats);
        task.calculated = true;
    }
    switch (column) {
    case PriorityColumn:
        return task.showPriority;
    case DateColumn:
        return task.showDate;
    case TimeColumn:
        return task.showTime;
    case DoneColumn:
        return TaskDisplay::IsDone(task.done);
    default:
        return {};
    }
}

QVariant TaskViewModel::data(const QModelIndex& index, int role) const
{
    if (!holds(index))
        return {};
    if (role == RecNoRole)
        return QVariant::fromValue<quint32>(recordAt(index.row()));
    if (role == MaxLengthRole) {
        const int field = fieldOf(index.column());
        return field ? QVariant(fieldWidth(field)) : QVariant();
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != PriorityRole && role != DateRole && role != DoneRole)
        return {};
    Row* task = rowAt(index.row());
    if (!task)
        return {};
    switch (role) {
    case PriorityRole:
        return Windows1252::toUnicode(task->priority);
    case DateRole:
        return Windows1252::toUnicode(task->date);
    case DoneRole:
        return task->done;
    default:
        return displayText(*task, index.column());
    }
}

QVariant TaskViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return QString::fromLatin1(kTitles[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags TaskViewModel::flags(const QModelIndex& index) const
{
    if (!holds(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (fieldOf(index.column()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TaskViewModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !holds(index))
        return false;
    const int field = fieldOf(index.column());
    if (!field || !m_table.isOpen())
        return false;
    // The field cuts the text to its width; one byte a character, so to so many characters.
    const QString text = value.toString();
    if (!Windows1252::canEncode(text)) {
        ShowInfo(QStringLiteral("The text holds a character that the task list cannot store; it was not saved."));
        return false;
    }
    const std::uint32_t recno = recordAt(index.row());
    xbase::Table& engine = m_table.engine();
    KeepTablePosition keep(engine);
    xbase::Status status = engine.go(recno);
    if (status && engine.eof())
        status = xbase::makeError(xbase::ErrorCode::BadState, "the task is no longer in the task list");
    // The field keeps no trailing blanks of its own; an edit that changes nothing else writes nothing.
    if (status && m_table.text(field) == TrimRightSpaces(text))
        return true;
    if (status)
        emit aboutToWrite(recno);
    if (status)
        status = m_table.setText(field, text);
    if (status)
        status = engine.post();
    if (!status) {
        engine.cancel();
        ShowInfo(saveFailedText(status.error()));
        taskChanged(recno);
        return false;
    }
    taskChanged(recno);
    emit taskPosted(recno);
    if (field == TaskField::KEYS)
        emit keysStored(m_table.text(TaskField::KEYS));
    return true;
}

} // namespace quorvo
