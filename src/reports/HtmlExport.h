#pragma once

#include "reports/ExportWriter.h"

#include <QByteArray>

namespace quorvo {

// The list as a small HTML 3.2 page: title, centred heading, a rule and one bordered table, a row per task
// and, with notes, a notes row under each task that has note lines. Markup is fixed; &, < and > in user
// text become character references; no character set is declared and text keeps its stored bytes.
class HtmlExport final : public ExportWriter
{
public:
    static constexpr int kNoteWrapWidth = 384;

    // colorText: six hexadecimal digits RRGGBB, written as given.
    HtmlExport(QByteArray title, QByteArray colorText) : m_title(std::move(title)), m_colorText(std::move(colorText)) {}

    TaskWalk::Form walkForm() const override { return TaskWalk::Form::AtLeastOne; }
    int noteWrapWidth(const QFont&) const override { return kNoteWrapWidth; }
    void head(ExportSink& out) override;
    void task(ExportSink& out, const TaskWalk::Task& task, const std::vector<std::string>& notes) override;
    void tail(ExportSink& out) override;

private:
    QByteArray m_title;
    QByteArray m_colorText;
};

} // namespace quorvo
