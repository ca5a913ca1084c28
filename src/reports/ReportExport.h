#pragma once

#include "reports/TaskWalk.h"

#include <QFont>
#include <QString>

class QIODevice;

namespace quorvo {

class ExportWriter;

// Writes one export of the current view to a file: the walk feeds the writer, note lines are wrapped to the
// writer's width in the report font, and the file is replaced only when every byte has been written, so a
// failed export leaves any earlier file of that name exactly as it was.
class ReportExport
{
public:
    struct Outcome
    {
        bool ok = true;
        QString error; // the system's text for a failed write, or the engine's for a failed read
    };

    // Note lines are measured in the report font.
    ReportExport(xbase::Table& table, const DateFormats& formats);

    Outcome write(const QString& fileName, ExportWriter& writer, bool withNotes, const TaskWalk::Pump& pump = {});
    // The same into any device, for tests and for writing to a stream.
    Outcome write(QIODevice& device, ExportWriter& writer, bool withNotes, const TaskWalk::Pump& pump = {});

private:
    xbase::Table& m_table;
    const DateFormats& m_formats;
    QFont m_font;
};

} // namespace quorvo
