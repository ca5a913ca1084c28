#include "store/PadNoteText.h"

namespace quorvo {

qsizetype NoteTextLength(QStringView text)
{
    qsizetype length = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            length += 2;
            ++i;
        } else if (text[i] == u'\r' || text[i] == u'\n') {
            length += 2;
        } else {
            ++length;
        }
    }
    return length;
}

bool NoteNeedsPadding(QStringView text)
{
    const qsizetype length = NoteTextLength(text);
    return length > 0 && length % 4 == 0;
}

QString PadNoteText(const QString& text)
{
    return NoteNeedsPadding(text) ? text + u' ' : text;
}

void PadNoteText(QStringList& lines)
{
    if (lines.isEmpty())
        return;
    qsizetype length = 2 * (lines.size() - 1);
    for (const QString& line : lines)
        length += NoteTextLength(line);
    if (length > 0 && length % 4 == 0)
        lines.back() += u' ';
}

} // namespace quorvo
