#include "store/TrimSpaces.h"

namespace quorvo {

QString TrimLeftSpaces(const QString& text)
{
    qsizetype begin = 0;
    while (begin < text.size() && text[begin] == u' ')
        ++begin;
    return text.sliced(begin);
}

QString TrimRightSpaces(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.first(end);
}

QString TrimSpaces(const QString& text)
{
    return TrimLeftSpaces(TrimRightSpaces(text));
}

} // namespace quorvo
