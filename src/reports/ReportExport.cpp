#include "reports/ReportExport.h"

#include "reports/ExportSink.h"
#include "reports/ExportWriter.h"
#include "reports/NoteLines.h"

#include <QSaveFile>

namespace quorvo {

ReportExport::ReportExport(xbase::Table& table, const DateFormats& formats)
    : m_table(table), m_formats(formats), m_font(NoteLines::reportFont())
{}

ReportExport::Outcome ReportExport::write(const QString& fileName, ExportWriter& writer, bool withNotes,
                                          const TaskWalk::Pump& pump)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};
    Outcome outcome = write(file, writer, withNotes, pump);
    if (!outcome.ok) {
        file.cancelWriting();
        return outcome;
    }
    if (!file.commit())
        return {false, file.errorString()};
    return outcome;
}

ReportExport::Outcome ReportExport::write(QIODevice& device, ExportWriter& writer, bool withNotes,
                                          const TaskWalk::Pump& pump)
{
    const NoteLines noteLines(m_font, writer.noteWrapWidth(m_font));
    ExportSink out(device);
    writer.head(out);
    TaskWalk walk(m_table, m_formats);
    const std::vector<std::string> none;
    const xbase::Status walked = walk.run(
        writer.walkForm(), withNotes,
        [&](const TaskWalk::Task& task) {
            if (withNotes && writer.wrapsNotes())
                writer.task(out, task, noteLines.lines(task.notes));
            else
                writer.task(out, task, none);
        },
        pump);
    if (!walked)
        return {false, QString::fromStdString(walked.error().message)};
    writer.tail(out);
    if (!out.flush())
        return {false, out.errorText()};
    return {};
}

} // namespace quorvo
