#pragma once

#include "store/ExportPreferences.h"
#include "store/ReportOptions.h"

#include <QColor>
#include <QDialog>

#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace quorvo {

class DateFormats;
class ExportWriter;
class HelpService;
class PopupHelp;
class ReportPrinting;
class TGraphicPanel;
class TodoTable;

// "Print Report": prints, previews or exports the current view of the main window's task table. Five pages
// (printed report, HTML, RTF, text, iCalendar), each with its title and notes option, chosen by the tab strip under
// them. The titles and the last file of each export come from QVTSK.INI and go back to it only after a
// successful export; the options and the HTML colour belong to the main window, which sets them before the
// dialog is shown and takes them back however it closes.
//
// The exports walk the table itself: afterwards it stands on the last task of the view, and tableMoved()
// lets the main window's grid follow while the walk runs.
class TReportSetup : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 607;
    static constexpr int kClientHeight = 421;
    // The colour dialog's starting colour, light yellow as a 0x00BBGGRR value.
    static constexpr int kStartingColor = 8454143;

    enum Page
    {
        PrintedReportPage,
        HtmlPage,
        RtfPage,
        TextPage,
        ICalPage,
    };

    // Printing sends the report to the printer, preview shows its pages in the preview window.
    enum class RunMode
    {
        Printing,
        Preview,
    };

    // programDir ends in "/". Reads QVTSK.INI at once.
    TReportSetup(TodoTable& table, const DateFormats& formats, HelpService& help, const QString& programDir,
                 QWidget* parent = nullptr);
    ~TReportSetup() override;

    // The main window's report options, into the seven check boxes and the colour panel, and back.
    void setReportOptions(const ReportOptions& options);
    ReportOptions reportOptions() const;

    int colorValue() const { return m_color; }
    // Six upper-case hexadecimal digits RRGGBB of the panel's colour.
    const QString& colorText() const { return m_colorText; }
    const ExportPreferences& exportPreferences() const { return m_files; }
    RunMode runMode() const { return m_runMode; }
    QString reportTitle() const;
    int currentPage() const;
    // The printer component behind Print, Preview, Printer Setup and Save as PDF.
    ReportPrinting& printing() { return *m_printing; }

    // The writers: each writes the whole current view to fileName, with its page's notes option. False
    // (after the error message) when the file could not be written; an earlier file of that name is then
    // left as it was.
    bool CopyHTML(const QString& fileName, const QString& colorText, const QString& title);
    bool CopyRTF(const QString& fileName, const QString& title);
    bool CopyText(const QString& fileName, const QString& title);
    bool CopyICal(const QString& fileName, const QString& title);

signals:
    // The table moved during an export; the task list may follow it.
    void tableMoved();
    // A printer is installed and the user asked for the printed report, its preview or the printer setup.
    void printRequested();
    void previewRequested();
    void printerSetupRequested();

public slots:
    // Closing is refused while an export walks the table.
    void reject() override;
    void TabSet1Click(int index);
    void ReturnButtonClick();
    void HelpButtonClick();
    void MouseHelpButtonClick();
    // Each first checks that a printer is installed; the printed report's code takes over from there.
    virtual void PrintNowClick();
    virtual void PreviewButtonClick();
    virtual void PrintSetupClick();
    void ColorPanelClick();
    void HTMLSaveAsClick();
    void SaveAsRTFClickClick();
    void SaveAsTextClick();
    // The printed report as a PDF file, with or without a printer installed.
    void SaveAsPdfClick();
    void SaveAsICalClick();

protected:
    // "There are no printers installed" and false when there is none.
    bool PrinterCheck();
    void setRunMode(RunMode mode) { m_runMode = mode; }
    // The colour dialog; none when the user cancelled.
    virtual std::optional<QColor> askColor(const QColor& start);

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void FormActivate();
    void LoadPreferences();
    void SavePreferences();
    QWidget* createPrintedReportPage();
    QWidget* createHtmlPage();
    QWidget* createRtfPage();
    QWidget* createTextPage();
    QWidget* createICalPage();
    QLineEdit* addTitleEdit(QWidget* page, const char* name, const QString& label, const QString& help);
    QCheckBox* addCheckBox(QWidget* page, const char* name, const QString& caption, int y, const QString& help);
    QPushButton* addButton(QWidget* page, const char* name, const QString& caption, int y, const QString& help);
    void setColor(int bgr);
    void saveAs(Page page);
    bool copy(const QString& fileName, ExportWriter& writer, bool withNotes);

    TodoTable& m_table;
    const DateFormats& m_formats;
    HelpService& m_help;
    QString m_programDir;
    ExportPreferences m_files;
    PopupHelp* m_popupHelp;

    QStackedWidget* m_pages;
    QTabBar* m_tabSet1;
    QLineEdit* m_reportTitleField;
    QCheckBox* m_printMemoBox;
    QCheckBox* m_printCheckBox;
    QCheckBox* m_doubleSpace;
    QCheckBox* m_printKeywords;
    QPushButton* m_printNow;
    QPushButton* m_previewButton;
    QPushButton* m_printSetup;
    QPushButton* m_saveAsPdf;
    ReportPrinting* m_printing;
    QLineEdit* m_htmlPageTitle;
    QCheckBox* m_htmlDoNotes;
    TGraphicPanel* m_colorPanel;
    QPushButton* m_htmlSaveAs;
    QLineEdit* m_rtfPageTitle;
    QCheckBox* m_rtfDoNotes;
    QPushButton* m_saveAsRtf;
    QLineEdit* m_textPageTitle;
    QCheckBox* m_textDoNotes;
    QPushButton* m_saveAsText;
    QLineEdit* m_icalPageTitle;
    QCheckBox* m_icalDoNotes;
    QPushButton* m_saveAsICal;
    QPushButton* m_returnButton;
    QPushButton* m_helpButton;
    QPushButton* m_mouseHelpButton;

    int m_color = kStartingColor;
    QString m_colorText;
    int m_colorDialogColor = kStartingColor;
    RunMode m_runMode = RunMode::Printing;
    bool m_exporting = false;
};

} // namespace quorvo
