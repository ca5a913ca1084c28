#include "reports/ICalExport.h"

#include "reports/ExportSink.h"
#include "store/Windows1252.h"
#include "tasks/ICalImport.h"
#include "tasks/TaskUid.h"

#include <libical/ical.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

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

// The stored "yyyymmdd" as a date when it is a real one.
std::optional<QDate> dateOf(std::string_view stored)
{
    if (stored.size() != 8 || !allDigits(stored))
        return std::nullopt;
    const QDate date(number(stored.substr(0, 4)), number(stored.substr(4, 2)), number(stored.substr(6, 2)));
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

// The stored "hh:nn" (the hour may be blank-padded) as hour and minute; none when it is not a valid time.
std::optional<std::pair<int, int>> timeOf(std::string_view stored)
{
    if (stored.size() != 5 || stored[2] != ':')
        return std::nullopt;
    std::string hour(stored.substr(0, 2));
    if (hour[0] == ' ')
        hour[0] = '0';
    const std::string_view minute = stored.substr(3, 2);
    if (!allDigits(hour) || !allDigits(minute) || number(hour) > 23 || number(minute) > 59)
        return std::nullopt;
    return std::pair(number(hour), number(minute));
}

int priorityOf(char code)
{
    switch (code) {
    case 'A':
    case 'a':
        return 1;
    case 'B':
    case 'b':
        return 5;
    case 'C':
    case 'c':
        return 9;
    default:
        return 0;
    }
}

bool blank(std::string_view text)
{
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The property serialised, folded and ended; the property is freed.
std::string lineOf(icalproperty* property)
{
    std::string line;
    if (!property)
        return line;
    if (char* text = icalproperty_as_ical_string_r(property)) {
        line = text;
        std::free(text);
    }
    icalproperty_free(property);
    return line;
}

void put(ExportSink& out, icalproperty* property)
{
    if (!property)
        return;
    if (char* text = icalproperty_as_ical_string_r(property)) {
        out << std::string_view(text);
        std::free(text);
    }
    icalproperty_free(property);
}

} // namespace

ICalExport::ICalExport(QByteArray title, QByteArray tableTag, QDateTime stamp)
    : m_title(std::move(title)), m_tableTag(std::move(tableTag))
{
    // The lines that every to-do shares, or chooses among, are serialised once.
    const QDateTime utc = stamp.toUTC();
    icaltimetype dtstamp = icaltime_null_time();
    dtstamp.year = utc.date().year();
    dtstamp.month = utc.date().month();
    dtstamp.day = utc.date().day();
    dtstamp.hour = utc.time().hour();
    dtstamp.minute = utc.time().minute();
    dtstamp.second = utc.time().second();
    dtstamp.zone = icaltimezone_get_utc_timezone();
    m_stampLine = lineOf(icalproperty_new_dtstamp(dtstamp));
    m_statusLines = {lineOf(icalproperty_new_status(ICAL_STATUS_NEEDSACTION)),
                     lineOf(icalproperty_new_status(ICAL_STATUS_COMPLETED))};
    for (int priority : {1, 5, 9})
        m_priorityLines[static_cast<std::size_t>(priority)] = lineOf(icalproperty_new_priority(priority));
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        // Other control characters are not allowed in a value; line breaks are handled by utf8Of.
        if (c == '\t' || (byte >= 0x20 && byte != 0x7F))
            m_utf8[static_cast<std::size_t>(byte)] = Windows1252::toUnicode(std::string_view(&c, 1)).toStdString();
    }
}

const std::string& ICalExport::utf8Of(std::string_view bytes)
{
    m_text.clear();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            m_text += '\n';
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            continue;
        }
        m_text += m_utf8[static_cast<unsigned char>(c)];
    }
    return m_text;
}

void ICalExport::appendEscaped(std::string_view bytes)
{
    for (char c : utf8Of(bytes)) {
        if (c == '\n') {
            m_line += "\\n";
            continue;
        }
        if (c == '\\' || c == ',' || c == ';')
            m_line += '\\';
        m_line += c;
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
    out << std::string_view("BEGIN:VCALENDAR\r\n");
    put(out, icalproperty_new_version("2.0"));
    put(out, icalproperty_new_prodid("-//Quorvo//Quorvo//EN"));
    put(out, icalproperty_new_calscale("GREGORIAN"));
    if (!m_title.isEmpty()) {
        // libical leaves the commas and semicolons of an X- property's text unescaped, which a strict reader
        // refuses; the line is escaped here, as the categories are.
        m_line = "X-WR-CALNAME:";
        appendEscaped(std::string_view(m_title.data(), static_cast<std::size_t>(m_title.size())));
        writeLine(out, m_line);
    }
}

void ICalExport::task(ExportSink& out, const TaskWalk::Task& task, const std::vector<std::string>&)
{
    out << std::string_view("BEGIN:VTODO\r\n");
    put(out, icalproperty_new_uid(TaskUid::of(task.recNo, m_tableTag).constData()));
    out << m_stampLine;
    put(out, icalproperty_new_summary(utf8Of(task.description).c_str()));
    if (const std::optional<QDate> date = dateOf(task.storedDate)) {
        icaltimetype due = icaltime_null_time();
        due.year = date->year();
        due.month = date->month();
        due.day = date->day();
        // A task's time is the local time wherever the calendar is read: a floating date-time.
        if (const auto time = timeOf(task.storedTime)) {
            due.hour = time->first;
            due.minute = time->second;
        } else {
            due.is_date = 1;
        }
        put(out, icalproperty_new_due(due));
    } else if (const auto time = timeOf(task.storedTime)) {
        // DUE has no form for a time without a date; the time travels in a property of this program, so that
        // importing the file again gives the task back whole. Other programs keep or ignore it.
        char line[32];
        std::snprintf(line, sizeof line, "%s:%02d:%02d\r\n", ICalImport::kTimeWithoutDate, time->first, time->second);
        out << std::string_view(line);
    }
    if (const int priority = priorityOf(task.priorityCode))
        out << m_priorityLines[static_cast<std::size_t>(priority)];
    out << m_statusLines[task.isDone ? 1 : 0];
    if (!blank(task.keys)) {
        // libical (3.0) writes a category's own commas unescaped, which would split a key word such as
        // "home,work" in two; the list is escaped here and only its separators are left bare.
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
            appendEscaped(keys.substr(0, end));
            first = false;
            keys.remove_prefix(end);
        }
        writeLine(out, m_line);
    }
    if (!blank(task.notes))
        put(out, icalproperty_new_description(utf8Of(task.notes).c_str()));
    out << std::string_view("END:VTODO\r\n");
}

void ICalExport::tail(ExportSink& out)
{
    out << std::string_view("END:VCALENDAR\r\n");
}

} // namespace quorvo
