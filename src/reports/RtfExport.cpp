#include "reports/RtfExport.h"

#include "reports/ExportSink.h"

namespace quorvo {

namespace {

constexpr std::string_view kHead[] = {
    R"({\rtf1\ansi\deff0\deftab720)",
    R"({\fonttbl{\f0\fnil\charset0 Times New Roman;}})",
    R"({\colortbl)",
    R"(\red0\green0\blue0;\red0\green0\blue0;\red0\green0\blue255;)",
    R"(\red0\green255\blue255;\red0\green255\blue0;\red255\green0\blue255;)",
    R"(\red255\green0\blue0;\red255\green255\blue0;\red255\green255\blue255;)",
    R"(\red0\green0\blue128;\red0\green128\blue128;\red0\green128\blue0;)",
    R"(\red128\green0\blue128;\red128\green0\blue0;\red128\green128\blue0;)",
    R"(\red0\green0\blue0;})",
    R"(\margl1440\margr1440\margt1440\margb1440)",
    R"({\qc\plain\f0\fs28\cf1\b)",
};

constexpr std::string_view kTableHeader[] = {
    R"(\par\plain\fs20\ql\par)",
    R"({\pard\trowd\trgaph57\trleft0)",
    R"(\clbrdrt\brdrs\clbrdrb\brdrs\clbrdrl\brdrs\clbrdrr\brdrs\brdrw0\brdrcf0\cellx5100)",
    R"(\clbrdrt\brdrs\clbrdrb\brdrs\clbrdrl\brdrs\clbrdrr\brdrs\brdrw0\brdrcf0\cellx6600)",
    R"(\clbrdrt\brdrs\clbrdrb\brdrs\clbrdrl\brdrs\clbrdrr\brdrs\brdrw0\brdrcf0\cellx7630)",
    R"(\clbrdrt\brdrs\clbrdrb\brdrs\clbrdrl\brdrs\clbrdrr\brdrs\brdrw0\brdrcf0\cellx8600)",
    R"(\clbrdrt\brdrs\clbrdrb\brdrs\clbrdrl\brdrs\clbrdrr\brdrs\brdrw0\brdrcf0\cellx9360)",
    R"(\intbl \sb40\sl\sa40 \plain\f0\fs20\cf1\b Task\cell)",
    R"(\intbl \sb40\sl\sa40 \plain\f0\fs20\cf1\b Date\cell)",
    R"(\intbl \sb40\sl\sa40 \plain\f0\fs20\cf1\b Time\cell)",
    R"(\intbl \sb40\sl\sa40 \plain\f0\fs20\cf1\b Priority\cell)",
    R"(\intbl \sb40\sl\sa40 \plain\f0\fs20\cf1\b Done\cell\row)",
};

constexpr std::string_view kCellPrefix = R"(\intbl \sb40\sl\sa40 \plain\f0\fs20\cf1 )";

void escaped(ExportSink& out, std::string_view text)
{
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\' && c != '{' && c != '}')
            continue;
        out << text.substr(from, i - from) << '\\' << c;
        from = i + 1;
    }
    out << text.substr(from);
}

std::string_view view(const QByteArray& bytes)
{
    return {bytes.data(), static_cast<std::size_t>(bytes.size())};
}

void cellLine(ExportSink& out, std::string_view text, std::string_view end)
{
    out << kCellPrefix;
    escaped(out, text);
    out << end;
    out.endLine();
}

} // namespace

void RtfExport::head(ExportSink& out)
{
    for (std::string_view line : kHead)
        (out << line).endLine();
    escaped(out, view(m_title));
    out.endLine();
    for (std::string_view line : kTableHeader)
        (out << line).endLine();
}

void RtfExport::task(ExportSink& out, const TaskWalk::Task& task, const std::vector<std::string>& notes)
{
    cellLine(out, task.description, R"(\cell)");
    cellLine(out, view(task.date), R"(\cell)");
    cellLine(out, view(task.time), R"(\cell)");
    cellLine(out, view(task.priority), R"(\cell)");
    cellLine(out, view(task.done), R"(\cell\row)");
    if (notes.empty())
        return;
    (out << std::string_view(R"(\intbl \sb0\sl\sa0 \plain\f0\fs16\cf1\i\li180 )")).endLine();
    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (i > 0)
            out << std::string_view(R"(\par )");
        escaped(out, notes[i]);
        (out << ' ').endLine();
    }
    (out << std::string_view(R"(\cell)")).endLine();
    (out << std::string_view(R"(\intbl \sb40\sl\sa40 \plain\f0\fs20\cf1\li0 \cell)")).endLine();
    (out << kCellPrefix << std::string_view(R"(\cell)")).endLine();
    (out << kCellPrefix << std::string_view(R"(\cell\row)")).endLine();
}

void RtfExport::tail(ExportSink& out)
{
    (out << std::string_view("}}}")).endLine();
}

} // namespace quorvo
