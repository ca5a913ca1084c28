#pragma once

#include <QString>
#include <QStringView>

namespace quorvo {

class DateFormats;

// The task editor's date and time fields against the record's stored forms. The editor side always
// uses the user settings (with the short date pattern as narrowed at that moment), whatever is in
// force; nothing here changes which settings are in force.
class EditorConversions
{
public:
    // A stored date that reads back, by "ddddd" under the user settings; otherwise empty.
    static QString dateToEditor(const DateFormats& formats, QStringView stored);
    // A stored time that reads back, by "t" under the user settings; otherwise empty.
    static QString timeToEditor(const DateFormats& formats, QStringView stored);
    // The typed date under the user settings, else under the working settings, as "yyyymmdd"; empty when
    // it passes under neither (including an empty field).
    static QString dateFromEditor(const DateFormats& formats, QStringView text);
    // The typed time likewise, as "hh:nn" with the seconds dropped.
    static QString timeFromEditor(const DateFormats& formats, QStringView text);
};

} // namespace quorvo
