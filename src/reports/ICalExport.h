#pragma once

#include "reports/ExportWriter.h"

#include <QByteArray>
#include <QDateTime>

#include <array>
#include <string>

namespace quorvo {

// The list as an iCalendar file of to-dos, for calendar programs: one VTODO per task with its description,
// due date (a date, or a local date and time when the task has a time), priority, done state, key words as
// categories and, with notes, the notes. Text is written as UTF-8 with the format's escapes and its lines
// folded at 75 octets.
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
    // Windows-1252 bytes as an escaped UTF-8 TEXT value appended to m_line.
    void appendText(std::string_view bytes);
    void put(ExportSink& out) { writeLine(out, m_line); }

    QByteArray m_title;
    QByteArray m_tableTag;
    std::string m_stamp;
    std::array<std::string, 256> m_utf8; // each Windows-1252 byte as UTF-8, escaped where the format asks
    std::string m_line;
};

} // namespace quorvo
