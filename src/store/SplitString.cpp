#include "store/SplitString.h"

namespace quorvo {

void SplitString(const QString& text, const QString& delimiter, QStringList& list)
{
    if (delimiter.isEmpty()) {
        list.append(text);
        return;
    }
    qsizetype start = 0;
    for (;;) {
        const qsizetype found = text.indexOf(delimiter, start);
        if (found < 0) {
            list.append(text.sliced(start));
            return;
        }
        list.append(text.sliced(start, found - start));
        start = found + delimiter.size();
    }
}

} // namespace quorvo
