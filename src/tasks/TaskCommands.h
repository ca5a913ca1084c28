#pragma once

#include "store/xbase/Error.h"
#include "tasks/TaskValues.h"

#include <QString>

#include <functional>
#include <string_view>

namespace quorvo {

class DateFormats;
class DateTime;
class KeyWordList;
class TodoTable;

// What the single-task commands do to the task table: each acts on the table's current task and changes
// it in one post (one journal transaction), so a failure leaves the task as it was stored, and an added
// task either exists whole or not at all. Messages are the caller's: the commands return the engine's
// error.
//
// Key words of every task written go into the key word list, which only grows while the program runs.
class TaskCommands
{
public:
    // Both must outlive the commands.
    TaskCommands(TodoTable& table, KeyWordList& keyWords);

    // The current task's fields (its note read from the memo file).
    xbase::Result<TaskValues> current();

    // Writes every field of the current task.
    xbase::Status edit(const TaskValues& values);
    // Appends a task with these fields; it becomes the current task.
    xbase::Status add(const TaskValues& values);
    // Appends a copy of the current task, not done, and stands on it. The priority is copied too.
    xbase::Status cloneCurrent();
    // Deletes the current task and stands on the task that followed it in the view (or at the view's end).
    // When the deletion fails the table stays on the task.
    xbase::Status deleteCurrent();
    // Flips DONE. The calculated fields are suspended while the task is written and work again afterwards,
    // whatever happened.
    xbase::Status toggleDone();

    // The column menus. A date or time is in its stored form, empty for none.
    xbase::Status setDate(const QString& stored);
    xbase::Status setTime(const QString& stored);
    xbase::Status setPriority(const QString& code);
    // The key word menu: the word is appended after a blank (even when the task has it already); the field
    // cuts the text to its width.
    xbase::Status appendKeyWord(const QString& word);
    xbase::Status clearKeys();

    // The key word list afresh from every task of the current order, in that order. keepAlive is called
    // every few hundred tasks, so a window can stay painted. Leaves the table at its end.
    xbase::Status buildKeyWordList(const std::function<void()>& keepAlive = {});

    // Where the date picker of the Date column starts: the task's date when it is one, else today.
    DateTime datePickerStart(const DateTime& today) const;
    // Where the time picker of the Time column starts: the task's time when it reads as one under the
    // working settings, else now.
    DateTime timePickerStart(const DateFormats& formats, const DateTime& now) const;
    // The picked time as the Time column stores it: through the working settings' "t" form and back, so
    // seconds are dropped; empty when that does not read back as a time.
    static QString storedPickedTime(const DateTime& picked, const DateFormats& formats);

private:
    // Sets fields of the current task and posts; on any failure nothing is kept.
    template <typename SetFields> xbase::Status change(SetFields&& setFields);
    xbase::Status writeAll(const TaskValues& values);
    void addKeyWordsOfCurrent();
    // The words of a KEYS field as stored.
    void addKeyWords(std::string_view stored);

    TodoTable& m_table;
    KeyWordList& m_keyWords;
};

} // namespace quorvo
