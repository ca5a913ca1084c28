#pragma once

#include "reports/ExportWriter.h"

#include <QByteArray>
#include <QDateTime>

#include <array>
#include <string>

namespace quorvo {

// The list as an iCalendar file of to-dos, for calendar programs: one VTODO per task with its description,
// due date (a date, or a local date and time when the task has a time), priority, done state, key words as
// categories and, with notes, the notes. libical writes the properties, UTF-8 text with the format's escapes,
// lines folded within 75 octets; the categories and the calendar's name, whose commas and semicolons libical
// leaves bare, are escaped and folded here. The file is written one to-do at a time, never held whole.
// Each to-do's UID is the task's TaskUid, so it stays the same across exports.
class ICalExport final : public ExportWriter
{
public:
    // Physical lines longer than this are folded; the line break is not counted.
    static constexpr std::size_t kMaxLineOctets = 75;

    // tableTag is TaskUid::tableTag of the table; stamp is the DTSTAMP every component carries, in UTC.
    ICalExport(QByteArray title, QByteArray tableTag, QDateTime stamp);

    bool wrapsNotes() const override { return false; }
    int noteWrapWidth(const QFont&) const override { return 0; }
    void head(ExportSink& out) override;
    void task(ExportSink& out, const TaskWalk::Task& task, const std::vector<std::string>& notes) override;
    void tail(ExportSink& out) override;

    // A content line, folded: no physical line over kMaxLineOctets, no UTF-8 character split.
    static void writeLine(ExportSink& out, std::string_view line);

private:
    // Windows-1252 bytes as UTF-8 text: control characters but the tab dropped, every line break one "\n".
    const std::string& utf8Of(std::string_view bytes);
    // The same, with the escapes of a TEXT value, appended to m_line: for the lines libical would leave
    // unescaped.
    void appendEscaped(std::string_view bytes);

    QByteArray m_title;
    QByteArray m_tableTag;
    std::string m_stampLine;
    std::array<std::string, 2> m_statusLines;    // open, done
    std::array<std::string, 10> m_priorityLines; // by the number written
    std::array<std::string, 256> m_utf8;         // each Windows-1252 byte as UTF-8
    std::string m_text;
    std::string m_line;
};

} // namespace quorvo
