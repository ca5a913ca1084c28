#pragma once

#include <QString>

namespace quorvo {

// The report dialog's own keys in QVTSK.INI: the five titles, the last file written by each export and the
// iCalendar page's notes option. Read when the dialog is created; written, all in a fixed order, only after a
// successful export. The iCalendar keys come after the others, so files without them read as before.
struct ExportPreferences
{
    QString reportTitle;
    QString htmlTitle;
    QString rtfTitle;
    QString textTitle;
    QString htmlFilespec;
    QString rtfFilespec;
    QString textFilespec;
    QString icalTitle;
    QString icalFilespec;
    bool icalNotes = false;

    bool operator==(const ExportPreferences&) const = default;

    // programDir ends in "/"; missing or unreadable keys take their defaults: "Quorvo" for the titles,
    // the program directory followed by Todo.htm, Todo.rtf, Todo.txt and Todo.ics for the file names.
    static ExportPreferences defaults(const QString& programDir);
    static ExportPreferences load(const QString& programDir);
    // False when the file could not be written.
    bool save(const QString& programDir) const;

    static QString fileName(const QString& programDir);
};

} // namespace quorvo
