#pragma once

#include "store/TaskGenerator.h"
#include "store/TaskRecord.h"
#include "store/TodoTable.h"

#include <QString>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace quorvo {

// One task as a test writes it, fields in their stored form.
struct TaskSpec
{
    std::string date;
    std::string time;
    std::string descript;
    std::string keys;
    std::string priority;
    bool done = false;
    std::string note;
};

// A task table with the five index tags in a temporary directory, filled through the engine and opened
// shared as the program opens it. Tasks get record numbers 1, 2, ... in the order given.
class TaskTableFixture
{
public:
    bool create(const std::vector<TaskSpec>& tasks)
    {
        if (!m_dir.isValid())
            return false;
        TaskGenerator::Options options;
        if (!TaskGenerator::createTable(path().toStdString(), 0, options))
            return false;
        auto table = xbase::Table::open(path().toStdString(), xbase::OpenMode::Exclusive, this->options());
        if (!table)
            return false;
        xbase::Table& t = **table;
        for (const TaskSpec& task : tasks) {
            bool ok =
                t.appendBlank().ok() && t.replace(TaskField::DATE, task.date).ok() &&
                t.replace(TaskField::TIME, task.time).ok() && t.replace(TaskField::DESCRIPT, task.descript).ok() &&
                t.replace(TaskField::KEYS, task.keys).ok() && t.replace(TaskField::PRIORITY, task.priority).ok() &&
                t.replaceLogical(TaskField::DONE, task.done).ok() &&
                (task.note.empty() || t.replace(TaskField::NOTE, task.note).ok()) && t.post().ok();
            if (!ok)
                return false;
        }
        return t.close().ok() && open();
    }

    // A generated table of count tasks, opened shared.
    bool generate(std::uint32_t count)
    {
        TaskGenerator::Options options;
        return m_dir.isValid() && TaskGenerator::createTable(path().toStdString(), count, options).ok() && open();
    }

    bool open() { return m_table.open(path(), false, options()).ok(); }

    QString path() const { return m_dir.filePath(QStringLiteral("QVTSK.DBF")); }
    TodoTable& table() { return m_table; }
    xbase::Table& engine() { return m_table.engine(); }

    static xbase::TableOptions options()
    {
        xbase::TableOptions options;
        options.sync = false;
        return options;
    }

private:
    QTemporaryDir m_dir;
    TodoTable m_table;
};

} // namespace quorvo
