#include "ui/THelpWindow.h"

#include "ui/HelpTopics.h"
#include "ui/ProgramIdentity.h"

#include <QHBoxLayout>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace quorvo {

THelpWindow::THelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), m_browser(new QTextBrowser(this)), m_contentsButton(new QToolButton(this)),
      m_backButton(new QToolButton(this)), m_forwardButton(new QToolButton(this))
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

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    connect(m_contentsButton, &QToolButton::clicked, this, [this] { showTopic(HelpTopics::Contents); });
    connect(m_backButton, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forwardButton, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_backButton, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forwardButton, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &THelpWindow::followLink);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &THelpWindow::updateTitle);

    resize(560, 480);
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

void THelpWindow::updateTitle()
{
    const QString page = m_browser->documentTitle();
    const QString program = ProgramIdentity::title() + tr(" Help");
    setWindowTitle(page.isEmpty() ? program : program + QStringLiteral(" - ") + page);
}

} // namespace quorvo
