#include "reports/ICalExport.h"

#include "reports/ExportSink.h"
#include "store/Windows1252.h"
#include "tasks/TaskUid.h"

namespace quorvo {

namespace {

bool allDigits(std::string_view text)
{
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return !text.empty();
}

int number(std::string_view digits)
{
    int n = 0;
    for (char c : digits)
        n = n * 10 + (c - '0');
    return n;
}

// "yyyymmdd" when the stored date is a real one.
bool validDate(std::string_view stored)
{
    return stored.size() == 8 && allDigits(stored) &&
           QDate(number(stored.substr(0, 4)), number(stored.substr(4, 2)), number(stored.substr(6, 2))).isValid();
}

// "hhmm00" for a stored "hh:nn" (the hour may be blank-padded); empty when there is no valid time.
std::string timeOf(std::string_view stored)
{
    if (stored.size() != 5 || stored[2] != ':')
        return {};
    std::string hour(stored.substr(0, 2));
    if (hour[0] == ' ')
        hour[0] = '0';
    const std::string_view minute = stored.substr(3, 2);
    if (!allDigits(hour) || !allDigits(minute) || number(hour) > 23 || number(minute) > 59)
        return {};
    return hour + std::string(minute) + "00";
}

const char* priorityOf(char code)
{
    switch (code) {
    case 'A':
    case 'a':
        return "1";
    case 'B':
    case 'b':
        return "5";
    case 'C':
    case 'c':
        return "9";
    default:
        return nullptr;
    }
}

bool blank(std::string_view text)
{
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

} // namespace

ICalExport::ICalExport(QByteArray title, QByteArray tableTag, QDateTime stamp)
    : m_title(std::move(title)), m_tableTag(std::move(tableTag)),
      m_stamp(stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toStdString())
{
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        std::string& utf8 = m_utf8[static_cast<std::size_t>(byte)];
        switch (c) {
        case '\\':
            utf8 = "\\\\";
            break;
        case ';':
            utf8 = "\\;";
            break;
        case ',':
            utf8 = "\\,";
            break;
        case '\t':
            utf8 = "\t";
            break;
        default:
            // Other control characters are not allowed in a value; line breaks are handled by appendText.
            if (byte >= 0x20 && byte != 0x7F)
                utf8 = Windows1252::toUnicode(std::string_view(&c, 1)).toStdString();
        }
    }
}

void ICalExport::appendText(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            m_line += "\\n";
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            continue;
        }
        m_line += m_utf8[static_cast<unsigned char>(c)];
    }
}

void ICalExport::writeLine(ExportSink& out, std::string_view line)
{
    std::size_t room = kMaxLineOctets;
    while (line.size() > room) {
        std::size_t cut = room;
        // Never between the bytes of one character.
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        out << line.substr(0, cut);
        out.endLine();
        out << ' ';
        line.remove_prefix(cut);
        room = kMaxLineOctets - 1;
    }
    out << line;
    out.endLine();
}

void ICalExport::head(ExportSink& out)
{
    writeLine(out, "BEGIN:VCALENDAR");
    writeLine(out, "VERSION:2.0");
    writeLine(out, "PRODID:-//Quorvo//Quorvo//EN");
    writeLine(out, "CALSCALE:GREGORIAN");
    if (!m_title.isEmpty()) {
        m_line = "X-WR-CALNAME:";
        appendText(std::string_view(m_title.data(), static_cast<std::size_t>(m_title.size())));
        put(out);
    }
}

void ICalExport::task(ExportSink& out, const TaskWalk::Task& task, const std::vector<std::string>&)
{
    writeLine(out, "BEGIN:VTODO");
    m_line = "UID:";
    m_line += TaskUid::of(task.recNo, m_tableTag).toStdString();
    put(out);
    m_line = "DTSTAMP:" + m_stamp;
    put(out);
    m_line = "SUMMARY:";
    appendText(task.description);
    put(out);
    if (validDate(task.storedDate)) {
        const std::string time = timeOf(task.storedTime);
        if (time.empty())
            m_line = "DUE;VALUE=DATE:" + std::string(task.storedDate);
        else
            m_line = "DUE:" + std::string(task.storedDate) + 'T' + time;
        put(out);
    }
    if (const char* priority = priorityOf(task.priorityCode)) {
        m_line = "PRIORITY:";
        m_line += priority;
        put(out);
    }
    writeLine(out, task.isDone ? "STATUS:COMPLETED" : "STATUS:NEEDS-ACTION");
    if (!blank(task.keys)) {
        m_line = "CATEGORIES:";
        bool first = true;
        std::string_view keys = task.keys;
        while (!keys.empty()) {
            const std::size_t start = keys.find_first_not_of(' ');
            if (start == std::string_view::npos)
                break;
            keys.remove_prefix(start);
            const std::size_t end = std::min(keys.find(' '), keys.size());
            if (!first)
                m_line += ',';
            appendText(keys.substr(0, end));
            first = false;
            keys.remove_prefix(end);
        }
        put(out);
    }
    if (!blank(task.notes)) {
        m_line = "DESCRIPTION:";
        appendText(task.notes);
        put(out);
    }
    writeLine(out, "END:VTODO");
}

void ICalExport::tail(ExportSink& out)
{
    writeLine(out, "END:VCALENDAR");
}

} // namespace quorvo
