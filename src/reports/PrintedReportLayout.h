#pragma once

#include "reports/NoteLines.h"
#include "reports/PrintRunSettings.h"

#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <string_view>

namespace quorvo {

class DateFormats;
class ReportEngine;
class TodoTable;

// The printed task list laid out through the report engine: a header on every page (title, page
// number, today's date, column headings, two rules), then one line per task of the view from the
// table's current task on, each followed by its key-words and notes blocks. Positions are inches from
// the page's corner.
class PrintedReportLayout
{
public:
    static constexpr double kPageMargin = 1.0;
    static constexpr double kCheckBoxWidth = 0.125;
    static constexpr double kCellCut = 0.2;
    static constexpr int kColumnMargin = 2; // hundredths of an inch
    static constexpr int kKeywordsShade = 20;
    static constexpr int kNotesShade = 10;

    // Holds references; all must outlive the layout. The table stands on the first task to print.
    PrintedReportLayout(ReportEngine& engine, TodoTable& table, const DateFormats& formats, PrintRunSettings settings);

    // The text box that breaks notes and key words into lines: its font, and the screen resolution
    // that turns the section's width into its width in pixels.
    void setWrapFont(const QFont& font) { m_wrapFont = font; }
    void setScreenDpi(double dpi) { m_screenDpi = dpi; }
    // Read before each task; the layout ends before the next task once it is set.
    void setStopFlag(const bool* stop) { m_stop = stop; }

    // Hooks it up as the engine's before-print and print handlers.
    void attach();

    void BeforePrintReport();
    void PrintReport1();

    // Width of the wrapping text box of the last run, in pixels.
    int wrapWidth() const { return m_wrapWidth; }

    // The date and time cells for stored DATE and TIME texts; empty when they do not convert.
    static QString dateText(std::string_view stored, const DateFormats& formats);
    static QString timeText(std::string_view stored, const DateFormats& formats);

private:
    void HeaderFooter1();
    void HandleKeywords();
    void HandleMemo();
    void DoTextRect(const QString& text);
    void setColumnStops();
    void setBlockStops(int shade);
    void printBlock(const QStringList& lines, int shade);
    // The lines of a block as the wrapping text box shows them.
    QStringList blockLines(const std::string& text) const;
    bool stopRequested() const;

    ReportEngine& m_engine;
    TodoTable& m_table;
    const DateFormats& m_formats;
    PrintRunSettings m_settings;
    QFont m_wrapFont;
    double m_screenDpi = 96;
    const bool* m_stop = nullptr;
    int m_wrapWidth = 0;
    // Measures the wrap font once per run rather than once per block.
    mutable std::optional<NoteLines> m_noteLines;
};

} // namespace quorvo
