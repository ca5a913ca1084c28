#pragma once

#include "store/TodoTable.h"

#include <QString>

#include <functional>

namespace quorvo {

class TaskFiles;

// Converts task files of the older structure (no PRIORITY) in place: the old table and memo file become
// QVBAK.DBF and QVBAK.FPT, a new table is created and indexed, and every old task is appended to it with
// medium priority, in one journal transaction.
//
// The user's table is never left half converted: when anything fails after the old files were moved
// aside, the new files are removed and the old ones put back under their own names, so every task is
// where it was and the next start tries again.
class DataFileUpgrade
{
public:
    // files creates and opens the new table through todoTable; both use files.tableOptions.
    DataFileUpgrade(TaskFiles& files, TodoTable& todoTable, QString programDir);

    // True when every old task was appended. Shows its own message for each failure.
    bool UpgradeDataFiles();
    // Opens QVBAK.DBF exclusively as the backup table; false when it is missing or cannot be opened.
    bool OpenBackupTable();
    TodoTable& modTable() { return m_modTable; }

    // Shows a progress text in the main window's status panel and paints it.
    std::function<void(const QString&)> statusText;
    // Lets the window system process what is pending.
    std::function<void()> processMessages;
    // Suspends (true) and resumes the grid's updates from the task table.
    std::function<void(bool)> suspendGrid;

private:
    bool moveOldFilesAside();
    bool appendOldTasks();
    // Removes the new files and renames the backups to the task names again.
    void restoreOldFiles();
    void fail(const QString& message);
    void status(const QString& text) const;
    void letMessagesThrough() const;
    QString path(const char* name) const { return m_programDir + QLatin1String(name); }

    TaskFiles& m_files;
    TodoTable& m_todoTable;
    TodoTable m_modTable;
    QString m_programDir;
};

} // namespace quorvo
