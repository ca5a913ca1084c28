#include "reports/TextBoxLines.h"

#include <algorithm>

namespace quorvo {

TextBoxLines::TextBoxLines(const QFont& font, int widthPixels)
    : m_metrics(font), m_available(qMax(1, widthPixels - kFrameWidth))
{}

QStringList TextBoxLines::wrap(const QString& text) const
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\r' && text[i] != u'\n')
            continue;
        wrapParagraph(QStringView(text).mid(start, i - start), lines);
        if (i < text.size() && text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    return lines;
}

void TextBoxLines::wrapParagraph(QStringView paragraph, QStringList& out) const
{
    if (paragraph.isEmpty()) {
        out.append(QString());
        return;
    }
    qsizetype start = 0;
    while (start < paragraph.size()) {
        double width = 0;
        qsizetype end = start;
        qsizetype lastBreak = -1; // index after the spaces that follow the last word that fits
        while (end < paragraph.size()) {
            const QChar c = paragraph[end];
            if (c == u' ') {
                // Spaces never push a line over: the box keeps them at the end of the line.
                while (end < paragraph.size() && paragraph[end] == u' ')
                    width += m_metrics.horizontalAdvance(paragraph[end++]);
                lastBreak = end;
                continue;
            }
            const double next = width + m_metrics.horizontalAdvance(c);
            if (next > m_available && end > start)
                break;
            width = next;
            ++end;
        }
        if (end < paragraph.size() && lastBreak > start)
            end = lastBreak;
        out.append(paragraph.mid(start, qMin(end - start, kMaxLineLength)).toString());
        start = end;
    }
}

QStringList TextBoxLines::reportLines(const QString& text) const
{
    QStringList lines = wrap(text);
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    if (lines.size() == 1 &&
        std::all_of(lines.front().cbegin(), lines.front().cend(), [](QChar c) { return c == u' '; }))
        lines.clear();
    return lines;
}

} // namespace quorvo
