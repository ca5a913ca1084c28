#include "dialogs/TPreviewForm.h"

#include "mainwindow/WindowPlacement.h"
#include "ui/ButtonPanel.h"
#include "ui/HelpService.h"
#include "ui/HelpTopics.h"
#include "ui/PopupHelp.h"
#include "ui/TFilePreview.h"

#include "reports/PageStream.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace quorvo {

QCursor MagnifyCursor()
{
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 4));
    painter.drawEllipse(QRectF(3, 3, 16, 16));
    painter.drawLine(QPointF(17, 17), QPointF(28, 28));
    painter.setPen(QPen(Qt::black, 2));
    painter.drawEllipse(QRectF(3, 3, 16, 16));
    painter.setPen(QPen(Qt::black, 3));
    painter.drawLine(QPointF(17, 17), QPointF(28, 28));
    painter.end();
    return QCursor(picture, 11, 11);
}

TPreviewForm::TPreviewForm(const QString& preferencesFile, QWidget* mainWindow, HelpService* help, QWidget* parent)
    : QDialog(parent), m_preferencesFile(preferencesFile), m_help(help), m_popupHelp(new PopupHelp(this))
{
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(13);
    setFont(arial);
    resize(kClientWidth, kClientHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    ScrollBox1->setCursor(MagnifyCursor());
    ScrollBox1->viewport()->installEventFilter(this);
    // Up and Down scroll through the window's own key handler.
    ScrollBox1->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(ScrollBox1, 1);

    Panel2 = new ButtonPanel(QStringLiteral("Panel2"), kButtonBarHeight, this);
    layout->addWidget(Panel2);
    ReturnButton = Panel2->addButton(QStringLiteral("ReturnButton"), QStringLiteral("Ok"));
    ReturnButton->setDefault(true);
    sbZoomIn = addPictureButton(QStringLiteral("sbZoomIn"), QStyle::SP_ArrowUp, QStringLiteral("zoom-in"));
    sbZoomOut = addPictureButton(QStringLiteral("sbZoomOut"), QStyle::SP_ArrowDown, QStringLiteral("zoom-out"));
    sbZoomPageWidth = addPictureButton(QStringLiteral("sbZoomPageWidth"), QStyle::SP_TitleBarMaxButton,
                                       QStringLiteral("zoom-fit-width"));
    sbZoomPage = addPictureButton(QStringLiteral("sbZoomPage"), QStyle::SP_FileIcon, QStringLiteral("zoom-fit-best"));
    zbZoom100 = Panel2->addButton(QStringLiteral("zbZoom100"), QStringLiteral("100%"));
    sbFirstPage =
        addPictureButton(QStringLiteral("sbFirstPage"), QStyle::SP_MediaSkipBackward, QStringLiteral("go-first"));
    sbPrevPage =
        addPictureButton(QStringLiteral("sbPrevPage"), QStyle::SP_MediaSeekBackward, QStringLiteral("go-previous"));
    sbNextPage = addPictureButton(QStringLiteral("sbNextPage"), QStyle::SP_MediaSeekForward, QStringLiteral("go-next"));
    sbLastPAge = addPictureButton(QStringLiteral("sbLastPAge"), QStyle::SP_MediaSkipForward, QStringLiteral("go-last"));
    Panel2->addStretch();
    Helpbutton = Panel2->addButton(QStringLiteral("Helpbutton"), QStringLiteral("Help"));
    MouseHelpButton = Panel2->addButton(QStringLiteral("MouseHelpButton"), QString());
    MouseHelpButton->setIcon(PopupHelp::mouseHelpIcon());
    for (QPushButton* button : Panel2->findChildren<QPushButton*>())
        button->setFocusPolicy(Qt::NoFocus);

    FilePreview1 = new TFilePreview(this);
    FilePreview1->setObjectName(QStringLiteral("FilePreview1"));
    connect(FilePreview1, &TFilePreview::pageChanged, this, &TPreviewForm::FilePreview1PageChange);
    connect(FilePreview1, &TFilePreview::zoomChanged, this, &TPreviewForm::FilePreview1PageChange);

    connect(ReturnButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(sbZoomIn, &QPushButton::clicked, FilePreview1, &TFilePreview::zoomIn);
    connect(sbZoomOut, &QPushButton::clicked, FilePreview1, &TFilePreview::zoomOut);
    connect(sbZoomPageWidth, &QPushButton::clicked, this,
            [this] { FilePreview1->setZoom(FilePreview1->zoomPageWidthFactor()); });
    connect(sbZoomPage, &QPushButton::clicked, this, [this] { FilePreview1->setZoom(FilePreview1->zoomPageFactor()); });
    connect(zbZoom100, &QPushButton::clicked, this, [this] { FilePreview1->setZoom(100); });
    connect(sbFirstPage, &QPushButton::clicked, this, [this] { FilePreview1->showPage(FilePreview1->firstPage()); });
    connect(sbPrevPage, &QPushButton::clicked, FilePreview1, &TFilePreview::prevPage);
    connect(sbNextPage, &QPushButton::clicked, FilePreview1, &TFilePreview::nextPage);
    connect(sbLastPAge, &QPushButton::clicked, this, [this] { FilePreview1->showPage(FilePreview1->pages()); });
    connect(Helpbutton, &QPushButton::clicked, this, [this] {
        if (m_help)
            m_help->showTopic(HelpTopics::PrintPreview);
    });
    connect(MouseHelpButton, &QPushButton::clicked, this, [] { PopupHelp::enterWhatsThisMode(); });
    connect(m_popupHelp, &PopupHelp::moreHelpRequested, this, [this] {
        if (m_help)
            m_help->showTopic(HelpTopics::PrintPreview);
    });

    const std::pair<QWidget*, const char*> texts[] = {
        {ReturnButton, "Click to return to the previous screen"},
        {sbZoomIn, "Click here to Zoom in."},
        {sbZoomOut, "Click here to Zoom out."},
        {sbZoomPageWidth, "Click here to make the width of the page fit into the preview."},
        {sbZoomPage, "Click here to see the full page."},
        {zbZoom100, "Click here to make the preview 100% of actual size"},
        {sbFirstPage, "Click here to see the first page"},
        {sbPrevPage, "Click here to see the previous page."},
        {sbNextPage, "Click here to see the next page."},
        {sbLastPAge, "Click here to see the last page"},
        {Helpbutton, "Click to bring up Windows Help for the program"},
    };
    for (const auto& [control, text] : texts)
        m_popupHelp->attach(control, QString::fromLatin1(text));

    // FormCreate: the placement of the last preview, or placed like any dialog the first time.
    if (!m_preferencesFile.isEmpty())
        RestoreWindowPlacement(this, m_preferencesFile, mainWindow);
}

TPreviewForm::~TPreviewForm() = default;

QPushButton* TPreviewForm::addPictureButton(const QString& name, QStyle::StandardPixmap fallback, const QString& theme)
{
    QPushButton* button = Panel2->addButton(name, QString());
    button->setIcon(QIcon::fromTheme(theme, style()->standardIcon(fallback)));
    button->setMinimumWidth(36);
    button->setMaximumWidth(40);
    return button;
}

void TPreviewForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_firstActivation)
        QTimer::singleShot(0, this, &TPreviewForm::FormActivate);
}

void TPreviewForm::FormActivate()
{
    if (!m_firstActivation)
        return;
    PopupHelp::useWindowColour();
    FilePreview1->setScreenDpi(logicalDpiX());
    FilePreview1->start(m_stream, ScrollBox1);
    if (m_openingZoom == double(WholePage))
        FilePreview1->setZoom(FilePreview1->zoomPageFactor());
    else if (m_openingZoom == double(PageWidth))
        FilePreview1->setZoom(FilePreview1->zoomPageWidthFactor());
    else
        FilePreview1->setZoom(m_openingZoom);
    connect(FilePreview1->pageWidget(), &PreviewPage::pressed, this, &TPreviewForm::ScrollBoxMouseDown,
            Qt::UniqueConnection);
    if (FilePreview1->pages() < 2) {
        for (QPushButton* button : {sbFirstPage, sbPrevPage, sbNextPage, sbLastPAge})
            button->hide();
    }
    m_firstActivation = false;
}

void TPreviewForm::FilePreview1PageChange()
{
    const int position = FilePreview1->currentPage() - FilePreview1->firstPage() + 1;
    setWindowTitle(QStringLiteral("Preview Page %1 of %2 ( %3% )")
                       .arg(position)
                       .arg(FilePreview1->pages())
                       .arg(qRound(FilePreview1->zoom())));
}

void TPreviewForm::ScrollBoxMouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        FilePreview1->zoomIn();
    else
        FilePreview1->zoomOut();
}

bool TPreviewForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ScrollBox1->viewport() && event->type() == QEvent::MouseButtonPress) {
        ScrollBoxMouseDown(static_cast<QMouseEvent*>(event)->button());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TPreviewForm::keyPressEvent(QKeyEvent* event)
{
    QScrollBar* bar = ScrollBox1->verticalScrollBar();
    if (event->key() == Qt::Key_Up) {
        bar->setValue(qMax(0, bar->value() - bar->singleStep()));
        return;
    }
    if (event->key() == Qt::Key_Down) {
        bar->setValue(qMin(bar->maximum(), bar->value() + bar->singleStep()));
        return;
    }
    QDialog::keyPressEvent(event);
}

void TPreviewForm::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    if (FilePreview1->busy())
        FilePreview1->finish();
    if (!m_preferencesFile.isEmpty())
        SaveWindowPlacement(this, m_preferencesFile);
}

void TPreviewForm::closeEvent(QCloseEvent* event)
{
    FormClose();
    QDialog::closeEvent(event);
}

void TPreviewForm::done(int result)
{
    FormClose();
    QDialog::done(result);
}

} // namespace quorvo
