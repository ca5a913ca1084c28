#include "ui/THelpWindow.h"

#include "ui/HelpSearch.h"
#include "ui/HelpTopics.h"
#include "ui/ProgramIdentity.h"
#include "ui/ProgramLogo.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QSplitter>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace quorvo {

THelpWindow::THelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), m_searchBox(new QLineEdit(this)), m_topicList(new QListWidget(this)),
      m_browser(new QTextBrowser(this)), m_contentsButton(new QToolButton(this)), m_backButton(new QToolButton(this)),
      m_forwardButton(new QToolButton(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    // Pages are followed here, not by the browser, so that a web link never turns into a page of the help.
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);

    m_contentsButton->setObjectName(QStringLiteral("HelpContentsButton"));
    m_contentsButton->setText(tr("&Contents"));
    m_backButton->setObjectName(QStringLiteral("HelpBackButton"));
    m_backButton->setText(tr("&Back"));
    m_backButton->setEnabled(false);
    m_forwardButton->setObjectName(QStringLiteral("HelpForwardButton"));
    m_forwardButton->setText(tr("&Forward"));
    m_forwardButton->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_contentsButton);
    buttons->addWidget(m_backButton);
    buttons->addWidget(m_forwardButton);
    buttons->addStretch();

    m_searchBox->setObjectName(QStringLiteral("HelpSearch"));
    m_searchBox->setPlaceholderText(tr("Search"));
    m_searchBox->setClearButtonEnabled(true);
    m_topicList->setObjectName(QStringLiteral("HelpTopicList"));
    for (int context : HelpTopics::contexts()) {
        auto* item = new QListWidgetItem(HelpTopics::titleOf(context), m_topicList);
        item->setData(Qt::UserRole, context);
    }

    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(m_searchBox);
    sideLayout->addWidget(m_topicList);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(side);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 520});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addWidget(splitter);
    setWindowIcon(ProgramLogo::icon());

    connect(m_contentsButton, &QToolButton::clicked, this, [this] { showTopic(HelpTopics::Contents); });
    connect(m_backButton, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forwardButton, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_backButton, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forwardButton, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &THelpWindow::followLink);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &THelpWindow::updateTitle);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &THelpWindow::markCurrentTopic);
    connect(m_searchBox, &QLineEdit::textChanged, this, &THelpWindow::search);
    connect(m_searchBox, &QLineEdit::returnPressed, this, [this] {
        for (int row = 0; row < m_topicList->count(); ++row) {
            if (!m_topicList->item(row)->isHidden()) {
                m_topicList->setCurrentRow(row);
                topicChosen();
                return;
            }
        }
    });
    connect(m_topicList, &QListWidget::itemActivated, this, &THelpWindow::topicChosen);
    connect(m_topicList, &QListWidget::itemClicked, this, &THelpWindow::topicChosen);

    resize(780, 540);
    updateTitle();
}

void THelpWindow::showTopic(int context)
{
    m_browser->setSource(HelpTopics::pageFor(context));
}

QUrl THelpWindow::currentPage() const
{
    return m_browser->source();
}

void THelpWindow::followLink(const QUrl& url)
{
    const QUrl target = m_browser->source().resolved(url);
    if (target.scheme() == QLatin1String("qrc"))
        m_browser->setSource(target);
    else
        emit webPageRequested(target);
}

void THelpWindow::search(const QString& text)
{
    static const HelpSearch index;
    const QList<int> found = index.find(text);
    for (int row = 0; row < m_topicList->count(); ++row) {
        QListWidgetItem* item = m_topicList->item(row);
        item->setHidden(!found.contains(item->data(Qt::UserRole).toInt()));
    }
}

void THelpWindow::topicChosen()
{
    QListWidgetItem* item = m_topicList->currentItem();
    if (!item || item->isHidden())
        return;
    showTopic(item->data(Qt::UserRole).toInt());
    // The first place the search words appear, so the reader need not look for them.
    const QStringList words = m_searchBox->text().simplified().split(u' ', Qt::SkipEmptyParts);
    if (!words.isEmpty())
        m_browser->find(words.first());
}

void THelpWindow::markCurrentTopic(const QUrl& page)
{
    for (int row = 0; row < m_topicList->count(); ++row) {
        QListWidgetItem* item = m_topicList->item(row);
        if (HelpTopics::pageFor(item->data(Qt::UserRole).toInt()) == page) {
            const QSignalBlocker quiet(m_topicList);
            m_topicList->setCurrentItem(item);
        }
    }
}

void THelpWindow::updateTitle()
{
    const QString page = m_browser->documentTitle();
    const QString program = ProgramIdentity::title() + tr(" Help");
    setWindowTitle(page.isEmpty() ? program : program + QStringLiteral(" - ") + page);
}

} // namespace quorvo
