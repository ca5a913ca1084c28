#pragma once

#include "store/xbase/FieldInfo.h"

#include <array>

namespace quorvo {

// The task record: field numbers in file order and the definitions a new task table is made of.
namespace TaskField {
constexpr int DATE = 1;     // "yyyymmdd" or blank
constexpr int TIME = 2;     // "hh:nn" or blank
constexpr int DESCRIPT = 3; // one line, 50 bytes
constexpr int NOTE = 4;     // memo
constexpr int DONE = 5;     // logical
constexpr int KEYS = 6;     // blank-separated key words
constexpr int PRIORITY = 7; // "A", "B", "C" in any letter case, or anything else for none
} // namespace TaskField

inline std::array<xbase::FieldInfo, 7> taskTableFields()
{
    return {{{"DATE", 'C', 0, 8, 0},
             {"TIME", 'C', 0, 5, 0},
             {"DESCRIPT", 'C', 0, 50, 0},
             {"NOTE", 'M', 0, 10, 0},
             {"DONE", 'L', 0, 1, 0},
             {"KEYS", 'C', 0, 60, 0},
             {"PRIORITY", 'C', 0, 1, 0}}};
}

} // namespace quorvo
