#pragma once

#include <QUrl>

namespace quorvo {

// Everything that leaves a window for help: a topic of the built-in help by its number, or a web page in the
// user's browser. Windows take one of these so that tests can see what was asked without a browser opening.
class HelpService
{
public:
    virtual ~HelpService() = default;

    virtual void showTopic(int context) = 0;
    virtual void openWebPage(const QUrl& url) = 0;
};

} // namespace quorvo
