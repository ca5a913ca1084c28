#pragma once

#include "reports/TabStop.h"

#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QPainter;

namespace quorvo {

class ReportDevice;

// A small page-layout engine in inches: margins, a section (the rectangle text flows in), a cursor
// whose vertical position is the baseline of the current line, fonts in points with the line height
// taken from the font, tab stops with inner margins, shading and box lines, and a status text shown at
// every page. A run is execute(): the before-print handler, then the print handler that lays out the
// whole report, painting through the device it was given.
class ReportEngine
{
public:
    // Marks a tab stop that starts where the previous one ends.
    static constexpr double kFollow = -1.0;

    ReportEngine();

    // Handlers of a run; either may be empty.
    void setBeforePrint(std::function<void()> handler) { m_beforePrint = std::move(handler); }
    void setOnPrint(std::function<void()> handler) { m_onPrint = std::move(handler); }
    // Receives the status text (lines separated by "\n") each time it is shown; the window that shows it
    // lets pending events through there, which is when a Cancel or a Stop can take effect.
    void setStatusSink(std::function<void(const QString&)> sink) { m_statusSink = std::move(sink); }

    // Runs one report on the device; false when the run was aborted, which a device that fails to start
    // or to finish its document also counts as.
    bool execute(ReportDevice& device);
    // Marks the run aborted and drops the device's document; the layout stops painting. The flag stays
    // readable after the run, until the next one starts.
    void abort();
    bool aborted() const { return m_aborted; }
    bool printing() const { return m_printing; }

    // Page
    double pageWidth() const { return m_pageWidth; }
    double pageHeight() const { return m_pageHeight; }
    void setPageSize(double width, double height);
    double marginLeft() const { return m_marginLeft; }
    double marginRight() const { return m_marginRight; }
    double marginTop() const { return m_marginTop; }
    double marginBottom() const { return m_marginBottom; }
    void setMarginLeft(double v) { m_marginLeft = v; }
    void setMarginRight(double v) { m_marginRight = v; }
    void setMarginTop(double v) { m_marginTop = v; }
    void setMarginBottom(double v) { m_marginBottom = v; }
    void newPage();
    int currentPage() const { return m_page; }

    // Section
    QRectF section() const { return m_section; }
    double sectionTop() const { return m_section.top(); }
    double sectionBottom() const { return m_section.bottom(); }
    double sectionLeft() const { return m_section.left(); }
    double sectionRight() const { return m_section.right(); }
    void setSection(double top, double bottom, double left, double right);
    void resetSection();
    // Whole lines of the current font that still fit from the current line down to the section bottom,
    // the current line included.
    int linesLeft() const;

    // Cursor
    double xPos() const { return m_x; }
    double yPos() const { return m_y; }
    void gotoXY(double x, double y);
    void home();
    void newLine();
    double lineTop() const { return m_y - m_ascent; }
    double lineHeight() const { return m_lineHeight; }

    // Fonts
    void setFont(const QString& family, double points);
    void setBold(bool on);
    void setItalic(bool on);
    const QFont& font() const { return m_font; }

    // Tab stops
    void clearTabs();
    void setTab(double position, TabStop::Justify justify, double width, int margin, int boxLines, int shade);
    void saveTabs();
    void restoreTabs();
    // Moves to the next stop, drawing its shading and box lines over the current line; past the last
    // stop the cursor stays where it is.
    void tab();
    double tabStart() const;
    double tabWidth() const;
    const std::vector<TabStop>& tabs() const { return m_tabs; }

    // Text
    void print(const QString& text);
    void println(const QString& text);
    void printRight(const QString& text, double x);
    // The text on the current baseline from x, cut off at the edges of rect.
    void printClipped(const QRectF& rect, double x, const QString& text);
    double textWidth(const QString& text) const;

    // Drawing
    void rectangle(double x1, double y1, double x2, double y2);
    void line(double x1, double y1, double x2, double y2);

    // Status: "%p" or "%P" is the page number, "%0" to "%9" the lines of statusText(), "\r" a line break.
    void setStatusFormat(const QString& format) { m_statusFormat = format; }
    QStringList& statusText() { return m_statusText; }
    QString statusLine() const;
    void updateStatus();

private:
    bool canPaint() const { return m_painter != nullptr && !m_aborted; }
    void applyFont();
    void preparePainter();
    void printSegment(const QString& text);
    void drawTabDecoration(const TabStop& stop);

    std::function<void()> m_beforePrint;
    std::function<void()> m_onPrint;
    std::function<void(const QString&)> m_statusSink;

    ReportDevice* m_device = nullptr;
    QPainter* m_painter = nullptr;
    bool m_aborted = false;
    bool m_printing = false;
    int m_page = 0;

    double m_pageWidth = 8.5;
    double m_pageHeight = 11.0;
    double m_marginLeft = 0.5;
    double m_marginRight = 0.5;
    double m_marginTop = 0.5;
    double m_marginBottom = 0.5;
    QRectF m_section;

    double m_x = 0;
    double m_y = 0;

    QFont m_font;
    QFontMetricsF m_metrics;
    double m_ascent = 0;
    double m_lineHeight = 0;

    std::vector<TabStop> m_tabs;
    std::vector<std::vector<TabStop>> m_savedTabs;
    int m_tabIndex = -1;

    QString m_statusFormat;
    QStringList m_statusText;
};

} // namespace quorvo
