#pragma once

#include "reports/TaskWalk.h"

#include <QFont>

#include <string>
#include <vector>

namespace quorvo {

class ExportSink;

// One export format: the head, one task at a time as the walk delivers them, and the end. Writers get the
// title as the file's bytes and write every user text through their own escaping.
class ExportWriter
{
public:
    virtual ~ExportWriter() = default;

    virtual TaskWalk::Form walkForm() const { return TaskWalk::Form::Exact; }
    // False for a writer that takes the notes whole from the task rather than as wrapped lines.
    virtual bool wrapsNotes() const { return true; }
    // The width, in pixels of the report font, that note lines are wrapped to.
    virtual int noteWrapWidth(const QFont& font) const = 0;

    virtual void head(ExportSink& out) = 0;
    // notes is empty when the task has no note lines or notes are not copied.
    virtual void task(ExportSink& out, const TaskWalk::Task& task, const std::vector<std::string>& notes) = 0;
    virtual void tail(ExportSink& out) = 0;
};

} // namespace quorvo
