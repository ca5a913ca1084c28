#include "reports/PrintedReportLayout.h"

#include "datetime/DateFormats.h"
#include "reports/NoteLines.h"
#include "reports/ReportEngine.h"
#include "store/TaskDisplay.h"
#include "store/TaskRecord.h"
#include "store/TodoTable.h"
#include "store/Windows1252.h"

#include <QRectF>

namespace quorvo {

namespace {

const QString kArial = QStringLiteral("Arial");
const QString kTimes = QStringLiteral("Times New Roman");
constexpr double kBodyFontSize = 9;
constexpr double kTitleFontSize = 14;
constexpr double kDateWidth = 1.5;
constexpr double kTimeWidth = 1.0;
constexpr double kTaskWidthLess = 5.75; // the task column takes the page width less this
constexpr double kPriorityWidth = 0.75;
constexpr double kDoneWidth = 0.5;
constexpr double kCheckBoxDrop = 0.02;

} // namespace

PrintedReportLayout::PrintedReportLayout(ReportEngine& engine, TodoTable& table, const DateFormats& formats,
                                         PrintRunSettings settings)
    : m_engine(engine), m_table(table), m_formats(formats), m_settings(std::move(settings))
{
    m_wrapFont.setPixelSize(13);
}

void PrintedReportLayout::attach()
{
    m_engine.setBeforePrint([this] { BeforePrintReport(); });
    m_engine.setOnPrint([this] { PrintReport1(); });
}

QString PrintedReportLayout::dateText(std::string_view stored, const DateFormats& formats)
{
    if (stored.size() < 8)
        return {};
    // Rebuilt as the working settings' month/day/year, so a damaged date fails as typed text would.
    const QString text = Windows1252::toUnicode(stored.substr(4, 2)) + u'/' +
                         Windows1252::toUnicode(stored.substr(6, 2)) + u'/' +
                         Windows1252::toUnicode(stored.substr(0, 4));
    const auto value = formats.parseDate(text, FormatSettings::working());
    if (!value)
        return {};
    return formats.format(u"dd mmm, yyyy (ddd)", *value, FormatSettings::working());
}

QString PrintedReportLayout::timeText(std::string_view stored, const DateFormats& formats)
{
    const auto value = formats.parseTime(Windows1252::toUnicode(stored), FormatSettings::working());
    if (!value)
        return {};
    return formats.format(u"hh:nn am/pm", *value, FormatSettings::working());
}

bool PrintedReportLayout::stopRequested() const
{
    return (m_stop && *m_stop) || m_engine.aborted();
}

void PrintedReportLayout::BeforePrintReport()
{
    m_engine.setStatusFormat(QStringLiteral("Printing Page %p\r%0\r%1"));
    m_engine.statusText().clear();
    m_engine.statusText() << QString() << QString();
}

void PrintedReportLayout::setColumnStops()
{
    using J = TabStop::Justify;
    const double left = m_engine.marginLeft();
    if (m_settings.printCheckbox)
        m_engine.setTab(left, J::Left, kCheckBoxWidth, kColumnMargin, TabStop::NoBox, 0);
    m_engine.setTab(m_settings.printCheckbox ? ReportEngine::kFollow : left, J::Left, kDateWidth, kColumnMargin,
                    TabStop::NoBox, 0);
    m_engine.setTab(ReportEngine::kFollow, J::Left, kTimeWidth, kColumnMargin, TabStop::NoBox, 0);
    m_engine.setTab(ReportEngine::kFollow, J::Left, m_engine.pageWidth() - kTaskWidthLess, kColumnMargin,
                    TabStop::NoBox, 0);
    m_engine.setTab(ReportEngine::kFollow, J::Left, kPriorityWidth, kColumnMargin, TabStop::NoBox, 0);
    m_engine.setTab(ReportEngine::kFollow, J::Left, kDoneWidth, kColumnMargin, TabStop::NoBox, 0);
}

void PrintedReportLayout::PrintReport1()
{
    m_engine.setMarginLeft(kPageMargin);
    m_engine.setMarginRight(kPageMargin);
    m_engine.setFont(kArial, kBodyFontSize);
    m_engine.setBold(false);
    m_engine.setItalic(false);
    m_engine.setSection(m_engine.marginTop() + 1.0, m_engine.pageHeight() - m_engine.marginBottom() - 1.0,
                        m_engine.marginLeft(), m_engine.pageWidth() - m_engine.marginRight());
    m_wrapWidth = static_cast<int>((m_engine.sectionRight() - m_engine.sectionLeft() - 0.25) * m_screenDpi);
    m_engine.clearTabs();
    setColumnStops();
    HeaderFooter1();
    m_engine.home();

    xbase::Table& table = m_table.engine();
    while (!table.eof() && !stopRequested()) {
        if (m_engine.linesLeft() <= 0) {
            m_engine.newPage();
            HeaderFooter1();
        }
        m_engine.setBold(false);
        if (m_settings.printCheckbox) {
            m_engine.tab();
            const double x = m_engine.xPos();
            const double top = m_engine.lineTop() + kCheckBoxDrop;
            m_engine.rectangle(x, top, x + kCheckBoxWidth, top + kCheckBoxWidth);
        }
        m_engine.tab();
        DoTextRect(dateText(table.rawField(TaskField::DATE), m_formats));
        m_engine.tab();
        DoTextRect(timeText(table.rawField(TaskField::TIME), m_formats));
        m_engine.tab();
        DoTextRect(m_table.text(TaskField::DESCRIPT));
        m_engine.tab();
        DoTextRect(TaskDisplay::ShowPriority(table.rawField(TaskField::PRIORITY)));
        m_engine.tab();
        DoTextRect(table.getLogical(TaskField::DONE) ? QStringLiteral("Yes") : QStringLiteral("No"));
        m_engine.newLine();
        HandleKeywords();
        HandleMemo();
        if (m_settings.doubleSpace)
            m_engine.newLine();
        // A table that cannot move on would print its last task for ever.
        if (!table.skip(1))
            break;
    }
}

void PrintedReportLayout::DoTextRect(const QString& text)
{
    const double x = m_engine.tabStart();
    const QRectF clip(x, m_engine.lineTop(), m_engine.tabWidth() - kCellCut, m_engine.lineHeight());
    m_engine.printClipped(clip, x, text);
}

void PrintedReportLayout::HeaderFooter1()
{
    m_engine.resetSection();
    m_engine.setFont(kTimes, kTitleFontSize);
    m_engine.setBold(true);
    m_engine.home();
    m_engine.print(m_settings.title);
    m_engine.printRight(QStringLiteral("Page ") + QString::number(m_engine.currentPage()), m_engine.sectionRight());
    m_engine.newLine();
    m_engine.printRight(m_formats.format(u"ddddd", m_formats.today()), m_engine.sectionRight());

    m_engine.setFont(kArial, kBodyFontSize);
    m_engine.setBold(true);
    m_engine.gotoXY(1.0, m_engine.marginTop() + 0.8);
    m_engine.newLine();
    if (m_settings.printCheckbox)
        m_engine.tab();
    for (const char* heading : {"Date", "Time", "Task", "Priority", "Done"}) {
        m_engine.tab();
        m_engine.print(QString::fromLatin1(heading));
    }

    m_engine.setBold(false);
    m_engine.setItalic(false);
    m_engine.setMarginLeft(kPageMargin);
    m_engine.setMarginRight(kPageMargin);
    m_engine.setSection(m_engine.marginTop() + 1.0, m_engine.pageHeight() - m_engine.marginBottom() - 0.5,
                        m_engine.marginLeft(), m_engine.pageWidth() - m_engine.marginRight());
    const double left = m_engine.sectionLeft();
    const double right = m_engine.sectionRight();
    m_engine.line(left, m_engine.sectionTop(), right, m_engine.sectionTop());
    m_engine.line(left, m_engine.sectionBottom(), right, m_engine.sectionBottom());
    m_engine.home();
}

void PrintedReportLayout::setBlockStops(int shade)
{
    using J = TabStop::Justify;
    const double width = m_engine.sectionRight() - m_engine.sectionLeft();
    if (m_settings.printCheckbox) {
        m_engine.setTab(m_engine.marginLeft(), J::Left, kCheckBoxWidth, 0, TabStop::NoBox, 0);
        m_engine.setTab(ReportEngine::kFollow, J::Left, width - kCheckBoxWidth, kColumnMargin, TabStop::NoBox, shade);
    } else {
        m_engine.setTab(m_engine.marginLeft(), J::Left, width, kColumnMargin, TabStop::NoBox, shade);
    }
}

void PrintedReportLayout::printBlock(const QStringList& lines, int shade)
{
    m_engine.saveTabs();
    m_engine.clearTabs();
    setBlockStops(shade);
    for (qsizetype i = 0; i < lines.size() && !m_engine.aborted(); ++i) {
        if (m_settings.printCheckbox)
            m_engine.tab();
        m_engine.tab();
        m_engine.println(lines[i]);
        if (m_engine.linesLeft() <= 0 && i + 1 < lines.size()) {
            m_engine.restoreTabs();
            m_engine.newPage();
            HeaderFooter1();
            m_engine.saveTabs();
            m_engine.clearTabs();
            setBlockStops(shade);
        }
    }
    m_engine.restoreTabs();
}

void PrintedReportLayout::HandleKeywords()
{
    if (!m_settings.printKeywords)
        return;
    const std::string_view keys = m_table.engine().rawField(TaskField::KEYS);
    const std::size_t end = keys.find_last_not_of(' ');
    const std::string text =
        end == std::string_view::npos ? std::string() : "Keywords:" + std::string(keys.substr(0, end + 1));
    printBlock(blockLines(text), kKeywordsShade);
}

void PrintedReportLayout::HandleMemo()
{
    if (!m_settings.printMemo)
        return;
    // A note that cannot be read prints as no note: the rest of the list still comes out.
    auto note = m_table.engine().getMemo(TaskField::NOTE);
    printBlock(blockLines(note ? *note : std::string()), kNotesShade);
}

QStringList PrintedReportLayout::blockLines(const std::string& text) const
{
    QStringList out;
    if (text.empty())
        return out;
    if (!m_noteLines || m_noteLines->wrapWidth() != m_wrapWidth)
        m_noteLines.emplace(m_wrapFont, m_wrapWidth);
    for (const std::string& line : m_noteLines->lines(text))
        out.append(Windows1252::toUnicode(line));
    return out;
}

} // namespace quorvo
