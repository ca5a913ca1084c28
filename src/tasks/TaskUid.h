#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace quorvo {

// The UID a task carries in iCalendar files: its record number together with a tag of the table file it lives
// in, "<record>-<tag>@quorvo". The record number is the one identity a task keeps through edits, sorting and
// filtering (the table has no key field of its own, and a UID made from the content would turn every edit
// into a new to-do on the calendar's side); it changes only when a pack removes deleted tasks before it. The
// tag keeps tasks of two task lists apart in one calendar and tells an import which UIDs came from its table.
class TaskUid
{
public:
    // Sixteen hexadecimal digits naming the table file, the same however its path is spelt.
    static QByteArray tableTag(const QString& tablePath);
    static QByteArray of(std::uint32_t recNo, const QByteArray& tableTag);
    // The record number of a UID made for the table of that tag; none for any other UID.
    static std::optional<std::uint32_t> recordOf(QByteArrayView uid, const QByteArray& tableTag);
};

} // namespace quorvo
