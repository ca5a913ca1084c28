#pragma once

#include "store/xbase/Error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvo {

namespace xbase {
class Table;
}

// One record as a change found or left it: its bytes, deleted flag first, and, for a change that may have
// touched them, its notes. Without notes the memo pointer stands for them: a deletion never moves it.
// With notes the pointer is left out of every comparison, since rewriting the same text may move it.
struct TaskImage
{
    std::uint32_t recno = 0;
    std::string record;
    std::optional<std::string> note;

    bool operator==(const TaskImage&) const = default;
    bool deleted() const { return !record.empty() && record[0] == '*'; }
    // The same task with its deleted flag set or cleared.
    TaskImage flagged(bool deleted) const;

    // Moves the table onto recno.
    static xbase::Result<TaskImage> capture(xbase::Table& table, std::uint32_t recno, bool withNote);
    // The images of many records without notes, in one read-ahead pass; recnos ascending.
    static xbase::Result<std::vector<TaskImage>> captureMany(xbase::Table& table,
                                                             const std::vector<std::uint32_t>& recnos);

    // Whether the table's current record holds what this image says (its notes read when the image has them).
    xbase::Result<bool> heldBy(xbase::Table& table) const;
    // Writes into the current record the fields that differ from the image, the deleted flag with them;
    // the caller posts.
    xbase::Status writeTo(xbase::Table& table) const;
};

} // namespace quorvo
