#include "reports/HtmlExport.h"

#include "reports/ExportSink.h"

namespace quorvo {

namespace {

void escaped(ExportSink& out, std::string_view text)
{
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* reference = nullptr;
        switch (text[i]) {
        case '&':
            reference = "&amp;";
            break;
        case '<':
            reference = "&lt;";
            break;
        case '>':
            reference = "&gt;";
            break;
        default:
            continue;
        }
        out << text.substr(from, i - from) << std::string_view(reference);
        from = i + 1;
    }
    out << text.substr(from);
}

std::string_view view(const QByteArray& bytes)
{
    return {bytes.data(), static_cast<std::size_t>(bytes.size())};
}

// An empty cell still gets content, so browsers draw its border.
void cell(ExportSink& out, std::string_view openTag, std::string_view text)
{
    out << openTag;
    if (text.empty())
        out << std::string_view("</BR>");
    else
        escaped(out, text);
    out << std::string_view("</TD>");
}

} // namespace

void HtmlExport::head(ExportSink& out)
{
    out << std::string_view("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">");
    out.endLine() << std::string_view("<HTML>");
    out.endLine() << std::string_view("<HEAD>");
    out.endLine() << std::string_view("<TITLE>");
    escaped(out, view(m_title));
    out << std::string_view("</TITLE>");
    out.endLine() << std::string_view("</HEAD>");
    out.endLine() << std::string_view("<BODY BGCOLOR=#") << m_colorText << '>';
    out.endLine() << std::string_view("<h1 ALIGN=\"CENTER\">");
    escaped(out, view(m_title));
    out << std::string_view("</h1>");
    out.endLine() << std::string_view("<hr>");
    out.endLine() << std::string_view("<TABLE BORDER WIDTH=100%>");
    out.endLine() << std::string_view("<TR>");
    out.endLine() << std::string_view("<TH>Task<TH>Date<TH>Time<TH>Priority<TH>Done?");
    out.endLine();
}

void HtmlExport::task(ExportSink& out, const TaskWalk::Task& task, const std::vector<std::string>& notes)
{
    out << std::string_view("<TR>");
    out.endLine();
    cell(out, "<TD WRAP>", task.description);
    cell(out, "<TD NOWRAP>", view(task.date));
    cell(out, "<TD NOWRAP>", view(task.time));
    cell(out, "<TD NOWRAP>", view(task.priority));
    cell(out, "<TD NOWRAP>", view(task.done));
    out << std::string_view("</TR>");
    out.endLine();
    if (notes.empty())
        return;
    out << std::string_view("<TR>");
    out.endLine() << std::string_view("<TD WRAP><FONT SIZE=-1><I><BLOCKQUOTE>");
    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (i > 0)
            out << std::string_view("<BR>");
        escaped(out, notes[i]);
        out << ' ';
        out.endLine();
    }
    out << std::string_view("</I><FONT SIZE=+1></BLOCKQUOTE></TD>");
    for (int filler = 0; filler < 3; ++filler)
        cell(out, "<TD NOWRAP>", {});
    out << std::string_view("</TR>");
    out.endLine();
}

void HtmlExport::tail(ExportSink& out)
{
    out << std::string_view("</TABLE>");
    out.endLine() << std::string_view("</BODY>");
    out.endLine() << std::string_view("</HTML>");
    out.endLine();
}

} // namespace quorvo
