#pragma once

#include "store/xbase/Table.h"

#include <QString>

#include <functional>

namespace quorvo {

class TodoTable;

// Creates, opens and checks the task files in the program directory: QVTSK.DBF with its memo file and
// structural index. Every failure is reported to the user here (ShowInfo) and answered with false.
class TaskFiles
{
public:
    TaskFiles(TodoTable& table, QString programDir) : m_table(table), m_programDir(std::move(programDir)) {}

    QString tablePath() const { return m_programDir + QStringLiteral("QVTSK.DBF"); }
    QString indexPath() const { return m_programDir + QStringLiteral("QVTSK.CDX"); }

    // True when QVTSK.DBF was created (empty, without index) and now exists.
    bool CreateTaskTable();
    // Opens the table shared or exclusive, creating a missing table and building a missing or damaged
    // index first, and stands on the first task in DATETIME order.
    bool OpenTaskTable(bool exclusive);
    // The table has the first six task fields and no PRIORITY (names in any letter case).
    static bool IsOldStructure(const QString& path, const xbase::TableOptions& options = {});

    // Shows a progress text in the main window's status panel.
    std::function<void(const QString&)> statusText;
    // Shows the rebuild window over the open, exclusive table (packFirst: pack before building).
    std::function<void(bool packFirst)> runIndexRebuild;
    // Converts an old-structure table; true when every old task made it into the new one. Without it
    // such a table opens unchanged.
    std::function<bool()> upgradeOldStructure;
    // The file system and sync setting every open uses (tests).
    xbase::TableOptions tableOptions;

private:
    xbase::Status openGuarded(bool exclusive);
    void status(const QString& text) const;

    TodoTable& m_table;
    QString m_programDir;
};

} // namespace quorvo
