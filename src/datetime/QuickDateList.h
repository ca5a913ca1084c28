#pragma once

#include "datetime/DateTime.h"

#include <QList>
#include <QString>

#include <array>

namespace quorvo {

class DateFormats;

// The seventeen quick-date choices of the main window's and the task editor's menus. Each carries a
// day offset from today; the caption names the choice, then a tab, then the date (a menu shows the
// part after the tab right-aligned).
class QuickDateList
{
public:
    struct Choice
    {
        const char* name; // the menu item's object name
        int offset;       // days after today
    };

    struct Item
    {
        QString name;
        int offset;
        QString caption;
    };

    static constexpr int kCount = 17;

    // Today to ThirtyDaysFromToday, offsets 0 to 14, 21 and 30.
    static const std::array<Choice, kCount>& choices();

    // Captions for today as the clock says now. They always use the working settings, so their dates
    // read "mm/dd/yyyy" whatever the user's regional settings.
    static QList<Item> build(const DateFormats& formats);
    static QString caption(int index, const DateTime& today, const DateFormats& formats);

    // The date a choice gives, with today taken at the moment of the choice, not when the captions
    // were built.
    static DateTime dateFor(int offset, const DateFormats& formats);
};

} // namespace quorvo
