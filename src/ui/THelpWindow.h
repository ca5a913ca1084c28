#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace quorvo {

// The built-in help: one window that shows a topic at a time, with the usual back and forward through what was
// read. Links to other topics stay inside; a link to the web is handed out through webPageRequested.
class THelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit THelpWindow(QWidget* parent = nullptr);

    void showTopic(int context);
    // The page on show, for the window's title and for tests.
    QUrl currentPage() const;

signals:
    void webPageRequested(const QUrl& url);

private:
    void followLink(const QUrl& url);
    void updateTitle();

    QTextBrowser* m_browser;
    QToolButton* m_contentsButton;
    QToolButton* m_backButton;
    QToolButton* m_forwardButton;
};

} // namespace quorvo
