#pragma once

#include "store/TaskRecord.h"
#include "store/xbase/DbfHeader.h"

#include <vector>

namespace quorvo::xbase::test {

// The seven fields of a task record as a table is created from them.
inline std::vector<FieldInfo> taskFields()
{
    const auto fields = taskTableFields();
    return {fields.begin(), fields.end()};
}

// The same fields with their offsets in the record, for code that reads record buffers directly.
inline std::vector<FieldInfo> laidOutTaskFields()
{
    return DbfHeader::forNewTable(taskFields(), {}).value().fields();
}

} // namespace quorvo::xbase::test
