#include "store/TaskFiles.h"

#include "store/Messages.h"
#include "store/TaskRecord.h"
#include "store/TodoTable.h"

#include <QFile>

namespace quorvo {

namespace {

xbase::FileSystem& fileSystemOf(const xbase::TableOptions& options)
{
    return options.fileSystem ? *options.fileSystem : xbase::diskFileSystem();
}

} // namespace

void TaskFiles::status(const QString& text) const
{
    if (statusText)
        statusText(text);
}

bool TaskFiles::CreateTaskTable()
{
    const auto fields = taskTableFields();
    const std::string path = tablePath().toStdString();
    return xbase::Table::create(path, fields, tableOptions).ok() && fileSystemOf(tableOptions).exists(path);
}

bool TaskFiles::IsOldStructure(const QString& path, const xbase::TableOptions& options)
{
    xbase::TableOptions plain = options;
    plain.openIndex = false;
    auto table = xbase::Table::open(path.toStdString(), xbase::OpenMode::Shared, plain);
    if (!table)
        return false;
    for (const char* name : {"DATE", "TIME", "DESCRIPT", "NOTE", "DONE", "KEYS"})
        if ((*table)->fieldNumber(name) == 0)
            return false;
    return (*table)->fieldNumber("PRIORITY") == 0;
}

bool TaskFiles::OpenTaskTable(bool exclusive)
{
    (void)m_table.close();
    if (!fileSystemOf(tableOptions).exists(tablePath().toStdString()) && !CreateTaskTable()) {
        ShowInfo(QStringLiteral("Unable to open or create QVTSK.DBF"));
        return false;
    }
    bool oldTableLeft = false;
    if (upgradeOldStructure && IsOldStructure(tablePath(), tableOptions)) {
        ShowInfo(QStringLiteral("This version of QVO uses a new file structure\rwith the new PRIORITY field.\rYour "
                                "existing data files are from an older version.\r\rThe program will now attempt to "
                                "update the\rfiles to the new version. The old files\rwill be saved as QVBAK.DBF "
                                "and QVBAK.FPT"));
        const bool upgraded = upgradeOldStructure();
        ShowInfo(upgraded ? QStringLiteral("File update was successful")
                          : QStringLiteral("There was an error updating the files."));
        // A failed upgrade puts the old files back; they fail to open here rather than show a list that
        // lacks PRIORITY, and the next start tries the upgrade again.
        oldTableLeft = !upgraded && IsOldStructure(tablePath(), tableOptions);
    }
    status(QStringLiteral("Opening files..."));
    const xbase::Status opened =
        oldTableLeft ? xbase::Status(xbase::makeError(xbase::ErrorCode::BadState,
                                                      "the files still have the old structure"))
                     : openGuarded(exclusive);
    if (opened)
        return true;
    (void)m_table.close();
    if (exclusive)
        ShowInfo(QStringLiteral("Unable to open the Todo file (QVTSK.DBF) for reindexing.\rThe file may be in use by "
                                "another user"));
    else
        // Without the engine's reason a damaged table and one held by another program look alike.
        ShowInfo(QStringLiteral("Unable to open the Todo file: QVTSK.DBF\r") +
                 QString::fromLocal8Bit(opened.error().message));
    return false;
}

xbase::Status TaskFiles::openGuarded(bool exclusive)
{
    xbase::Status opened = m_table.open(tablePath(), exclusive, tableOptions);
    const bool damagedIndex = !opened && opened.error().code == xbase::ErrorCode::CorruptIndex;
    if (!opened && !damagedIndex)
        return opened;
    const bool indexMissing = !fileSystemOf(tableOptions).exists(indexPath().toStdString());
    if (indexMissing || damagedIndex) {
        // A missing index is built; so is a damaged one, which is set aside unread.
        status(QStringLiteral("Creating indexes..."));
        xbase::TableOptions withoutIndex = tableOptions;
        withoutIndex.openIndex = false;
        QV_TRY(m_table.open(tablePath(), true, withoutIndex));
        if (runIndexRebuild)
            runIndexRebuild(false);
        QV_TRY(m_table.close());
        QV_TRY(m_table.open(tablePath(), exclusive, tableOptions));
    }
    xbase::Table& table = m_table.engine();
    const int order = table.tagOrder("DATETIME");
    if (order == 0)
        return xbase::makeError(xbase::ErrorCode::CorruptIndex, "the index has no tag DATETIME");
    QV_TRY(table.setOrder(order));
    return table.goTop();
}

} // namespace quorvo
