#pragma once

#include <QString>
#include <QUrl>

namespace quorvo {

// The names the program shows of itself: window and message captions, the about and configuration windows.
class ProgramIdentity
{
public:
    static QString title() { return QStringLiteral("Quorvo"); }
    static QString version() { return QStringLiteral("2.8b"); }
    // The program's web page. The .example domain is reserved, so nothing real is reached until the page exists.
    static QUrl webSite() { return QUrl(QStringLiteral("https://quorvo.example/")); }
};

} // namespace quorvo
