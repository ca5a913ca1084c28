#include "ui/HelpTopics.h"

#include <QResource>

#include <array>

// Q_INIT_RESOURCE must be used outside any namespace. Calling it from the code that reads the pages keeps the
// linker from dropping the compiled-in pages out of the static library.
static void initHelpResources()
{
    Q_INIT_RESOURCE(help);
}

namespace quorvo {

namespace {

struct Topic
{
    int context;
    const char* file;
    const char* title;
};

constexpr std::array kTopics{
    Topic{HelpTopics::Contents, "contents.html", "Contents"},
    Topic{HelpTopics::Faq, "faq.html", "Frequently Asked Questions"},
    Topic{HelpTopics::Support, "support.html", "Technical Support"},
    Topic{HelpTopics::Filter, "filter.html", "Filtering the Task List"},
    Topic{HelpTopics::TaskEditor, "task-editor.html", "The Task Editor and the Date Picker"},
    Topic{HelpTopics::TimePicker, "time-picker.html", "The Time Picker"},
    Topic{HelpTopics::ReportDialog, "reports.html", "Reports and Exports"},
    Topic{HelpTopics::PrintPreview, "preview.html", "The Print Preview"},
};

const Topic& topicFor(int context)
{
    for (const Topic& topic : kTopics) {
        if (topic.context == context)
            return topic;
    }
    return kTopics.front();
}

} // namespace

QList<int> HelpTopics::contexts()
{
    QList<int> result;
    for (const Topic& topic : kTopics)
        result.append(topic.context);
    return result;
}

bool HelpTopics::contains(int context)
{
    return topicFor(context).context == context;
}

QUrl HelpTopics::pageFor(int context)
{
    static const bool loaded = [] {
        initHelpResources();
        return true;
    }();
    Q_UNUSED(loaded);
    return QUrl(QStringLiteral("qrc:/help/") + QLatin1String(topicFor(context).file));
}

QString HelpTopics::titleOf(int context)
{
    return QString::fromLatin1(topicFor(context).title);
}

} // namespace quorvo
