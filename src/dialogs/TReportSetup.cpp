#include "dialogs/TReportSetup.h"

#include "dialogs/ReportPrinting.h"
#include "mainwindow/Windows1252Validator.h"
#include "reports/ColorText.h"
#include "reports/HtmlExport.h"
#include "reports/ICalExport.h"
#include "reports/ReportExport.h"
#include "reports/RtfExport.h"
#include "reports/TextExport.h"
#include "store/Messages.h"
#include "store/TodoTable.h"
#include "store/Windows1252.h"
#include "tasks/TaskUid.h"
#include "ui/DialogFont.h"
#include "ui/FileDialogs.h"
#include "ui/HelpService.h"
#include "ui/HelpTopics.h"
#include "ui/PopupHelp.h"
#include "ui/PrintingService.h"
#include "ui/TGraphicPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>

namespace quorvo {

namespace {

constexpr int kPageLeft = 8;
constexpr int kPageTop = 8;
constexpr int kPageWidth = 591;
constexpr int kPageHeight = 326;
constexpr int kFieldLeft = 16;
constexpr int kFieldWidth = 380;
constexpr int kButtonLeft = 440;
constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 27;
// The pump lets the window repaint this often while an export walks the table.
constexpr qint64 kPumpIntervalMs = 40;
// This dialog's pop-up texts wrap narrower than the main window's.
constexpr int kPopupTextWidth = 200;

QByteArray bytesOf(const QString& text)
{
    // The title edits refuse what Windows-1252 cannot hold, so nothing is lost here.
    const std::string bytes = Windows1252::fromUnicode(text);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

TReportSetup::TReportSetup(TodoTable& table, const DateFormats& formats, HelpService& help, const QString& programDir,
                           QWidget* parent)
    : QDialog(parent), m_table(table), m_formats(formats), m_help(help), m_programDir(programDir),
      m_popupHelp(new PopupHelp(this, kPopupTextWidth))
{
    FormCreate();
    m_printing = new ReportPrinting(*this, table, formats, help, programDir);
}

TReportSetup::~TReportSetup() = default;

void TReportSetup::FormCreate()
{
    setObjectName(QStringLiteral("ReportSetup"));
    setWindowTitle(tr("Print Report"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(kClientWidth, kClientHeight);
    setModal(true);
    setFont(DialogFont());

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("Notebook1"));
    m_pages->setFrameShape(QFrame::Panel);
    m_pages->setFrameShadow(QFrame::Raised);
    m_pages->setGeometry(kPageLeft, kPageTop, kPageWidth, kPageHeight);
    m_pages->addWidget(createPrintedReportPage());
    m_pages->addWidget(createHtmlPage());
    m_pages->addWidget(createRtfPage());
    m_pages->addWidget(createTextPage());
    m_pages->addWidget(createICalPage());

    m_tabSet1 = new QTabBar(this);
    m_tabSet1->setObjectName(QStringLiteral("TabSet1"));
    m_tabSet1->setShape(QTabBar::RoundedSouth);
    m_tabSet1->setDrawBase(false);
    m_tabSet1->setExpanding(false);
    for (const QString& caption :
         {tr("Printed Report"), tr("HTML Document"), tr("RTF File"), tr("Text File"), tr("iCalendar")})
        m_tabSet1->addTab(caption);
    m_tabSet1->setGeometry(kPageLeft, kPageTop + kPageHeight, kPageWidth, 24);
    connect(m_tabSet1, &QTabBar::currentChanged, this, &TReportSetup::TabSet1Click);

    m_returnButton = new QPushButton(tr("Ok"), this);
    m_returnButton->setObjectName(QStringLiteral("ReturnButton"));
    m_returnButton->setGeometry(365, 378, 75, kButtonHeight);
    m_returnButton->setDefault(true);
    m_returnButton->setAutoDefault(true);
    connect(m_returnButton, &QPushButton::clicked, this, &TReportSetup::ReturnButtonClick);
    m_popupHelp->attach(m_returnButton, tr("Click here to return to the main screen"));

    m_helpButton = new QPushButton(tr("Help"), this);
    m_helpButton->setObjectName(QStringLiteral("Helpbutton"));
    m_helpButton->setGeometry(448, 378, 75, kButtonHeight);
    m_helpButton->setAutoDefault(false);
    connect(m_helpButton, &QPushButton::clicked, this, &TReportSetup::HelpButtonClick);

    m_mouseHelpButton = new QPushButton(this);
    m_mouseHelpButton->setObjectName(QStringLiteral("MouseHelpButton"));
    m_mouseHelpButton->setIcon(PopupHelp::mouseHelpIcon());
    m_mouseHelpButton->setGeometry(531, 378, 30, kButtonHeight);
    m_mouseHelpButton->setAutoDefault(false);
    connect(m_mouseHelpButton, &QPushButton::clicked, this, &TReportSetup::MouseHelpButtonClick);

    connect(m_popupHelp, &PopupHelp::moreHelpRequested, this, &TReportSetup::HelpButtonClick);

    LoadPreferences();
    setColor(m_colorDialogColor);
    m_tabSet1->setCurrentIndex(PrintedReportPage);
    m_pages->setCurrentIndex(PrintedReportPage);
}

QLineEdit* TReportSetup::addTitleEdit(QWidget* page, const char* name, const QString& label, const QString& help)
{
    auto* edit = new QLineEdit(page);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(kFieldLeft, 34, kFieldWidth, 21);
    edit->setValidator(new Windows1252Validator(edit));
    auto* caption = new QLabel(label, page);
    caption->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
    caption->setGeometry(kFieldLeft, 16, kFieldWidth, 16);
    caption->setBuddy(edit);
    m_popupHelp->attach(edit, help);
    m_popupHelp->attach(caption, help);
    return edit;
}

QCheckBox* TReportSetup::addCheckBox(QWidget* page, const char* name, const QString& caption, int y,
                                     const QString& help)
{
    auto* box = new QCheckBox(caption, page);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(kFieldLeft, y, 250, 20);
    m_popupHelp->attach(box, help);
    return box;
}

QPushButton* TReportSetup::addButton(QWidget* page, const char* name, const QString& caption, int y,
                                     const QString& help)
{
    auto* button = new QPushButton(caption, page);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(kButtonLeft, y, kButtonWidth, kButtonHeight);
    button->setAutoDefault(false);
    m_popupHelp->attach(button, help);
    return button;
}

QWidget* TReportSetup::createPrintedReportPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("PrintedReportPage"));
    m_reportTitleField = addTitleEdit(page, "ReportTitleField", tr("Report Title"),
                                      tr("Enter a title to be printed at the top of the report"));
    m_printMemoBox = addCheckBox(page, "PrintMemoBox", tr("Print Notes"), 72,
                                 tr("Select this option to also print the notes information"));
    m_printCheckBox = addCheckBox(page, "PrintCheckBox", tr("Print Checkbox"), 98,
                                  tr("Select this option to also print a small checkbox next to each task (for your "
                                     "use in checking them off)"));
    m_doubleSpace = addCheckBox(page, "DoubleSpace", tr("Double Spaced"), 124,
                                tr("Select this option to use double-space printing"));
    m_printKeywords = addCheckBox(page, "PrintKeywords", tr("Print Keywords"), 150,
                                  tr("Select this option to also print the KEYWORDS. (note: keywords will be printed "
                                     "on a seperate line)"));
    m_printNow = addButton(page, "PrintNow", tr("Print"), 30, tr("Click here to print the list now."));
    m_previewButton =
        addButton(page, "Previewbutton", tr("Preview"), 66, tr("Click here to preview the printed report"));
    m_printSetup = addButton(page, "PrintSetup", tr("Printer Setup"), 102,
                             tr("Click here to set up the printer prior to printing the list."));
    connect(m_printNow, &QPushButton::clicked, this, &TReportSetup::PrintNowClick);
    connect(m_previewButton, &QPushButton::clicked, this, &TReportSetup::PreviewButtonClick);
    connect(m_printSetup, &QPushButton::clicked, this, &TReportSetup::PrintSetupClick);
    m_saveAsPdf = addButton(page, "SaveAsPdf", tr("Save as PDF"), 138,
                            tr("Click here to save the printed report as a PDF file, with or without a printer."));
    connect(m_saveAsPdf, &QPushButton::clicked, this, &TReportSetup::SaveAsPdfClick);
    return page;
}

QWidget* TReportSetup::createHtmlPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("HtmlPage"));
    m_htmlPageTitle = addTitleEdit(page, "HTMLPageTitle", tr("HTML Page Title"), tr("Enter the HTML page title here"));
    m_htmlDoNotes = addCheckBox(page, "HTMLDoNotes", tr("Copy Notes"), 72,
                                tr("Check here to write the notes (memo) as part of the HTML document"));
    m_colorPanel = new TGraphicPanel(page);
    m_colorPanel->setObjectName(QStringLiteral("ColorPanel"));
    m_colorPanel->setGeometry(kFieldLeft, 108, 260, 48);
    m_colorPanel->setBorderStyle(TGraphicPanel::BorderStyle::Single);
    m_colorPanel->setBorderWidth(1);
    m_colorPanel->setBevelOuter(TGraphicPanel::Bevel::None);
    m_colorPanel->setCaption(tr("Background Color (click to change)"));
    m_colorPanel->setTextColor(Qt::black);
    m_colorPanel->setCursor(Qt::PointingHandCursor);
    connect(m_colorPanel, &TGraphicPanel::clicked, this, &TReportSetup::ColorPanelClick);
    m_popupHelp->attach(m_colorPanel, tr("Click here to change the background color for the HTML document"));
    m_htmlSaveAs = addButton(page, "HTMLSaveAs", tr("Save As"), 30,
                             tr("Click here to save the current Todo List as an HTML file"));
    connect(m_htmlSaveAs, &QPushButton::clicked, this, &TReportSetup::HTMLSaveAsClick);
    return page;
}

QWidget* TReportSetup::createRtfPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("RtfPage"));
    m_rtfPageTitle = addTitleEdit(page, "RTFPageTitle", tr("RTF Page Title"),
                                  tr("Enter a title to print on the top of the RTF file page here"));
    m_rtfDoNotes = addCheckBox(page, "RTFDoNotes", tr("Copy Notes"), 72,
                               tr("Check here to write the notes (memo) as part of the RTF file"));
    m_saveAsRtf = addButton(page, "SaveAsRTFClick", tr("Save As"), 30,
                            tr("Click here to save the current Todo List as an RTF file"));
    connect(m_saveAsRtf, &QPushButton::clicked, this, &TReportSetup::SaveAsRTFClickClick);
    return page;
}

QWidget* TReportSetup::createTextPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TextPage"));
    m_textPageTitle = addTitleEdit(page, "TextPageTitle", tr("Text File Page Title"),
                                   tr("Enter a title for the text file page here"));
    m_textDoNotes = addCheckBox(page, "TextDoNotes", tr("Copy Notes"), 72,
                                tr("Check here to write the notes (memo) as part of the text file"));
    m_saveAsText = addButton(page, "SaveAsText", tr("Save As"), 30,
                             tr("Click here to save the current ToDo List as a text file (ASCII)"));
    connect(m_saveAsText, &QPushButton::clicked, this, &TReportSetup::SaveAsTextClick);
    return page;
}

QWidget* TReportSetup::createICalPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("ICalPage"));
    m_icalPageTitle = addTitleEdit(page, "ICalPageTitle", tr("iCalendar Title"),
                                   tr("Enter the name calendar programs show for the exported tasks here"));
    m_icalDoNotes = addCheckBox(page, "ICalDoNotes", tr("Copy Notes"), 72,
                                tr("Check here to write the notes (memo) as the description of each task"));
    m_saveAsICal = addButton(page, "SaveAsICal", tr("Save As"), 30,
                             tr("Click here to save the current Todo List as an iCalendar file of tasks for "
                                "calendar programs"));
    connect(m_saveAsICal, &QPushButton::clicked, this, &TReportSetup::SaveAsICalClick);
    return page;
}

void TReportSetup::LoadPreferences()
{
    m_files = ExportPreferences::load(m_programDir);
    m_reportTitleField->setText(m_files.reportTitle);
    m_htmlPageTitle->setText(m_files.htmlTitle);
    m_rtfPageTitle->setText(m_files.rtfTitle);
    m_textPageTitle->setText(m_files.textTitle);
    m_icalPageTitle->setText(m_files.icalTitle);
    m_icalDoNotes->setChecked(m_files.icalNotes);
}

void TReportSetup::SavePreferences()
{
    m_files.reportTitle = m_reportTitleField->text();
    m_files.htmlTitle = m_htmlPageTitle->text();
    m_files.rtfTitle = m_rtfPageTitle->text();
    m_files.textTitle = m_textPageTitle->text();
    m_files.icalTitle = m_icalPageTitle->text();
    m_files.icalNotes = m_icalDoNotes->isChecked();
    m_files.save(m_programDir);
}

void TReportSetup::setReportOptions(const ReportOptions& options)
{
    m_printMemoBox->setChecked(options.printMemo);
    m_printCheckBox->setChecked(options.printCheckbox);
    m_doubleSpace->setChecked(options.printDoubleSpace);
    m_printKeywords->setChecked(options.printKeywords);
    m_htmlDoNotes->setChecked(options.htmlPrintMemo);
    m_rtfDoNotes->setChecked(options.rtfPrintMemo);
    m_textDoNotes->setChecked(options.textPrintMemo);
    setColor(options.htmlColor);
}

ReportOptions TReportSetup::reportOptions() const
{
    ReportOptions options;
    options.printMemo = m_printMemoBox->isChecked();
    options.printCheckbox = m_printCheckBox->isChecked();
    options.printDoubleSpace = m_doubleSpace->isChecked();
    options.printKeywords = m_printKeywords->isChecked();
    options.htmlPrintMemo = m_htmlDoNotes->isChecked();
    options.rtfPrintMemo = m_rtfDoNotes->isChecked();
    options.textPrintMemo = m_textDoNotes->isChecked();
    options.htmlColor = m_color;
    return options;
}

QString TReportSetup::reportTitle() const
{
    return m_reportTitleField->text();
}

int TReportSetup::currentPage() const
{
    return m_pages->currentIndex();
}

void TReportSetup::setColor(int bgr)
{
    m_color = bgr;
    m_colorText = ColorText::fromValue(bgr);
    m_colorPanel->setColor(QColor(QLatin1Char('#') + m_colorText));
}

void TReportSetup::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TReportSetup::FormActivate()
{
    PopupHelp::useWindowColour();
}

void TReportSetup::keyPressEvent(QKeyEvent* event)
{
    // Esc presses "Ok" like Enter does: the dialog has nothing to cancel.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_returnButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TReportSetup::TabSet1Click(int index)
{
    m_pages->setCurrentIndex(index);
}

void TReportSetup::ReturnButtonClick()
{
    // The walk lets events through so the list repaints; the dialog stays until it has finished.
    if (m_exporting)
        return;
    accept();
}

void TReportSetup::reject()
{
    if (m_exporting)
        return;
    QDialog::reject();
}

void TReportSetup::HelpButtonClick()
{
    m_help.showTopic(HelpTopics::ReportDialog);
}

void TReportSetup::MouseHelpButtonClick()
{
    PopupHelp::enterWhatsThisMode();
}

bool TReportSetup::PrinterCheck()
{
    if (PrintingService::current().installedPrinterCount() > 0)
        return true;
    ShowInfo(tr("There are no printers installed"));
    return false;
}

void TReportSetup::PrintNowClick()
{
    // The export walk lets events through; a run started from inside it would walk the table too.
    if (m_exporting || !PrinterCheck())
        return;
    setRunMode(RunMode::Printing);
    emit printRequested();
    m_printing->print();
}

void TReportSetup::PreviewButtonClick()
{
    if (m_exporting || !PrinterCheck())
        return;
    setRunMode(RunMode::Preview);
    emit previewRequested();
    m_printing->preview();
}

void TReportSetup::PrintSetupClick()
{
    if (m_exporting || !PrinterCheck())
        return;
    emit printerSetupRequested();
    m_printing->printerSetup();
}

void TReportSetup::SaveAsPdfClick()
{
    if (m_exporting)
        return;
    m_printing->saveAsPdf();
}

std::optional<QColor> TReportSetup::askColor(const QColor& start)
{
    const QColor chosen = QColorDialog::getColor(start, this);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

void TReportSetup::ColorPanelClick()
{
    const int start = m_colorDialogColor;
    const QColor startColor(start & 0xFF, (start >> 8) & 0xFF, (start >> 16) & 0xFF);
    const std::optional<QColor> chosen = askColor(startColor);
    if (!chosen)
        return;
    m_colorDialogColor = chosen->red() | (chosen->green() << 8) | (chosen->blue() << 16);
    setColor(m_colorDialogColor);
}

void TReportSetup::HTMLSaveAsClick()
{
    saveAs(HtmlPage);
}

void TReportSetup::SaveAsRTFClickClick()
{
    saveAs(RtfPage);
}

void TReportSetup::SaveAsTextClick()
{
    saveAs(TextPage);
}

void TReportSetup::SaveAsICalClick()
{
    saveAs(ICalPage);
}

void TReportSetup::saveAs(Page page)
{
    if (m_exporting)
        return;
    QString* remembered = nullptr;
    FileDialogs::SaveRequest request;
    switch (page) {
    case HtmlPage:
        request.filter = QStringLiteral("HTM Document|*.htm");
        request.defaultSuffix = QStringLiteral("htm");
        remembered = &m_files.htmlFilespec;
        break;
    case RtfPage:
        request.filter = QStringLiteral("RTF Document|*.rtf");
        request.defaultSuffix = QStringLiteral("rtf");
        remembered = &m_files.rtfFilespec;
        break;
    case TextPage:
        request.filter = QStringLiteral("Text File|*.txt");
        request.defaultSuffix = QStringLiteral("txt");
        remembered = &m_files.textFilespec;
        break;
    case ICalPage:
        request.filter = QStringLiteral("iCalendar File|*.ics");
        request.defaultSuffix = QStringLiteral("ics");
        remembered = &m_files.icalFilespec;
        break;
    case PrintedReportPage:
        return;
    }
    // The folder is everything up to the last separator; this platform's is "/".
    const qsizetype split = remembered->lastIndexOf(u'/') + 1;
    request.folder = remembered->left(split);
    request.proposedName = remembered->mid(split).left(255);

    const std::optional<QString> chosen = FileDialogs::current().getSaveFileName(this, request);
    if (!chosen)
        return;
    bool written = false;
    switch (page) {
    case HtmlPage:
        written = CopyHTML(*chosen, m_colorText, m_htmlPageTitle->text());
        break;
    case RtfPage:
        written = CopyRTF(*chosen, m_rtfPageTitle->text());
        break;
    case TextPage:
        written = CopyText(*chosen, m_textPageTitle->text());
        break;
    case ICalPage:
        written = CopyICal(*chosen, m_icalPageTitle->text());
        break;
    case PrintedReportPage:
        break;
    }
    if (!written)
        return;
    ShowInfo(tr("Saved as ") + *chosen);
    *remembered = *chosen;
    SavePreferences();
}

bool TReportSetup::CopyHTML(const QString& fileName, const QString& colorText, const QString& title)
{
    HtmlExport writer(bytesOf(title), colorText.toLatin1());
    return copy(fileName, writer, m_htmlDoNotes->isChecked());
}

bool TReportSetup::CopyRTF(const QString& fileName, const QString& title)
{
    RtfExport writer(bytesOf(title));
    return copy(fileName, writer, m_rtfDoNotes->isChecked());
}

bool TReportSetup::CopyText(const QString& fileName, const QString& title)
{
    TextExport writer(bytesOf(title));
    return copy(fileName, writer, m_textDoNotes->isChecked());
}

bool TReportSetup::CopyICal(const QString& fileName, const QString& title)
{
    if (!m_table.isOpen())
        return false;
    ICalExport writer(bytesOf(title), TaskUid::tableTag(QString::fromStdString(m_table.engine().path())),
                      QDateTime::currentDateTimeUtc());
    return copy(fileName, writer, m_icalDoNotes->isChecked());
}

bool TReportSetup::copy(const QString& fileName, ExportWriter& writer, bool withNotes)
{
    if (!m_table.isOpen())
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_exporting = true;
    QElapsedTimer sincePump;
    sincePump.start();
    ReportExport exporter(m_table.engine(), m_formats);
    const ReportExport::Outcome outcome = exporter.write(fileName, writer, withNotes, [&] {
        if (sincePump.elapsed() < kPumpIntervalMs)
            return;
        emit tableMoved();
        QCoreApplication::processEvents();
        sincePump.restart();
    });
    emit tableMoved();
    m_exporting = false;
    QApplication::restoreOverrideCursor();
    if (!outcome.ok)
        ShowError(tr("Cannot write %1: %2").arg(fileName, outcome.error));
    return outcome.ok;
}

} // namespace quorvo
