#include "ui/DesktopHelpService.h"

#include "ui/THelpWindow.h"

#include <QDesktopServices>

namespace quorvo {

DesktopHelpService::~DesktopHelpService()
{
    delete m_window;
}

void DesktopHelpService::showTopic(int context)
{
    if (!m_window) {
        m_window = new THelpWindow;
        QObject::connect(m_window, &THelpWindow::webPageRequested, m_window,
                         [this](const QUrl& url) { openWebPage(url); });
    }
    m_window->showTopic(context);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void DesktopHelpService::openWebPage(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}

} // namespace quorvo
