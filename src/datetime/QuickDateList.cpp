#include "datetime/QuickDateList.h"

#include "datetime/DateFormats.h"

namespace quorvo {

namespace {

enum class CaptionKind
{
    Named,       // the text, a tab, the date
    DayName,     // the day's name, a tab, the date
    WeekFromDay, // "A Week from ", the day's name, a tab, the date
};

struct CaptionRule
{
    CaptionKind kind;
    const char* text;
};

// In the order of choices().
constexpr std::array<CaptionRule, QuickDateList::kCount> kCaptionRules = {{
    {CaptionKind::Named, "Today"},
    {CaptionKind::Named, "Tomorrow"},
    {CaptionKind::DayName, nullptr},
    {CaptionKind::DayName, nullptr},
    {CaptionKind::DayName, nullptr},
    {CaptionKind::DayName, nullptr},
    {CaptionKind::DayName, nullptr},
    {CaptionKind::Named, "A Week From Today"},
    {CaptionKind::Named, "A Week From Tomorrow"},
    {CaptionKind::WeekFromDay, nullptr},
    {CaptionKind::WeekFromDay, nullptr},
    {CaptionKind::WeekFromDay, nullptr},
    {CaptionKind::WeekFromDay, nullptr},
    {CaptionKind::WeekFromDay, nullptr},
    {CaptionKind::Named, "Two Weeks From Today"},
    {CaptionKind::Named, "Three Weeks From Today"},
    {CaptionKind::Named, "30 Days From Today"},
}};

} // namespace

const std::array<QuickDateList::Choice, QuickDateList::kCount>& QuickDateList::choices()
{
    // "WeekFromTommorrow" is the menu item's established object name, spelling included.
    static constexpr std::array<Choice, kCount> kChoices = {{
        {"Today", 0},
        {"Tomorrow", 1},
        {"TodayPlus2", 2},
        {"TodayPlus3", 3},
        {"TodayPlus4", 4},
        {"TodayPlus5", 5},
        {"TodayPlus6", 6},
        {"WeekFromToday", 7},
        {"WeekFromTommorrow", 8},
        {"Week2", 9},
        {"Week3", 10},
        {"Week4", 11},
        {"Week5", 12},
        {"Week6", 13},
        {"TwoWeeksFromToday", 14},
        {"ThreeWeeksFromToday", 21},
        {"ThirtyDaysFromToday", 30},
    }};
    return kChoices;
}

QString QuickDateList::caption(int index, const DateTime& today, const DateFormats& formats)
{
    if (index < 0 || index >= kCount)
        return QString();
    const FormatSettings& working = FormatSettings::working();
    const DateTime date = today.addDays(choices()[index].offset);
    const CaptionRule& rule = kCaptionRules[index];
    QString text;
    switch (rule.kind) {
    case CaptionKind::Named:
        text = QLatin1String(rule.text);
        break;
    case CaptionKind::DayName:
        text = formats.format(u"dddd", date, working);
        break;
    case CaptionKind::WeekFromDay:
        text = QLatin1String("A Week from ") + formats.format(u"dddd", date, working);
        break;
    }
    text += u'\t';
    text += formats.format(u"ddddd", date, working);
    return text;
}

QList<QuickDateList::Item> QuickDateList::build(const DateFormats& formats)
{
    const DateTime today = formats.today();
    QList<Item> items;
    items.reserve(kCount);
    for (int i = 0; i < kCount; ++i)
        items.append(Item{QLatin1String(choices()[i].name), choices()[i].offset, caption(i, today, formats)});
    return items;
}

DateTime QuickDateList::dateFor(int offset, const DateFormats& formats)
{
    return formats.today().addDays(offset);
}

} // namespace quorvo
