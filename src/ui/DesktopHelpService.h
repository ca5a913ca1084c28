#pragma once

#include "ui/HelpService.h"

#include <QPointer>

namespace quorvo {

class THelpWindow;

// Help as the program gives it: the built-in help window, raised with the topic asked for, and web pages in the
// desktop's browser.
class DesktopHelpService final : public HelpService
{
public:
    DesktopHelpService() = default;
    ~DesktopHelpService() override;
    DesktopHelpService(const DesktopHelpService&) = delete;
    DesktopHelpService& operator=(const DesktopHelpService&) = delete;

    void showTopic(int context) override;
    void openWebPage(const QUrl& url) override;

private:
    // The window has no parent, so that the help stays open beside a modal dialog that asked for it.
    QPointer<THelpWindow> m_window;
};

} // namespace quorvo
