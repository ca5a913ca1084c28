#pragma once

// What the filter and the bulk deletions mean, written from the rules a user reads rather than from the
// expression: a plain predicate over a task's stored bytes that the engine's view must agree with.
#include "support/TaskTableFixture.h"
#include "tasks/FilterCriteria.h"

#include "store/Windows1252.h"

#include <QDate>
#include <QRandomGenerator>
#include <QStringList>

#include <string>
#include <vector>

namespace quorvo::oracle {

inline std::string upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return text;
}

inline std::string padded(const std::string& text, std::size_t width)
{
    std::string out = text.substr(0, width);
    out.resize(width, ' ');
    return out;
}

inline std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

inline std::string stored(const QDate& date)
{
    return date.toString("yyyyMMdd").toStdString();
}

// Whether a task passes the criteria on the given day.
inline bool passes(const TaskSpec& task, const FilterCriteria& c, const QDate& today)
{
    const std::string date = padded(task.date, 8);
    QDate from = today, to = today;
    switch (c.dateFilterIndex) {
    case 2:
        from = to = today.addDays(1);
        break;
    case 3:
        to = today.addDays(7);
        break;
    case 4:
        to = today.addDays(30);
        break;
    case 5:
        to = today.addDays(365);
        break;
    case 6:
        from = QDate(1900, 1, 1);
        to = today.addDays(-1);
        break;
    }
    if (c.dateFilterIndex != 0 && !(date >= stored(from) && date <= stored(to)))
        return false;
    if (c.priorityFilterIndex != 0 && padded(task.priority, 1) != std::string(1, char('A' + c.priorityFilterIndex - 1)))
        return false;
    if (!c.showDoneTasks && task.done)
        return false;
    const std::string keys = upper(padded(task.keys, 60));
    if (!trimmed(Windows1252::fromUnicode(c.keysFilterText)).empty()) {
        bool any = false;
        for (const QString& piece : c.keysFilterText.split(u','))
            any = any || keys.find(upper(trimmed(Windows1252::fromUnicode(piece)))) != std::string::npos;
        if (!any)
            return false;
    }
    if (!c.taskFilterText.isEmpty() &&
        upper(padded(task.descript, 50)).find(upper(Windows1252::fromUnicode(c.taskFilterText))) == std::string::npos)
        return false;
    return true;
}

// Tasks that make the rules' corners likely: dates around today and blank ones, lower-case and blank
// priorities, key words and descriptions with quotes, brackets and Windows-1252 letters.
inline std::vector<TaskSpec> randomTasks(QRandomGenerator& rng, int count, const QDate& today)
{
    const std::vector<std::string> words{"work", "homework", "Home", "caf\xE9", "CAF\xC9", "say\"hi",
                                         "it's", "[x]",      "car",  "a,b",     "urgent"};
    const std::vector<std::string> texts{"Call \"Bob\"", "Fix the car", "Buy r\xE9sum\xE9 paper", "it's [late]",
                                         "HOMEWORK due", "pay bill",    "say \"hi\" it's [me]",   "   padded"};
    const std::vector<std::string> priorities{"A", "B", "C", "a", "", "X"};
    std::vector<TaskSpec> tasks;
    for (int i = 0; i < count; ++i) {
        TaskSpec task;
        const int pick = int(rng.bounded(20));
        if (pick == 0)
            task.date = "";
        else if (pick == 1)
            task.date = "18991231";
        else
            task.date = stored(today.addDays(int(rng.bounded(420)) - 40));
        task.descript = texts[rng.bounded(int(texts.size()))];
        for (int k = int(rng.bounded(3)); k > 0; --k)
            task.keys += (task.keys.empty() ? "" : " ") + words[rng.bounded(int(words.size()))];
        task.priority = priorities[rng.bounded(int(priorities.size()))];
        task.done = rng.bounded(4) == 0;
        tasks.push_back(task);
    }
    return tasks;
}

inline FilterCriteria randomCriteria(QRandomGenerator& rng)
{
    const QStringList pieces{"work", " HOME ", "caf\u00e9", "say\"hi", "it's", "[x]", "", " ", "car", "b"};
    const QStringList texts{"",    "",          "call", "\"bob\"", "it's", "[LATE]", "r\u00e9sum\u00e9",
                            "due", "\" it's [", " ",    "\"it's]"};
    FilterCriteria c;
    c.dateFilterIndex = int(rng.bounded(7));
    c.priorityFilterIndex = int(rng.bounded(4));
    QStringList keys;
    for (int k = int(rng.bounded(4)); k > 0; --k)
        keys.append(pieces[rng.bounded(int(pieces.size()))]);
    c.keysFilterText = keys.join(rng.bounded(2) ? "," : ", ");
    c.taskFilterText = texts[rng.bounded(int(texts.size()))];
    c.showDoneTasks = rng.bounded(2) == 0;
    return c;
}

} // namespace quorvo::oracle
