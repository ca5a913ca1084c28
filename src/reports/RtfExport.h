#pragma once

#include "reports/ExportWriter.h"

#include <QByteArray>

namespace quorvo {

// The list as a Rich Text Format document written from fixed pieces: a centred bold title and one table
// whose single row definition serves the bold header, a row per task and, with notes, a four-cell notes
// row under each task that has note lines. Backslashes and braces in user text are escaped; other bytes,
// those above 127 included, are written as stored.
class RtfExport final : public ExportWriter
{
public:
    static constexpr int kNoteWrapWidth = 288;

    explicit RtfExport(QByteArray title) : m_title(std::move(title)) {}

    int noteWrapWidth(const QFont&) const override { return kNoteWrapWidth; }
    void head(ExportSink& out) override;
    void task(ExportSink& out, const TaskWalk::Task& task, const std::vector<std::string>& notes) override;
    void tail(ExportSink& out) override;

private:
    QByteArray m_title;
};

} // namespace quorvo
