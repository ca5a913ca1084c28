#include "tasks/TaskEditorFields.h"

#include "datetime/EditorConversions.h"
#include "store/PadNoteText.h"

namespace quorvo {

TaskEditorFields TaskEditorFields::forEdit(const TaskValues& task, const DateFormats& formats)
{
    TaskEditorFields fields;
    // Exactly the upper-case letters: a lower-case one shows the editor's default.
    if (task.priority == QLatin1String("A"))
        fields.priority = Priority::High;
    else if (task.priority == QLatin1String("C"))
        fields.priority = Priority::Low;
    fields.taskLabel = QStringLiteral("Editing Task");
    fields.isDone = task.done;
    fields.task = task.descript;
    fields.keyWords = task.keys;
    fields.notes = task.note;
    fields.dateEdit = EditorConversions::dateToEditor(formats, task.date);
    fields.timeEdit = EditorConversions::timeToEditor(formats, task.time);
    return fields;
}

TaskEditorFields TaskEditorFields::forAdd()
{
    TaskEditorFields fields;
    fields.taskLabel = QStringLiteral("Adding Task");
    fields.task = QStringLiteral("{Task description}");
    return fields;
}

QString TaskEditorFields::priorityCode(Priority priority)
{
    switch (priority) {
    case Priority::High:
        return QStringLiteral("A");
    case Priority::Low:
        return QStringLiteral("C");
    case Priority::Medium:
        break;
    }
    return QStringLiteral("B");
}

TaskValues TaskEditorFields::collect(const DateFormats& formats) const
{
    TaskValues values;
    values.descript = task;
    values.keys = keyWords;
    values.note = PadNoteText(notes);
    values.date = EditorConversions::dateFromEditor(formats, dateEdit);
    values.time = EditorConversions::timeFromEditor(formats, timeEdit);
    values.priority = priorityCode(priority);
    values.done = isDone;
    return values;
}

} // namespace quorvo
