#include "tasks/FilterExpression.h"

#include "store/SplitString.h"
#include "store/TrimSpaces.h"
#include "store/Windows1252.h"
#include "store/xbase/Table.h"

#include <QStringList>

namespace quorvo {

namespace {

QString storedDate(const QDate& date)
{
    return date.toString(QStringLiteral("yyyyMMdd"));
}

// The clause of a DateFilterIndex, or empty for "All Dates" and numbers beyond the list.
QString dateClause(int index, const QDate& today)
{
    QString from = storedDate(today);
    QString to;
    switch (index) {
    case 1:
        to = from;
        break;
    case 2:
        from = to = storedDate(today.addDays(1));
        break;
    case 3:
        to = storedDate(today.addDays(7));
        break;
    case 4:
        to = storedDate(today.addDays(30));
        break;
    case 5:
        to = storedDate(today.addDays(365));
        break;
    case 6:
        from = QStringLiteral("19000101");
        to = storedDate(today.addDays(-1));
        break;
    default:
        return {};
    }
    return QStringLiteral("(DATE >=\"") + from + QStringLiteral("\" and DATE <=\"") + to + QStringLiteral("\")");
}

QString priorityClause(int index)
{
    switch (index) {
    case 1:
        return QStringLiteral("(PRIORITY=\"A\")");
    case 2:
        return QStringLiteral("(PRIORITY=\"B\")");
    case 3:
        return QStringLiteral("(PRIORITY=\"C\")");
    default:
        return {};
    }
}

} // namespace

QString FilterExpression::upperAsciiLetters(QString text)
{
    for (QChar& c : text)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    return text;
}

std::optional<QString> FilterExpression::quoted(const QString& text)
{
    if (!text.contains(u'"'))
        return u'"' + text + u'"';
    if (!text.contains(u'\''))
        return u'\'' + text + u'\'';
    // Inside [ ] only the closing bracket ends the constant.
    if (!text.contains(u']'))
        return u'[' + text + u']';
    return std::nullopt;
}

std::optional<QString> FilterExpression::build(const FilterCriteria& criteria, const QDate& today)
{
    QString expression;
    QString joiner;
    auto append = [&](const QString& clause) {
        expression += joiner + clause;
        joiner = QStringLiteral(".and.");
    };

    if (const QString clause = dateClause(criteria.dateFilterIndex, today); !clause.isEmpty())
        append(clause);
    if (const QString clause = priorityClause(criteria.priorityFilterIndex); !clause.isEmpty())
        append(clause);
    if (!criteria.showDoneTasks)
        append(QStringLiteral("(.not.DONE)"));

    if (!TrimSpaces(criteria.keysFilterText).isEmpty()) {
        // Empty pieces (",," or a trailing comma) stay: each gives a term that every task passes.
        QStringList pieces;
        SplitString(criteria.keysFilterText, QStringLiteral(","), pieces);
        QStringList terms;
        for (const QString& piece : pieces) {
            const std::optional<QString> key = quoted(upperAsciiLetters(TrimSpaces(piece)));
            if (!key)
                return std::nullopt;
            terms.append(*key + QStringLiteral("$UPPER(KEYS)"));
        }
        append(u'(' + terms.join(QStringLiteral(".or.")) + u')');
    }

    if (!criteria.taskFilterText.isEmpty()) {
        const std::optional<QString> text = quoted(upperAsciiLetters(criteria.taskFilterText));
        if (!text)
            return std::nullopt;
        append(u'(' + *text + QStringLiteral("$upper(DESCRIPT))"));
    }
    return expression;
}

QString FilterExpression::refusalText()
{
    return QStringLiteral("A filter text cannot hold the characters \", ' and ] all together.\rPlease leave one of "
                          "them out.");
}

xbase::Status FilterExpression::apply(xbase::Table& table, const QString& expression)
{
    bool encoded = true;
    const std::string bytes = Windows1252::fromUnicode(expression, &encoded);
    if (!encoded)
        return xbase::makeError(xbase::ErrorCode::BadArgument,
                                "the filter holds a character the task file cannot hold");
    QV_TRY(table.post());
    std::optional<xbase::Expression> compiled;
    if (!bytes.empty()) {
        auto tested = table.compile(bytes);
        if (!tested)
            return tested.error();
        compiled = std::move(*tested);
    }
    QV_TRY(table.setQuery(bytes));
    if (table.eof() || table.deleted() || (compiled && !compiled->evaluateLogical(table.record())))
        return table.goTop();
    return {};
}

} // namespace quorvo
