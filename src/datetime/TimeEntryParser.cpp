#include "datetime/TimeEntryParser.h"

#include "datetime/EntryScanner.h"

namespace quorvo {

namespace {

enum class Designator
{
    None,
    Am,
    Pm,
};

// Takes the first designator, in matching order, after which only blanks remain. A designator that
// matches but leaves text behind gives way to the next one: with designators "a" and "p" the
// literal "PM" would otherwise be read as "p" followed by a stray "M" and rejected.
std::optional<Designator> takeDesignator(EntryScanner& scanner, const FormatSettings& settings)
{
    scanner.skipSpaces();
    const qsizetype start = scanner.position();
    if (scanner.atEnd())
        return Designator::None;
    const struct
    {
        QStringView word;
        Designator designator;
    } candidates[] = {
        {settings.amDesignator, Designator::Am},
        {u"AM", Designator::Am},
        {settings.pmDesignator, Designator::Pm},
        {u"PM", Designator::Pm},
    };
    for (const auto& candidate : candidates) {
        scanner.rewind(start);
        if (!scanner.takeIgnoringCase(candidate.word))
            continue;
        scanner.skipSpaces();
        if (scanner.atEnd())
            return candidate.designator;
    }
    return std::nullopt;
}

} // namespace

std::optional<DateTime> TimeEntryParser::parse(QStringView text, const FormatSettings& settings)
{
    EntryScanner scanner(text);
    scanner.skipSpaces();
    const std::optional<int> hourRead = scanner.readNumber();
    if (!hourRead)
        return std::nullopt;
    int hour = *hourRead;
    int minute = 0;
    int second = 0;

    const qsizetype afterHour = scanner.position();
    scanner.skipSpaces();
    if (scanner.take(settings.timeSeparator)) {
        scanner.skipSpaces();
        const std::optional<int> minuteRead = scanner.readNumber();
        if (!minuteRead)
            return std::nullopt;
        minute = *minuteRead;
        const qsizetype afterMinute = scanner.position();
        scanner.skipSpaces();
        if (scanner.take(settings.timeSeparator)) {
            scanner.skipSpaces();
            const std::optional<int> secondRead = scanner.readNumber();
            if (!secondRead)
                return std::nullopt;
            second = *secondRead;
        } else {
            scanner.rewind(afterMinute);
        }
    } else {
        scanner.rewind(afterHour);
    }

    const std::optional<Designator> designator = takeDesignator(scanner, settings);
    if (!designator)
        return std::nullopt;
    if (*designator != Designator::None) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        if (hour == 12)
            hour = 0;
        if (*designator == Designator::Pm)
            hour += 12;
    }
    return DateTime::fromTime(hour, minute, second);
}

} // namespace quorvo
