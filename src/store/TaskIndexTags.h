#pragma once

#include <array>

namespace quorvo {

// The five tags of the task table's structural index, in creation order: their order numbers 1 to 5
// are stored in the preferences, so names, order and expressions are fixed. Every tag leaves deleted
// tasks out.
struct TaskIndexTag
{
    const char* name;
    const char* key;
    const char* condition;
};

inline constexpr std::array<TaskIndexTag, 5> kTaskIndexTags{{
    {"DATETIME", "DATE+TIME", "not Deleted()"},
    {"DESCRIPT", "upper(DESCRIPT)", "not Deleted()"},
    {"DONE", "DONE", "not Deleted()"},
    {"KEYS", "upper(KEYS)", "not Deleted()"},
    {"PRIORITY", "upper(PRIORITY)+DATE+TIME", "not Deleted()"},
}};

} // namespace quorvo
