#include "store/IndexRebuild.h"

#include "store/TaskIndexTags.h"
#include "store/TodoTable.h"
#include "store/xbase/SiblingPath.h"

#include <QFile>

namespace quorvo {

xbase::Status IndexRebuild::run(bool packFirst)
{
    xbase::Table& table = m_table.engine();
    if (!table.exclusive())
        return xbase::makeError(xbase::ErrorCode::BadState, "rebuilding the indexes needs the table open exclusively");
    const std::string query = table.query();
    const int order = table.order();
    QV_TRY(table.setQuery(""));

    // A failed delete is no reason to stop: the tags replace whatever the old file held.
    QV_TRY(table.closeIndexes());
    QFile::remove(QString::fromStdString(xbase::siblingPath(table.path(), ".CDX")));

    if (packFirst) {
        if (m_step)
            m_step(QStringLiteral("Permanently removing deleted tasks"));
        m_packing = true;
        if (m_progress)
            m_progress(0);
        xbase::Status packed = table.pack(m_progress);
        m_packing = false;
        QV_TRY(packed);
    }
    if (m_step)
        m_step(QStringLiteral("Rebuilding indexes"));
    for (const TaskIndexTag& tag : kTaskIndexTags)
        QV_TRY(table.createTag(tag.name, tag.key, tag.condition, m_progress));
    QV_TRY(table.setOrder(table.tagOrder("DATETIME")));
    QV_TRY(table.setQuery(query));
    if (order <= table.tagCount())
        QV_TRY(table.setOrder(order));
    return table.goTop();
}

} // namespace quorvo
