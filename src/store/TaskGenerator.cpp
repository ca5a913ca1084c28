#include "store/TaskGenerator.h"

#include "store/TaskRecord.h"

#include <array>
#include <cstdio>
#include <random>

namespace quorvo {

namespace {

constexpr std::array kVerbs{"Call", "Email", "Buy",   "Fix",     "Plan",  "Review", "Write",  "Book",
                            "Pay",  "Clean", "Order", "Prepare", "Check", "Send",   "Update", "Cancel"};
constexpr std::array kObjects{
    "the dentist",       "plumber about the sink", "birthday present",   "quarterly report", "car insurance",
    "train tickets",     "garden fence",           "team meeting notes", "electric bill",    "the garage",
    "new printer ink",   "holiday photos",         "tax return",         "library books",    "caf\xE9 booking",
    "r\xE9sum\xE9 draft"};
constexpr std::array kKeyWords{"work",   "home",    "garden", "car",    "money", "health",
                               "family", "errands", "phone",  "urgent", "later", "project"};
constexpr std::array kNoteLines{"Ask about the price first.", "Bring the receipt.",           "Second floor, room 214.",
                                "Needs the signed form.",     "Remember the spare key.",      "Compare three offers.",
                                "Ring before noon.",          "Na\xEFve estimate: two hours."};

// Days since 0001-01-01 and back, enough for the generator's three-year window.
long daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}

void civilFromDays(long z, int& y, int& m, int& d)
{
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

} // namespace

xbase::Status TaskGenerator::createTable(const std::string& path, std::uint32_t count, const Options& options)
{
    const auto fields = taskTableFields();
    QV_TRY(xbase::Table::create(path, fields));
    xbase::TableOptions tableOptions;
    tableOptions.sync = options.sync;
    auto table = xbase::Table::open(path, xbase::OpenMode::Exclusive, tableOptions);
    if (!table)
        return table.error();
    QV_TRY(append(**table, count, options));
    return (*table)->close();
}

xbase::Status TaskGenerator::append(xbase::Table& table, std::uint32_t count, const Options& options)
{
    std::mt19937 engine(options.seed);
    auto rng = [&engine] { return static_cast<unsigned>(engine()); };
    auto pick = [&](auto& list) { return list[rng() % list.size()]; };
    auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
    const long base = daysFromCivil(options.baseYear, options.baseMonth, options.baseDay);

    QV_TRY(table.beginBatch());
    std::string text;
    char buffer[16];
    for (std::uint32_t i = 0; i < count; ++i) {
        QV_TRY(table.appendBlank());
        if (!chance(8)) {
            int y, m, d;
            civilFromDays(base - 548 + static_cast<long>(rng() % 1096), y, m, d);
            std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", y, m, d);
            QV_TRY(table.replace(TaskField::DATE, buffer));
        }
        if (!chance(40)) {
            std::snprintf(buffer, sizeof buffer, "%02u:%02u", rng() % 24, (rng() % 4) * 15);
            QV_TRY(table.replace(TaskField::TIME, buffer));
        }
        text = std::string(pick(kVerbs)) + " " + pick(kObjects);
        QV_TRY(table.replace(TaskField::DESCRIPT, text));
        text.clear();
        const unsigned words = rng() % 4;
        for (unsigned w = 0; w < words; ++w) {
            if (!text.empty())
                text += ' ';
            text += pick(kKeyWords);
        }
        QV_TRY(table.replace(TaskField::KEYS, text));
        QV_TRY(table.replaceLogical(TaskField::DONE, rng() % 3 == 0));
        const unsigned roll = rng() % 100;
        const char* priority = roll < 3 ? " " : roll < 6 ? "b" : roll < 30 ? "A" : roll < 70 ? "B" : "C";
        QV_TRY(table.replace(TaskField::PRIORITY, priority));
        if (chance(25)) {
            text.clear();
            const unsigned lines = 1 + rng() % 4;
            for (unsigned l = 0; l < lines; ++l) {
                if (l > 0)
                    text += "\r\n";
                text += pick(kNoteLines);
            }
            QV_TRY(table.replace(TaskField::NOTE, text));
        }
        QV_TRY(table.post());
    }
    return table.commitBatch();
}

} // namespace quorvo
