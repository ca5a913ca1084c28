#pragma once

#include "store/xbase/Error.h"
#include "store/xbase/ProgressFn.h"

#include <QString>

#include <functional>

namespace quorvo {

class TodoTable;

// Deletes the task table's structural index and builds the five tags again, after packing out the
// deleted tasks when asked. The table must be open exclusively. The query and the order in force
// before are in force again after; the order is kept by number, so it is DATETIME when the caller
// had selected it.
class IndexRebuild
{
public:
    using StepFn = std::function<void(const QString& step)>;

    // step names what runs ("Permanently removing deleted tasks", "Rebuilding indexes"); progress
    // gets the engine's reports, with packing() telling which kind.
    IndexRebuild(TodoTable& table, StepFn step, xbase::ProgressFn progress)
        : m_table(table), m_step(std::move(step)), m_progress(std::move(progress))
    {}

    xbase::Status run(bool packFirst);
    bool packing() const { return m_packing; }

private:
    TodoTable& m_table;
    StepFn m_step;
    xbase::ProgressFn m_progress;
    bool m_packing = false;
};

} // namespace quorvo
