#pragma once

#include "ui/HelpService.h"

#include <QList>
#include <QUrl>

namespace quorvo {

// Keeps every help topic and web page asked for, and opens nothing.
class RecordingHelpService final : public HelpService
{
public:
    void showTopic(int context) override { topics.append(context); }
    void openWebPage(const QUrl& url) override { pages.append(url); }

    QList<int> topics;
    QList<QUrl> pages;
};

} // namespace quorvo
