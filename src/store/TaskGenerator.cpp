#include "store/TaskGenerator.h"

#include "datetime/DateTime.h"
#include "store/TaskIndexTags.h"
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
    for (const TaskIndexTag& tag : kTaskIndexTags)
        QV_TRY((*table)->createTag(tag.name, tag.key, tag.condition));
    return (*table)->close();
}

xbase::Status TaskGenerator::append(xbase::Table& table, std::uint32_t count, const Options& options)
{
    std::mt19937 engine(options.seed);
    auto rng = [&engine] { return static_cast<unsigned>(engine()); };
    auto pick = [&](auto& list) { return list[rng() % list.size()]; };
    auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
    const DateTime base = DateTime::fromDate(options.baseYear, options.baseMonth, options.baseDay).value_or(DateTime());

    QV_TRY(table.beginBatch());
    std::string text;
    char buffer[16];
    for (std::uint32_t i = 0; i < count; ++i) {
        QV_TRY(table.appendBlank());
        if (!chance(8)) {
            const DateTime::Ymd day = base.addDays(static_cast<int>(rng() % 1096) - 548).ymd();
            std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", day.year, day.month, day.day);
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
