#pragma once

#include "reports/PrintRunSettings.h"
#include "reports/ReportEngine.h"

#include <QDialog>

class QLabel;
class QPrinter;
class QPushButton;

namespace quorvo {

class DateFormats;
class PageStream;
class TodoTable;

// "Print Status" / "Preview Status": runs one printed report when first activated, showing the page
// being laid out, and lets the user cancel a print or stop a preview. When the run ends the button
// becomes "OK" and the label shows how it ended; a window whose cancel button was pressed during the
// run closes by itself.
class TReportPrint : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 364;
    static constexpr int kClientHeight = 130;

    // Holds references; the table stands on the first task of the view.
    TReportPrint(TodoTable& table, const DateFormats& formats, QWidget* parent = nullptr);

    void setSettings(const PrintRunSettings& settings) { m_settings = settings; }
    // Printing: caption "Print Status", button "Cancel", pages to the printer.
    void usePrinter(QPrinter* printer);
    // Preview: caption "Preview Status", button "Stop", pages into the stream.
    void usePageStream(PageStream* stream);

    bool aborted() const { return m_engine.aborted(); }
    bool stopRequested() const { return m_stopRequested; }
    bool finished() const { return m_finished; }
    ReportEngine& engine() { return m_engine; }

    QLabel* Label1;
    QPushButton* CancelButton;

    // The run; the first activation calls it once.
    void FormActivate();
    void CancelButtonClick();
    // Escape presses the button; the close box is not there.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void showStatus(const QString& text);

    TodoTable& m_table;
    const DateFormats& m_formats;
    PrintRunSettings m_settings;
    ReportEngine m_engine;
    QPrinter* m_printer = nullptr;
    PageStream* m_stream = nullptr;
    bool m_started = false;
    bool m_running = false;
    bool m_finished = false;
    bool m_stopRequested = false;
    bool m_cancelPressed = false;
};

} // namespace quorvo
