#pragma once

#include <QUrl>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;
class QToolButton;

namespace quorvo {

// The built-in help: one window that shows a topic at a time, with the usual back and forward through what was
// read, the list of topics beside it and a search box that narrows that list to the topics that mention what
// was typed. Links to other topics stay inside; a link to the web is handed out through webPageRequested.
class THelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit THelpWindow(QWidget* parent = nullptr);

    void showTopic(int context);
    // The page on show, for the window's title and for tests.
    QUrl currentPage() const;
    // Narrows the topic list to the topics that mention every word of text; empty text lists them all.
    void search(const QString& text);

signals:
    void webPageRequested(const QUrl& url);

private:
    void followLink(const QUrl& url);
    void updateTitle();
    void topicChosen();
    void markCurrentTopic(const QUrl& page);

    QLineEdit* m_searchBox;
    QListWidget* m_topicList;
    QTextBrowser* m_browser;
    QToolButton* m_contentsButton;
    QToolButton* m_backButton;
    QToolButton* m_forwardButton;
};

} // namespace quorvo
