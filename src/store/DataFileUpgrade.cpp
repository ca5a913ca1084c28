#include "store/DataFileUpgrade.h"

#include "store/Messages.h"
#include "store/PadNoteText.h"
#include "store/TaskFiles.h"
#include "store/TaskIndexTags.h"
#include "store/TaskRecord.h"

#include <QElapsedTimer>

namespace quorvo {

namespace {

xbase::FileSystem& fileSystemOf(const xbase::TableOptions& options)
{
    return options.fileSystem ? *options.fileSystem : xbase::diskFileSystem();
}

// A note as a multi-line text box gives it back: every line break a CR LF pair, then the length rule.
// Latin-1 maps each byte to one character and back, so the Windows-1252 bytes pass through unchanged.
std::string convertedNote(const std::string& stored)
{
    QString text = QString::fromLatin1(stored.data(), static_cast<qsizetype>(stored.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return PadNoteText(text).toLatin1().toStdString();
}

// A tag that failed to build would stay missing: the index file exists, so no later open builds it.
bool hasEveryTag(const xbase::Table& table)
{
    for (const TaskIndexTag& tag : kTaskIndexTags)
        if (table.tagOrder(tag.name) == 0)
            return false;
    return true;
}

// The status panel is painted for each text; at a hundred thousand tasks that alone would take seconds, so
// the count is shown at most every this many milliseconds, and always for the first and the last task.
constexpr qint64 kCountInterval = 50;

} // namespace

DataFileUpgrade::DataFileUpgrade(TaskFiles& files, TodoTable& todoTable, QString programDir)
    : m_files(files), m_todoTable(todoTable), m_programDir(std::move(programDir))
{}

void DataFileUpgrade::status(const QString& text) const
{
    if (statusText)
        statusText(text);
}

void DataFileUpgrade::letMessagesThrough() const
{
    if (processMessages)
        processMessages();
}

void DataFileUpgrade::fail(const QString& message)
{
    ShowInfo(message);
}

bool DataFileUpgrade::OpenBackupTable()
{
    (void)m_modTable.close();
    const QString backup = path("QVBAK.DBF");
    if (!fileSystemOf(m_files.tableOptions).exists(backup.toStdString()))
        return false;
    xbase::TableOptions options = m_files.tableOptions;
    options.openIndex = false;
    return m_modTable.open(backup, true, options).ok();
}

bool DataFileUpgrade::UpgradeDataFiles()
{
    status(QStringLiteral("Backing up old TODO Files..."));
    letMessagesThrough();
    if (suspendGrid)
        suspendGrid(true);
    (void)m_todoTable.close();
    (void)m_modTable.close();

    bool result = false;
    if (moveOldFilesAside()) {
        status(QStringLiteral("Creating new style TODO Files..."));
        if (!m_files.CreateTaskTable()) {
            fail(QStringLiteral("Unable to create new QVTSK.* files"));
        } else if (!m_files.OpenTaskTable(true) || !hasEveryTag(m_todoTable.engine())) {
            fail(QStringLiteral("Unable to open new QVTSK.* files"));
        } else if (!m_todoTable.engine().setOrder(0).ok() || !OpenBackupTable()) {
            fail(QStringLiteral("Unable to append records from old QVTSK.* files"));
        } else {
            result = appendOldTasks();
        }
        // Closing commits what the tables still hold; a table that cannot be closed cleanly is not trusted.
        const bool closed = m_todoTable.close().ok();
        (void)m_modTable.close();
        if (result && !closed) {
            fail(QStringLiteral("Unknown error while appending records from old QVTSK.* files"));
            result = false;
        }
        if (!result)
            restoreOldFiles();
    }

    if (suspendGrid)
        suspendGrid(false);
    (void)m_todoTable.close();
    (void)m_modTable.close();
    return result;
}

bool DataFileUpgrade::moveOldFilesAside()
{
    xbase::FileSystem& fs = fileSystemOf(m_files.tableOptions);
    const std::string table = path("QVTSK.DBF").toStdString();
    const std::string memo = path("QVTSK.FPT").toStdString();
    const std::string backupTable = path("QVBAK.DBF").toStdString();
    const std::string backupMemo = path("QVBAK.FPT").toStdString();
    const QString unableToRename = QStringLiteral("Unable to rename old QVTSK.* files");

    // The old files are used exclusively: renaming them under another program would leave it writing
    // to the backups. Opening them exclusively also rolls back and removes a journal a writer may have
    // left, which would otherwise be applied to the new table of the same name.
    {
        xbase::TableOptions options = m_files.tableOptions;
        options.openIndex = false;
        auto old = xbase::Table::open(table, xbase::OpenMode::Exclusive, options);
        if (!old || !(*old)->close().ok()) {
            fail(unableToRename);
            return false;
        }
    }
    // The renames replace earlier backups in one step each, so those are kept until new ones take
    // their place.
    (void)fs.remove(path("QVTSK.CDX").toStdString());
    if (!fs.rename(memo, backupMemo)) {
        fail(unableToRename);
        return false;
    }
    letMessagesThrough();
    if (!fs.rename(table, backupTable)) {
        // The old memo file goes back beside its table, so the tasks stay whole under their own names.
        (void)fs.rename(backupMemo, memo);
        fail(unableToRename);
        return false;
    }
    if (!fs.exists(backupTable) || !fs.exists(backupMemo)) {
        fail(unableToRename);
        restoreOldFiles();
        return false;
    }
    return true;
}

bool DataFileUpgrade::appendOldTasks()
{
    status(QStringLiteral("Appending from old style TODO Files..."));
    xbase::Table& source = m_modTable.engine();
    xbase::Table& target = m_todoTable.engine();
    const int date = source.fieldNumber("DATE");
    const int time = source.fieldNumber("TIME");
    const int descript = source.fieldNumber("DESCRIPT");
    const int note = source.fieldNumber("NOTE");
    const int done = source.fieldNumber("DONE");
    const int keys = source.fieldNumber("KEYS");

    auto copyRecord = [&]() -> xbase::Status {
        QV_TRY(target.appendBlank());
        QV_TRY(target.replace(TaskField::PRIORITY, "B"));
        QV_TRY(target.replace(TaskField::DATE, source.rawField(date)));
        QV_TRY(target.replace(TaskField::TIME, source.rawField(time)));
        QV_TRY(target.replace(TaskField::DESCRIPT, source.rawField(descript)));
        QV_TRY(target.replaceLogical(TaskField::DONE, source.getLogical(done)));
        QV_TRY(target.replace(TaskField::KEYS, source.rawField(keys)));
        auto text = source.getMemo(note);
        if (!text)
            return text.error();
        if (!text->empty())
            QV_TRY(target.replace(TaskField::NOTE, convertedNote(*text)));
        return target.post();
    };

    QElapsedTimer shown;
    shown.start();
    std::uint32_t count = 0;
    xbase::Status copied = target.beginBatch();
    if (copied)
        copied = source.goTop();
    while (copied && !source.eof()) {
        copied = copyRecord();
        if (copied)
            copied = source.skip();
        if (!copied)
            break;
        ++count;
        if (count == 1 || source.eof() || shown.elapsed() >= kCountInterval) {
            status(QStringLiteral("Appended %1 old TODO records...").arg(count));
            letMessagesThrough();
            shown.restart();
        }
    }
    if (copied)
        copied = target.commitBatch();
    if (!copied) {
        target.cancel();
        fail(QStringLiteral("Unknown error while appending records from old QVTSK.* files"));
        return false;
    }
    return true;
}

void DataFileUpgrade::restoreOldFiles()
{
    (void)m_todoTable.close();
    (void)m_modTable.close();
    xbase::FileSystem& fs = fileSystemOf(m_files.tableOptions);
    const std::string table = path("QVTSK.DBF").toStdString();
    const std::string backupTable = path("QVBAK.DBF").toStdString();
    const std::string backupMemo = path("QVBAK.FPT").toStdString();
    if (!fs.exists(backupTable) || !fs.exists(backupMemo))
        return;
    // A journal of the new table would be rolled back onto the old files at their next open, and the new
    // table goes before the old memo file returns, so the two never meet. Each step stops the restore
    // when it fails: the old tasks are then still whole under the backup names.
    const std::string journal = path("QVTSK.JNL").toStdString();
    if (fs.exists(journal) && !fs.remove(journal))
        return;
    (void)fs.remove(path("QVTSK.CDX").toStdString());
    if (fs.exists(table) && !fs.remove(table))
        return;
    if (!fs.rename(backupMemo, path("QVTSK.FPT").toStdString()))
        return;
    (void)fs.rename(backupTable, table);
}

} // namespace quorvo
