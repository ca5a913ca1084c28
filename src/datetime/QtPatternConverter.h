#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>

namespace quorvo {

// Reads Qt's date and time formats (QLocale::dateFormat, QLocale::timeFormat) for the regional items
// they imply, and rewrites them in display-pattern letters: "M/d/yy" becomes "m/d/yy", "dd.MM.yy"
// becomes "dd.mm.yy", "d MMM yyyy" becomes "d mmm yyyy".
class QtPatternConverter
{
public:
    // Qt's minutes (m) become n, its hours of either clock (h, H) become h, its AM/PM marker becomes
    // "ampm", and its time zone (t) and milliseconds (z) are dropped. Literal text that the display
    // patterns would read as letters, quotes or separators other than the given ones is quoted, so
    // it still comes out as written; invisible format marks (such as right-to-left marks) are dropped.
    static QString toDisplayPattern(QStringView qtFormat, QChar dateSeparator, QChar timeSeparator);

    // The short date pattern is what the task editor shows and must read back, so it keeps only what
    // typed dates can repeat: the fields, and between them the separator with blanks around it. Other
    // text between fields becomes the separator ("dd/MM yyyy" gives "dd/mm/yyyy"); text before the
    // first field and after the last is dropped ("d.MM.yy 'г'." gives "d.mm.yy"), except a closing
    // separator ("yyyy. MM. dd." keeps its last point).
    static QString toShortDatePattern(QStringView qtFormat, QChar dateSeparator, QChar timeSeparator);

    // The character that separates the date fields: the first punctuation mark or symbol between two
    // of them; a blank when only blanks separate them; empty when the format has no such character.
    static std::optional<QChar> dateSeparator(QStringView qtFormat);
    // The first punctuation mark or symbol between the hour and the minutes; empty when there is none.
    static std::optional<QChar> timeSeparator(QStringView qtFormat);
    // The hour field has two letters (hh or HH).
    static bool hasLeadingZeroHour(QStringView qtFormat);
    // The hour counts 1 to 12 with an AM/PM marker (h with AP); H always counts 0 to 23.
    static bool isTwelveHourClock(QStringView qtFormat);
};

} // namespace quorvo
