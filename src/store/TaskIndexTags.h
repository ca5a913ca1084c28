#pragma once

#include <array>

namespace quorvo {

// The five tags of the task table's structural index, in creation order: their order numbers 1 to 5
// are stored in the preferences, so names, order and expressions are fixed. Every tag leaves deleted
// tasks out. The condition is written "!Deleted()" rather than "not Deleted()": both mean the same here,
// but the other engines of the xBase family know only "!" and ".not.", and one condition they cannot
// compile makes them refuse the whole index. Tags of earlier files with "not Deleted()" still read.
struct TaskIndexTag
{
    const char* name;
    const char* key;
    const char* condition;
};

inline constexpr std::array<TaskIndexTag, 5> kTaskIndexTags{{
    {"DATETIME", "DATE+TIME", "!Deleted()"},
    {"DESCRIPT", "upper(DESCRIPT)", "!Deleted()"},
    {"DONE", "DONE", "!Deleted()"},
    {"KEYS", "upper(KEYS)", "!Deleted()"},
    {"PRIORITY", "upper(PRIORITY)+DATE+TIME", "!Deleted()"},
}};

} // namespace quorvo
