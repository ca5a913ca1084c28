#pragma once

#include "reports/ExportWriter.h"

#include <QByteArray>

namespace quorvo {

// The list as fixed-width text: the title, two empty lines, the column header, a rule of 84 equals signs
// and one 84-column line per task, each text padded or cut to its column; with notes, each note line
// under its task, indented three spaces. Bytes are written as stored, with no escaping.
class TextExport final : public ExportWriter
{
public:
    static constexpr int kLineWidth = 84;

    explicit TextExport(QByteArray title) : m_title(std::move(title)) {}

    int noteWrapWidth(const QFont& font) const override;
    void head(ExportSink& out) override;
    void task(ExportSink& out, const TaskWalk::Task& task, const std::vector<std::string>& notes) override;
    void tail(ExportSink&) override {}

private:
    QByteArray m_title;
};

} // namespace quorvo
