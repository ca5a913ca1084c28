#include "reports/TextExport.h"

#include "reports/ExportSink.h"
#include "reports/NoteLines.h"

namespace quorvo {

namespace {

// Left-aligned in a column of the given width: padded with spaces, or cut after the width.
void fitted(ExportSink& out, std::string_view text, std::size_t width)
{
    if (text.size() >= width) {
        out << text.substr(0, width);
        return;
    }
    out << text;
    for (std::size_t i = text.size(); i < width; ++i)
        out << ' ';
}

std::string_view view(const QByteArray& bytes)
{
    return {bytes.data(), static_cast<std::size_t>(bytes.size())};
}

} // namespace

int TextExport::noteWrapWidth(const QFont& font) const
{
    return NoteLines::widthOf34Digits(font);
}

void TextExport::head(ExportSink& out)
{
    (out << m_title).endLine();
    out.endLine();
    out.endLine();
    // The header's first and third columns are one wider and one narrower than the task lines' own.
    fitted(out, "Task", 51);
    fitted(out, "Date", 12);
    fitted(out, "Time", 8);
    fitted(out, "Priority", 9);
    fitted(out, "Done", 4);
    out.endLine();
    (out << std::string(kLineWidth, '=')).endLine();
}

void TextExport::task(ExportSink& out, const TaskWalk::Task& task, const std::vector<std::string>& notes)
{
    fitted(out, task.description, 50);
    fitted(out, view(task.date), 12);
    fitted(out, view(task.time), 9);
    fitted(out, view(task.priority), 9);
    fitted(out, view(task.done), 4);
    out.endLine();
    for (const std::string& line : notes)
        (out << std::string_view("   ") << line).endLine();
}

} // namespace quorvo
