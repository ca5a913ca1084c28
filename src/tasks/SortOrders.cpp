#include "tasks/SortOrders.h"

#include "store/TodoTable.h"

#include <QByteArray>

#include <string>

namespace quorvo {

const std::array<SortOrders::SortOrder, SortOrders::kCount>& SortOrders::orders()
{
    static constexpr std::array<SortOrder, kCount> kOrders = {{
        {"Sort by Date+Time", "DATETIME", "mainmnuSortDateTime", "mnuSortDateTime"},
        {"Sort by Description", "DESCRIPT", "mainmnuSortDescription", "mnuSortDescription"},
        {"Sort by Priority", "PRIORITY", "mainmnuSortPriority", "mnuSortPriority"},
        {"Sort by Key Words", "KEYS", "mainmnuSortKeyWords", "mnuSortKeyWords"},
    }};
    return kOrders;
}

xbase::Status SortOrders::sortBy(TodoTable& table, std::string_view tag)
{
    if (!table.isOpen())
        return xbase::makeError(xbase::ErrorCode::BadState, "the task table is closed");
    xbase::Table& engine = table.engine();
    const int order = engine.tagOrder(tag);
    if (order == 0)
        return xbase::makeError(xbase::ErrorCode::CorruptIndex, "the index has no tag " + std::string(tag));
    QV_TRY(engine.setOrder(order));
    return engine.goTop();
}

int SortOrders::current(const TodoTable& table)
{
    if (!table.isOpen() || table.engine().order() == 0)
        return -1;
    const QByteArray tag = QByteArray::fromStdString(table.engine().tagName(table.engine().order())).toUpper();
    for (int i = 0; i < kCount; ++i) {
        if (tag == orders()[static_cast<std::size_t>(i)].tag)
            return i;
    }
    return -1;
}

} // namespace quorvo
