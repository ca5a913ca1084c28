#include "dialogs/TReportPrint.h"

#include "reports/PageStream.h"
#include "reports/PageStreamDevice.h"
#include "reports/PagedReportDevice.h"
#include "reports/PrintedReportLayout.h"
#include "store/Messages.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <memory>

namespace quorvo {

namespace {

QFont boldArial13()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

} // namespace

TReportPrint::TReportPrint(TodoTable& table, const DateFormats& formats, QWidget* parent)
    : QDialog(parent), m_table(table), m_formats(formats)
{
    setObjectName(QStringLiteral("ReportPrint"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(kClientWidth, kClientHeight);
    setModal(true);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(1, 1, 361, 78);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);

    Label1 = new QLabel(panel);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(panel->contentsRect());
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(boldArial13());
    Label1->setTextFormat(Qt::PlainText);

    CancelButton = new QPushButton(tr("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setFont(boldArial13());
    CancelButton->setGeometry(144, 91, 75, 25);
    CancelButton->setAutoDefault(false);
    connect(CancelButton, &QPushButton::clicked, this, &TReportPrint::CancelButtonClick);

    m_engine.setStatusSink([this](const QString& text) { showStatus(text); });
}

void TReportPrint::usePrinter(QPrinter* printer)
{
    m_printer = printer;
    m_stream = nullptr;
    setWindowTitle(QStringLiteral("Print Status"));
    CancelButton->setText(QStringLiteral("Cancel"));
}

void TReportPrint::usePageStream(PageStream* stream)
{
    m_stream = stream;
    m_printer = nullptr;
    setWindowTitle(QStringLiteral("Preview Status"));
    CancelButton->setText(QStringLiteral("Stop"));
}

void TReportPrint::showStatus(const QString& text)
{
    Label1->setText(text);
    // The one place a run lets the window system in: Cancel and Stop take effect here.
    QCoreApplication::processEvents();
}

void TReportPrint::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_started)
        QTimer::singleShot(0, this, &TReportPrint::FormActivate);
}

void TReportPrint::FormActivate()
{
    if (m_started)
        return;
    m_started = true;
    m_running = true;

    PrintedReportLayout layout(m_engine, m_table, m_formats, m_settings);
    QFont wrapFont = font();
    wrapFont.setPixelSize(13);
    layout.setWrapFont(wrapFont);
    if (const QScreen* s = screen())
        layout.setScreenDpi(s->logicalDotsPerInchX());
    layout.setStopFlag(&m_stopRequested);
    layout.attach();

    std::unique_ptr<ReportDevice> device;
    if (m_printer) {
        m_printer->setDocName(QStringLiteral("Test Report"));
        device = std::make_unique<PagedReportDevice>(*m_printer);
    } else if (m_stream) {
        device = std::make_unique<PageStreamDevice>(*m_stream);
    }
    const bool printing = m_printer != nullptr;
    if (device)
        m_engine.execute(*device);
    else
        m_engine.abort();
    m_running = false;
    m_finished = true;

    CancelButton->setText(QStringLiteral("OK"));
    CancelButton->setDefault(true);
    QString end;
    if (m_engine.aborted())
        end = printing ? QStringLiteral("\rPrint Canceled!") : QStringLiteral("\rPreview Canceled!");
    else if (m_stopRequested)
        end = QStringLiteral("\rPreview Stopped at page %p!");
    else
        end = printing ? QStringLiteral("\rPrint Completed!") : QStringLiteral("\rPreview Ready!");
    m_engine.setStatusFormat(end);
    Label1->setText(m_engine.statusLine());
    if (m_cancelPressed)
        QMetaObject::invokeMethod(this, &QDialog::accept, Qt::QueuedConnection);
}

void TReportPrint::CancelButtonClick()
{
    if (m_finished) {
        accept();
        return;
    }
    if (!m_running)
        return;
    m_cancelPressed = true;
    if (m_stream) {
        m_stopRequested = true;
        return;
    }
    if (AskYesNoInfo(QStringLiteral("Cancel Printing?")))
        m_engine.abort();
}

void TReportPrint::reject()
{
    CancelButtonClick();
}

void TReportPrint::closeEvent(QCloseEvent* event)
{
    if (!m_finished) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace quorvo
