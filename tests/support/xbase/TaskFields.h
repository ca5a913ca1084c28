#pragma once

#include "store/xbase/FieldInfo.h"

#include <vector>

namespace quorvo::xbase::test {

// The seven fields of a task record, as the engine tests lay them out.
inline std::vector<FieldInfo> taskFields()
{
    return {{"DATE", 'C', 0, 8, 0}, {"TIME", 'C', 0, 5, 0},  {"DESCRIPT", 'C', 0, 50, 0}, {"NOTE", 'M', 0, 10, 0},
            {"DONE", 'L', 0, 1, 0}, {"KEYS", 'C', 0, 60, 0}, {"PRIORITY", 'C', 0, 1, 0}};
}

} // namespace quorvo::xbase::test
