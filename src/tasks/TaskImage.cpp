#include "tasks/TaskImage.h"

#include "store/xbase/Table.h"

#include <string_view>

namespace quorvo {

namespace {

bool isMemo(const xbase::Table& table, int number)
{
    return table.field(number).type == 'M';
}

// The record's bytes without the memo pointers: what a comparison of a change with notes looks at.
bool sameFields(const xbase::Table& table, std::string_view a, std::string_view b, bool skipMemos)
{
    if (a.size() != b.size())
        return false;
    if (!skipMemos)
        return a == b;
    if (a.empty() || a[0] != b[0])
        return false;
    for (int number = 1; number <= table.fieldCount(); ++number) {
        const xbase::FieldInfo& f = table.field(number);
        if (isMemo(table, number) || f.offset + f.width > a.size())
            continue;
        if (a.substr(f.offset, f.width) != b.substr(f.offset, f.width))
            return false;
    }
    return true;
}

} // namespace

TaskImage TaskImage::flagged(bool deleted) const
{
    TaskImage image = *this;
    if (!image.record.empty())
        image.record[0] = deleted ? '*' : ' ';
    return image;
}

xbase::Result<TaskImage> TaskImage::capture(xbase::Table& table, std::uint32_t recno, bool withNote)
{
    QV_TRY(table.go(recno));
    if (table.eof())
        return xbase::makeError(xbase::ErrorCode::BadState, "the task is no longer in the task list");
    TaskImage image;
    image.recno = recno;
    image.record = std::string(table.record());
    if (withNote) {
        std::string note;
        for (int number = 1; number <= table.fieldCount(); ++number) {
            if (!isMemo(table, number))
                continue;
            auto text = table.getMemo(number);
            if (!text)
                return text.error();
            note = std::move(*text);
        }
        image.note = std::move(note);
    }
    return image;
}

xbase::Result<std::vector<TaskImage>> TaskImage::captureMany(xbase::Table& table,
                                                             const std::vector<std::uint32_t>& recnos)
{
    std::vector<TaskImage> images;
    images.reserve(recnos.size());
    QV_TRY(table.post());
    std::size_t next = 0;
    QV_TRY(table.scan([&](std::uint32_t recno, std::string_view record) {
        if (next < recnos.size() && recnos[next] == recno) {
            images.push_back({recno, std::string(record), std::nullopt});
            ++next;
        }
        return next < recnos.size();
    }));
    if (images.size() != recnos.size())
        return xbase::makeError(xbase::ErrorCode::BadState, "a task is no longer in the task list");
    return images;
}

xbase::Result<bool> TaskImage::heldBy(xbase::Table& table) const
{
    if (table.eof() || table.recNo() != recno)
        return false;
    if (!sameFields(table, table.record(), record, note.has_value()))
        return false;
    if (!note)
        return true;
    for (int number = 1; number <= table.fieldCount(); ++number) {
        if (!isMemo(table, number))
            continue;
        auto text = table.getMemo(number);
        if (!text)
            return text.error();
        if (*text != *note)
            return false;
    }
    return true;
}

xbase::Status TaskImage::writeTo(xbase::Table& table) const
{
    // A copy: the writes below change the record the engine holds.
    const std::string current(table.record());
    if (current.size() != record.size())
        return xbase::makeError(xbase::ErrorCode::BadState, "the task does not have the table's record length");
    const std::string_view wanted(record);
    for (int number = 1; number <= table.fieldCount(); ++number) {
        const xbase::FieldInfo& f = table.field(number);
        if (isMemo(table, number)) {
            if (!note)
                continue;
            auto text = table.getMemo(number);
            if (!text)
                return text.error();
            if (*text != *note)
                QV_TRY(table.replace(number, *note));
            continue;
        }
        const std::string_view bytes = wanted.substr(f.offset, f.width);
        if (std::string_view(current).substr(f.offset, f.width) != bytes)
            QV_TRY(table.replace(number, bytes));
    }
    if (table.deleted() != deleted())
        QV_TRY(table.setDeleted(deleted()));
    return {};
}

} // namespace quorvo
