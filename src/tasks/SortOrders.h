#pragma once

#include "store/xbase/Error.h"

#include <array>
#include <string_view>

namespace quorvo {

class TodoTable;

// The four orders the user can sort the task list by, each one index tag, in the order the menus list them.
class SortOrders
{
public:
    struct SortOrder
    {
        const char* caption;
        const char* tag;
        const char* mainMenuItem;
        const char* buttonMenuItem;
    };

    static constexpr int kCount = 4;
    static const std::array<SortOrder, kCount>& orders();

    // Selects the tag's order and stands on the first task of the view in it.
    static xbase::Status sortBy(TodoTable& table, std::string_view tag);
    // Which of orders() the table's current order is; -1 for record order, the DONE tag or a closed table.
    static int current(const TodoTable& table);
};

} // namespace quorvo
