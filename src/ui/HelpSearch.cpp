#include "ui/HelpSearch.h"

#include "ui/HelpTopics.h"

#include <QFile>
#include <QTextDocument>

namespace quorvo {

HelpSearch::HelpSearch()
{
    for (int context : HelpTopics::contexts()) {
        const QUrl page = HelpTopics::pageFor(context);
        QFile file(QLatin1Char(':') + page.path());
        QTextDocument document;
        if (file.open(QIODevice::ReadOnly))
            document.setHtml(QString::fromUtf8(file.readAll()));
        m_entries.append({context, HelpTopics::titleOf(context) + u'\n' + document.toPlainText()});
    }
}

QList<int> HelpSearch::find(const QString& query) const
{
    const QStringList words = query.simplified().split(u' ', Qt::SkipEmptyParts);
    QList<int> found;
    for (const Entry& entry : m_entries) {
        bool all = true;
        for (const QString& word : words)
            all = all && entry.text.contains(word, Qt::CaseInsensitive);
        if (all)
            found.append(entry.context);
    }
    return found;
}

} // namespace quorvo
