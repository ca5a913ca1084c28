// Parsing and formatting dates and times: the grid formats two fields per row it paints, so each must
// stay well under a microsecond. The Qt rows do comparable work through QDate and QLocale for scale.
#include "datetime/DateFormats.h"
#include "datetime/StoredForms.h"
#include "datetime/TimeEntryParser.h"
#include "store/SystemClock.h"

#include <QDate>
#include <QLocale>

#include <benchmark/benchmark.h>

using namespace quorvo;

namespace {

DateFormats& formats()
{
    static DateFormats instance(RegionalSettings::fallback(), SystemClock::instance());
    return instance;
}

const DateTime kSample = DateTime::fromDate(2026, 12, 31)->withTimeOf(*DateTime::fromTime(14, 30, 5));

void BM_DateParse(benchmark::State& state)
{
    const QString text = QStringLiteral("12/31/2026");
    for (auto _ : state)
        benchmark::DoNotOptimize(formats().parseDate(text));
}
BENCHMARK(BM_DateParse);

// Two numbers leave the year open, so this one also reads the system clock.
void BM_DateParseTwoNumbersWithClock(benchmark::State& state)
{
    const QString text = QStringLiteral("3/4");
    for (auto _ : state)
        benchmark::DoNotOptimize(formats().parseDate(text));
}
BENCHMARK(BM_DateParseTwoNumbersWithClock);

void BM_DateParseStored(benchmark::State& state)
{
    const QString text = QStringLiteral("20261231");
    for (auto _ : state)
        benchmark::DoNotOptimize(StoredForms::parseDate(text));
}
BENCHMARK(BM_DateParseStored);

void BM_DateFormatShort(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(formats().format(u"ddddd", kSample));
}
BENCHMARK(BM_DateFormatShort);

void BM_DateFormatGrid(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(formats().format(u"dd mmm yyyy", kSample));
}
BENCHMARK(BM_DateFormatGrid);

void BM_DateFormatStored(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(StoredForms::dateText(kSample));
}
BENCHMARK(BM_DateFormatStored);

void BM_DateTimeParseTime(benchmark::State& state)
{
    const QString text = QStringLiteral("2:30 pm");
    for (auto _ : state)
        benchmark::DoNotOptimize(TimeEntryParser::parse(text, FormatSettings::working()));
}
BENCHMARK(BM_DateTimeParseTime);

void BM_DateTimeFormatGridTime(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(formats().format(u" hh:mmam/pm", kSample));
}
BENCHMARK(BM_DateTimeFormatGridTime);

void BM_DateQtParseForScale(benchmark::State& state)
{
    const QString text = QStringLiteral("12/31/2026");
    const QString format = QStringLiteral("MM/dd/yyyy");
    for (auto _ : state)
        benchmark::DoNotOptimize(QDate::fromString(text, format));
}
BENCHMARK(BM_DateQtParseForScale);

void BM_DateQtFormatForScale(benchmark::State& state)
{
    const QLocale locale = QLocale::c();
    const QDate date(2026, 12, 31);
    const QString format = QStringLiteral("dd MMM yyyy");
    for (auto _ : state)
        benchmark::DoNotOptimize(locale.toString(date, format));
}
BENCHMARK(BM_DateQtFormatForScale);

} // namespace
