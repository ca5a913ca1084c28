#include "dialogs/TSetTimeDialog.h"

#include "datetime/DateFormats.h"
#include "ui/DialogFont.h"
#include "ui/HelpService.h"
#include "ui/HelpTopics.h"
#include "ui/TGraphicPanel.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <utility>

namespace quorvo {

namespace {

constexpr int kCellWidth = 24;
constexpr int kCellHeight = 19;
constexpr int kCellStep = 26;      // across a row
constexpr int kRowStep = 21;       // between the hour rows
constexpr int kMinuteRowStep = 20; // six rows must fit the minute panel
constexpr int kTitleHeight = 17;
constexpr int kFirstCellX = 8;
constexpr int kHourPanelWidth = 271;
constexpr int kHourPanelHeight = 125;
constexpr int kMinutePanelWidth = 270;
constexpr int kMinutePanelHeight = 144;
constexpr int kButtonBarHeight = 44;
// Between the morning rows and the afternoon rows.
constexpr int kHalfDayGap = 8;

QLabel* titleBar(const QString& text, const QString& name, QFrame* panel)
{
    auto* label = new QLabel(text, panel);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    // Qt knows no caption colours of its own; the selection colours stand out the same way.
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Active, QPalette::HighlightedText));
    label->setPalette(palette);
    label->setGeometry(panel->frameWidth(), panel->frameWidth(), panel->width() - 2 * panel->frameWidth(),
                       kTitleHeight);
    return label;
}

QFrame* panelFrame(const QString& name, int width, int height, QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->resize(width, height);
    return panel;
}

TGraphicPanel* cell(int number, int tag, const QString& caption, const QString& hint, QWidget* parent)
{
    auto* panel = new TGraphicPanel(parent);
    panel->setObjectName(QStringLiteral("GraphicPanel%1").arg(number));
    panel->setTag(tag);
    panel->setCaption(caption);
    panel->setToolTip(hint);
    panel->resize(kCellWidth, kCellHeight);
    return panel;
}

} // namespace

TSetTimeDialog::TSetTimeDialog(const DateFormats& formats, HelpService& help, QWidget* parent)
    : QDialog(parent), m_formats(formats), m_help(help)
{
    setObjectName(QStringLiteral("SetTimeDialog"));
    // A fixed border and a title, but no system menu and no close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(DialogFont());
    setFixedSize(kClientWidth, kClientHeight);

    QFrame* hours = createHourPanel();
    hours->move((kClientWidth - kHourPanelWidth) / 2, 6);
    QFrame* minutes = createMinutePanel();
    minutes->move((kClientWidth - kMinutePanelWidth) / 2, hours->geometry().bottom() + 7);

    auto* ok = new QPushButton(tr("Ok"), this);
    ok->setObjectName(QStringLiteral("Okbutton"));
    ok->setToolTip(tr("Save this time"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setToolTip(tr("Cancel all changes made"));
    auto* helpButton = new QPushButton(tr("&Help"), this);
    helpButton->setObjectName(QStringLiteral("Helpbutton"));
    helpButton->setToolTip(tr("Help on setting the time"));
    const int buttonY = kClientHeight - kButtonBarHeight + (kButtonBarHeight - 25) / 2;
    ok->setGeometry(18, buttonY, 75, 25);
    cancel->setGeometry(101, buttonY, 75, 25);
    helpButton->setGeometry(kClientWidth - 18 - 75, buttonY, 75, 25);
    connect(ok, &QPushButton::clicked, this, &TSetTimeDialog::OkbuttonClick);
    connect(cancel, &QPushButton::clicked, this, &TSetTimeDialog::CancelButtonClick);
    connect(helpButton, &QPushButton::clicked, this, &TSetTimeDialog::HelpbuttonClick);

    setTime(m_formats.now());
}

QFrame* TSetTimeDialog::createHourPanel()
{
    QFrame* panel = panelFrame(QStringLiteral("HourPanel"), kHourPanelWidth, kHourPanelHeight, this);
    titleBar(tr("  Hour"), QStringLiteral("Label3"), panel);
    const QString hint = tr("Click to set the hours portion of the time");
    for (int hour = 0; hour < 24; ++hour) {
        const int row = hour / 6;
        const int twelve = hour % 12 == 0 ? 12 : hour % 12;
        TGraphicPanel* hourCell = cell(hour + 1, hour, QString::number(twelve), hint, panel);
        const int y = kTitleHeight + 7 + row * kRowStep + (row >= 2 ? kHalfDayGap : 0);
        hourCell->move(kFirstCellX + hour % 6 * kCellStep, y);
        connect(hourCell, &TGraphicPanel::clicked, this, [this, hourCell] { HourClick(hourCell->tag()); });
        m_hourCells.append(hourCell);
    }
    const int labelX = kFirstCellX + 6 * kCellStep + 6;
    for (const auto& [text, hour] : {std::pair{tr("AM"), 0}, std::pair{tr("PM"), 12}}) {
        auto* label = new QLabel(text, panel);
        label->setObjectName(hour == 0 ? QStringLiteral("AmLabel") : QStringLiteral("PmLabel"));
        label->setGeometry(labelX, m_hourCells[hour]->y(), 40, kCellHeight);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return panel;
}

QFrame* TSetTimeDialog::createMinutePanel()
{
    QFrame* panel = panelFrame(QStringLiteral("MinutePanel"), kMinutePanelWidth, kMinutePanelHeight, this);
    titleBar(tr("  Minute"), QStringLiteral("Label4"), panel);
    const QString hint = tr("Click to set the minutes portion of the time");
    for (int minute = 0; minute < 60; ++minute) {
        TGraphicPanel* minuteCell =
            cell(25 + minute, minute, QStringLiteral("%1").arg(minute, 2, 10, QLatin1Char('0')), hint, panel);
        minuteCell->move(kFirstCellX - 3 + minute % 10 * kCellStep, kTitleHeight + 4 + minute / 10 * kMinuteRowStep);
        connect(minuteCell, &TGraphicPanel::clicked, this, [this, minuteCell] { MinuteClick(minuteCell->tag()); });
        m_minuteCells.append(minuteCell);
    }
    return panel;
}

void TSetTimeDialog::setTime(const DateTime& time)
{
    m_time = time;
    FormActivate();
}

void TSetTimeDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TSetTimeDialog::FormActivate()
{
    m_hour = m_time.hour();
    m_minute = m_time.minute();
    ShowDateTime();
}

void TSetTimeDialog::HourClick(int hour)
{
    if (hour < 0 || hour > 23)
        return;
    m_hour = hour;
    ShowDateTime();
}

void TSetTimeDialog::MinuteClick(int minute)
{
    if (minute < 0 || minute > 59)
        return;
    m_minute = minute;
    ShowDateTime();
}

void TSetTimeDialog::ShowDateTime()
{
    m_time = *DateTime::fromTime(m_hour, m_minute);
    setWindowTitle(tr("Set Time As: ") + m_formats.format(u"hh:mm am/pm", m_time));
    const QPalette& colours = palette();
    auto mark = [&colours](const QList<TGraphicPanel*>& cells, int chosen) {
        for (TGraphicPanel* each : cells) {
            const bool on = each->tag() == chosen;
            each->setColor(colours.color(QPalette::Active, on ? QPalette::Highlight : QPalette::Button));
            each->setTextColor(colours.color(QPalette::Active, on ? QPalette::HighlightedText : QPalette::ButtonText));
        }
    };
    mark(m_hourCells, m_hour);
    mark(m_minuteCells, m_minute);
}

void TSetTimeDialog::OkbuttonClick()
{
    accept();
}

void TSetTimeDialog::CancelButtonClick()
{
    reject();
}

void TSetTimeDialog::HelpbuttonClick()
{
    m_help.showTopic(HelpTopics::TimePicker);
}

} // namespace quorvo
