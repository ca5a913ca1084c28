#include "dialogs/TDateSelector.h"

#include "datetime/DateFormats.h"
#include "ui/DialogFont.h"
#include "ui/HelpService.h"
#include "ui/HelpTopics.h"
#include "ui/PopupHelp.h"
#include "ui/TCalendar.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace quorvo {

namespace {

constexpr int kLabelHeight = 17;
constexpr int kCalendarTop = 21;
constexpr int kCalendarHeight = 132;
constexpr int kNavigationTop = 161;
constexpr int kNavigationWidth = 63;
constexpr int kNavigationHeight = 23;
constexpr int kNavigationGap = 8;
constexpr int kButtonBarHeight = 51;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

constexpr PopupHelp::Text kPopupTexts[] = {
    {"PrevYear", "Click here to see the previous year's calendar"},
    {"PrevMonth", "Click here to see the previous month's calendar"},
    {"NextMonth", "Click here to see the next month's calendar"},
    {"NextYear", "Click here to see the next year's calendar"},
    {"OKButton", "Click here to use the selected date"},
    {"CancelButton", "Click to cancel and return to the previous screen"},
};

} // namespace

TDateSelector::TDateSelector(const DateFormats& formats, HelpService& help, QWidget* parent)
    : QDialog(parent), m_formats(formats), m_help(help), m_popupHelp(new PopupHelp(this))
{
    setObjectName(QStringLiteral("DateSelector"));
    setWindowTitle(tr("Select a Date"));
    // No system menu and no close box: Ok and Cancel are the ways out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(DialogFont());
    setFixedSize(kClientWidth, kClientHeight);

    m_dateLabel = new QLabel(this);
    m_dateLabel->setObjectName(QStringLiteral("DateLabel"));
    m_dateLabel->setTextFormat(Qt::PlainText);
    m_dateLabel->setAlignment(Qt::AlignCenter);
    QFont labelFont(QStringLiteral("Arial"));
    labelFont.setPixelSize(13); // 10 points on a 96-dpi desktop
    labelFont.setBold(true);
    m_dateLabel->setFont(labelFont);
    m_dateLabel->setGeometry(0, 2, kClientWidth, kLabelHeight);

    m_calendar = new TCalendar(m_formats, this);
    m_calendar->setObjectName(QStringLiteral("Calendar"));
    m_calendar->setGeometry(0, kCalendarTop, kClientWidth, kCalendarHeight);
    m_calendar->setStartOfWeek(0);
    connect(m_calendar, &TCalendar::changed, this, &TDateSelector::CalendarChange);

    const struct
    {
        const char* name;
        const char* caption;
        void (TDateSelector::*handler)();
    } navigation[] = {
        {"PrevYear", "Year-", &TDateSelector::PrevYearClick},
        {"PrevMonth", "Month-", &TDateSelector::PrevMonthClick},
        {"DoCurrentDate", "Today", &TDateSelector::CurrentDateClick},
        {"NextMonth", "Month +", &TDateSelector::NextMonthClick},
        {"NextYear", "Year+", &TDateSelector::NextYearClick},
    };
    const int rowWidth = 5 * kNavigationWidth + 4 * kNavigationGap;
    int x = (kClientWidth - rowWidth) / 2;
    for (const auto& each : navigation) {
        addButton(QLatin1String(each.name), tr(each.caption), {x, kNavigationTop, kNavigationWidth, kNavigationHeight},
                  each.handler);
        x += kNavigationWidth + kNavigationGap;
    }

    const int buttonY = kClientHeight - kButtonBarHeight + (kButtonBarHeight - kButtonHeight) / 2;
    addButton(QStringLiteral("OKButton"), tr("Ok"), {12, buttonY, kButtonWidth, kButtonHeight},
              &TDateSelector::OKButtonClick);
    addButton(QStringLiteral("CancelButton"), tr("Cancel"), {20 + kButtonWidth, buttonY, kButtonWidth, kButtonHeight},
              &TDateSelector::CancelButtonClick);
    const int mouseHelpX = kClientWidth - 12 - kButtonHeight;
    addButton(QStringLiteral("Helpbutton"), tr("Help"),
              {mouseHelpX - 8 - kButtonWidth, buttonY, kButtonWidth, kButtonHeight}, &TDateSelector::HelpbuttonClick);
    QPushButton* mouseHelp =
        addButton(QStringLiteral("MouseHelpButton"), QString(), {mouseHelpX, buttonY, kButtonHeight, kButtonHeight},
                  &TDateSelector::MouseHelpButtonClick);
    mouseHelp->setIcon(PopupHelp::mouseHelpIcon());
    mouseHelp->setToolTip(tr("What's this?"));

    m_popupHelp->attachByName(*this, kPopupTexts);
    connect(m_popupHelp, &PopupHelp::moreHelpRequested, this, &TDateSelector::HelpbuttonClick);
    m_calendar->setFocus();
    FormCreate();
}

QPushButton* TDateSelector::addButton(const QString& name, const QString& caption, QRect geometry,
                                      void (TDateSelector::*handler)())
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(geometry);
    // Only the calendar takes the focus, and no button answers Enter.
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

void TDateSelector::setDate(const DateTime& date)
{
    m_calendar->setCalendarDate(date);
}

DateTime TDateSelector::date() const
{
    return m_calendar->calendarDate();
}

void TDateSelector::FormCreate()
{
    m_dateLabel->setText(m_formats.format(u"dddddd", m_calendar->calendarDate()));
}

void TDateSelector::CalendarChange()
{
    FormCreate();
}

void TDateSelector::FormActivate()
{
    PopupHelp::useWindowColour();
}

void TDateSelector::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TDateSelector::keyPressEvent(QKeyEvent* event)
{
    // Enter and Esc mean nothing to the window as a whole; they are eaten here so that neither closes it.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void TDateSelector::PrevYearClick()
{
    m_calendar->prevYear();
}

void TDateSelector::PrevMonthClick()
{
    m_calendar->prevMonth();
}

void TDateSelector::CurrentDateClick()
{
    m_calendar->setCalendarDate(m_formats.now());
}

void TDateSelector::NextMonthClick()
{
    m_calendar->nextMonth();
}

void TDateSelector::NextYearClick()
{
    m_calendar->nextYear();
}

void TDateSelector::OKButtonClick()
{
    accept();
}

void TDateSelector::CancelButtonClick()
{
    reject();
}

void TDateSelector::HelpbuttonClick()
{
    m_help.showTopic(HelpTopics::TaskEditor);
}

void TDateSelector::MouseHelpButtonClick()
{
    PopupHelp::enterWhatsThisMode();
}

} // namespace quorvo
