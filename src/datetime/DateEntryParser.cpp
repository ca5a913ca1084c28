#include "datetime/DateEntryParser.h"

#include "datetime/EntryScanner.h"

namespace quorvo {

namespace {

// A blank separator cannot be told from the blanks allowed around it, so there the blanks between two
// numbers are the separator; any other separator must stand there itself.
bool takeSeparator(EntryScanner& scanner, QChar separator)
{
    const qsizetype blanks = scanner.skipSpaces();
    if (separator == u' ')
        return blanks > 0 && scanner.atDigit();
    return scanner.take(separator);
}

int yearOf(const DateEntryParser::Numbers& numbers, DateFieldOrder order, int currentYear)
{
    if (!numbers.third)
        return currentYear;
    return order == DateFieldOrder::YearMonthDay ? numbers.first : *numbers.third;
}

} // namespace

std::optional<DateTime> DateEntryParser::parse(QStringView text, const FormatSettings& settings, int currentYear)
{
    const std::optional<Numbers> numbers = read(text, settings.dateSeparator);
    if (!numbers)
        return std::nullopt;
    return resolve(*numbers, ShortDatePattern::fieldOrder(settings.shortDatePattern), currentYear);
}

std::optional<DateEntryParser::Numbers> DateEntryParser::read(QStringView text, QChar dateSeparator)
{
    EntryScanner scanner(text);
    scanner.skipSpaces();
    const std::optional<int> first = scanner.readNumber();
    if (!first || !takeSeparator(scanner, dateSeparator))
        return std::nullopt;
    scanner.skipSpaces();
    const std::optional<int> second = scanner.readNumber();
    if (!second)
        return std::nullopt;

    std::optional<int> third;
    const qsizetype afterSecond = scanner.position();
    if (takeSeparator(scanner, dateSeparator)) {
        scanner.skipSpaces();
        third = scanner.readNumber();
        if (!third)
            return std::nullopt;
        scanner.skipSpaces();
        if (dateSeparator != u' ')
            scanner.take(dateSeparator);
    } else {
        scanner.rewind(afterSecond);
    }
    scanner.skipSpaces();
    if (!scanner.atEnd())
        return std::nullopt;
    return Numbers{*first, *second, third};
}

bool DateEntryParser::needsCurrentYear(const Numbers& numbers, DateFieldOrder order)
{
    return !numbers.third || yearOf(numbers, order, 0) < 100;
}

std::optional<DateTime> DateEntryParser::resolve(const Numbers& numbers, DateFieldOrder order, int currentYear)
{
    int year = yearOf(numbers, order, currentYear);
    int month = numbers.first;
    int day = numbers.second;
    if (order == DateFieldOrder::DayMonthYear) {
        month = numbers.second;
        day = numbers.first;
    } else if (order == DateFieldOrder::YearMonthDay && numbers.third) {
        month = numbers.second;
        day = *numbers.third;
    }
    if (year < 100)
        year += currentYear / 100 * 100;
    return DateTime::fromDate(year, month, day);
}

} // namespace quorvo
