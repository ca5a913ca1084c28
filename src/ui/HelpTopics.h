#pragma once

#include <QList>
#include <QString>
#include <QUrl>

namespace quorvo {

// The help topics by the numbers the windows ask for, and where each one's page lives among the resources.
class HelpTopics
{
public:
    enum Context : int
    {
        Faq = 911,
        TaskEditor = 1004, // also the date picker
        ReportDialog = 1007,
        Contents = 1009,
        Support = 1012,
        PrintPreview = 1017,
        Filter = 1018,
        TimePicker = 2986,
    };

    static QList<int> contexts();
    static bool contains(int context);
    // The page of a topic; an unknown number gets the contents, so a window never opens on nothing.
    static QUrl pageFor(int context);
    static QString titleOf(int context);
};

} // namespace quorvo
