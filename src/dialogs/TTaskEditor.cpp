#include "dialogs/TTaskEditor.h"

#include "datetime/DateFormats.h"
#include "datetime/QuickDateList.h"
#include "dialogs/TDateSelector.h"
#include "dialogs/TSetTimeDialog.h"
#include "mainwindow/PlaceWindow.h"
#include "mainwindow/PopupBelowButton.h"
#include "mainwindow/Windows1252TextGuard.h"
#include "mainwindow/Windows1252Validator.h"
#include "store/Messages.h"
#include "ui/DialogFont.h"
#include "ui/DialogGlyphs.h"
#include "ui/HelpService.h"
#include "ui/HelpTopics.h"
#include "ui/ModalRunner.h"
#include "ui/PopupHelp.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <iterator>

namespace quorvo {

namespace {

constexpr int kMargin = 12;
constexpr int kEditHeight = 21;
constexpr int kGlyphButton = 23;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonBarHeight = 51;

constexpr PopupHelp::Text kPopupTexts[] = {
    {"CalendarButton", "Click here to select a date from a calendar"},
    {"CancelButton", "Click here to cancel and exit"},
    {"DateEdit", "Enter the date here (format will depend upon your Windows settings)"},
    {"IsDone", "Check here to mark the task as done or not"},
    {"KeyListbutton", "Click here for a menu of key words you have used"},
    {"KeyWords", "Key words are words of your own that let you filter the list later, so that only the tasks "
                 "carrying a word are shown.\r\n\r\n"
                 "For example, two people who share the program can each put their own name in the key words "
                 "of their tasks, and later filter on it to see only their own.\r\n\r\n"
                 "Or divide your tasks into home and school by giving each the key word HOME or SCHOOL."},
    {"Notes", "Enter any notes about this task here"},
    {"OKButton", "Click here to save changes"},
    {"pHigh", "Check for high priority"},
    {"pMedium", "Check for medium priority"},
    {"pLow", "Check for low priority"},
    {"QuickDateButton", "Click here for a quick dropdown list of dates"},
    {"QuickTimeButton", "Click here to call up the point-and-click Quick Time Set dialog"},
    {"Task", "Enter a description for the task here"},
    {"TimeEdit", "Enter the time here (HH:MMam/pm)"},
};

QLabel* label(const QString& name, const QString& text, QWidget* parent, QPoint at)
{
    auto* control = new QLabel(text, parent);
    control->setObjectName(name);
    control->setTextFormat(Qt::PlainText);
    control->move(at);
    control->adjustSize();
    return control;
}

QLineEdit* lineEdit(const QString& name, QWidget* parent, QRect geometry)
{
    auto* control = new QLineEdit(parent);
    control->setObjectName(name);
    control->setGeometry(geometry);
    return control;
}

QPushButton* glyphButton(const QString& name, const QIcon& glyph, QWidget* parent, QPoint at)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setIcon(glyph);
    button->setAutoDefault(false);
    button->setGeometry(at.x(), at.y(), kGlyphButton, kGlyphButton);
    return button;
}

QFrame* groupFrame(const QString& name, QWidget* parent, QRect geometry)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(geometry);
    return frame;
}

} // namespace

TTaskEditor::TTaskEditor(const DateFormats& formats, const QStringList& keyWords, HelpService& help, QWidget* parent)
    : QDialog(parent), m_formats(formats), m_help(help), m_popupHelp(new PopupHelp(this))
{
    setObjectName(QStringLiteral("TaskEditor"));
    setWindowTitle(tr("Task Editor"));
    // No system menu and no close, minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(DialogFont());
    setFixedSize(kClientWidth, kClientHeight);
    createControls();
    arrangeTabOrder();
    m_popupHelp->attachByName(*this, kPopupTexts);
    connect(m_popupHelp, &PopupHelp::moreHelpRequested, this, &TTaskEditor::HelpButtonClick);
    // Leaving the date or time field for another control of this window checks it.
    connect(qApp, &QApplication::focusChanged, this, &TTaskEditor::focusChanged);
    // Ctrl+S must reach the window before the control that has the focus.
    qApp->installEventFilter(this);
    FormCreate(keyWords);
}

TTaskEditor::~TTaskEditor()
{
    // Hiding in the base destructor moves the focus; by then this is no longer an editor to check fields.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    qApp->removeEventFilter(this);
}

void TTaskEditor::createControls()
{
    m_taskLabel = label(QStringLiteral("TaskLabel"), tr("Editing Task"), this, {kMargin, 8});
    m_taskLabel->setMinimumWidth(258);
    m_task = lineEdit(QStringLiteral("Task"), this, {kMargin, 24, 258, kEditHeight});
    m_task->setMaxLength(kTaskMaxLength);
    m_task->setValidator(new Windows1252Validator(m_task));
    m_isDone = new QCheckBox(tr("Done?"), this);
    m_isDone->setObjectName(QStringLiteral("IsDone"));
    m_isDone->setGeometry(284, 26, 90, 17);

    label(QStringLiteral("KeyWordsLabel"), tr("Key words"), this, {kMargin, 54});
    m_keyWords = lineEdit(QStringLiteral("KeyWords"), this, {kMargin, 70, 312, kEditHeight});
    m_keyWords->setValidator(new Windows1252Validator(m_keyWords));
    m_keyListButton = glyphButton(QStringLiteral("KeyListbutton"), DialogGlyphs::dropDown(), this, {328, 69});
    m_keyListButton->setFocusPolicy(Qt::NoFocus);
    connect(m_keyListButton, &QPushButton::clicked, this, &TTaskEditor::KeyListbuttonClick);

    m_dateFormat = createDateGroup();
    m_timeFormat = createTimeGroup();
    createPriorityPanel();

    label(QStringLiteral("NotesLabel"), tr("Notes"), this, {kMargin + 2, 222});
    m_notes = new QPlainTextEdit(this);
    m_notes->setObjectName(QStringLiteral("Notes"));
    m_notes->setGeometry(kMargin + 2, 238, 364, 76);
    m_notes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_notes->setTabChangesFocus(true);
    new Windows1252TextGuard(m_notes);

    createButtonBar();

    m_quickDateMenu = new QMenu(this);
    m_quickDateMenu->setObjectName(QStringLiteral("QuickDateMenu"));
    m_keyListMenu = new QMenu(this);
    m_keyListMenu->setObjectName(QStringLiteral("KeyListMenu"));
}

QFrame* TTaskEditor::createDateGroup()
{
    QFrame* frame = groupFrame(QStringLiteral("DateFormat"), this, {kMargin, 100, 221, 56});
    label(QStringLiteral("DateEditLabel"), tr("Date (blank for none)"), frame, {8, 6});
    m_dateEdit = lineEdit(QStringLiteral("DateEdit"), frame, {8, 25, 71, kEditHeight});
    m_calendarButton = glyphButton(QStringLiteral("CalendarButton"), DialogGlyphs::calendar(), frame, {83, 24});
    connect(m_calendarButton, &QPushButton::clicked, this, &TTaskEditor::CalendarButtonClick);
    m_quickDateButton = new QPushButton(tr("Quick Date"), frame);
    m_quickDateButton->setObjectName(QStringLiteral("QuickDateButton"));
    m_quickDateButton->setIcon(DialogGlyphs::dropDown());
    // Right to left puts the glyph after the caption.
    m_quickDateButton->setLayoutDirection(Qt::RightToLeft);
    m_quickDateButton->setFocusPolicy(Qt::NoFocus);
    m_quickDateButton->setAutoDefault(false);
    m_quickDateButton->setGeometry(112, 24, 99, kGlyphButton);
    connect(m_quickDateButton, &QPushButton::clicked, this, &TTaskEditor::QuickDateButtonClick);
    return frame;
}

QFrame* TTaskEditor::createTimeGroup()
{
    QFrame* frame = groupFrame(QStringLiteral("TimeFormat"), this, {kMargin + 229, 100, 139, 56});
    label(QStringLiteral("TimeEditLabel"), tr("Time (blank for none)"), frame, {8, 6});
    m_timeEdit = lineEdit(QStringLiteral("TimeEdit"), frame, {8, 25, 71, kEditHeight});
    m_quickTimeButton = glyphButton(QStringLiteral("QuickTimeButton"), DialogGlyphs::clock(), frame, {83, 24});
    connect(m_quickTimeButton, &QPushButton::clicked, this, &TTaskEditor::QuickTimeButtonClick);
    return frame;
}

QFrame* TTaskEditor::createPriorityPanel()
{
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("PriorityPanel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(kMargin + 2, 166, 366, 36);
    auto* caption = label(QStringLiteral("Label1"), tr("Priority"), panel, {10, 0});
    caption->setFixedHeight(36);
    const struct
    {
        QRadioButton** member;
        const char* name;
        const char* caption;
        int x;
    } buttons[] = {
        {&m_pHigh, "pHigh", "High", 96},
        {&m_pMedium, "pMedium", "Medium", 176},
        {&m_pLow, "pLow", "Low", 272},
    };
    for (const auto& each : buttons) {
        auto* button = new QRadioButton(tr(each.caption), panel);
        button->setObjectName(QLatin1String(each.name));
        button->setGeometry(each.x, 9, 80, 18);
        *each.member = button;
    }
    m_pMedium->setChecked(true);
    return panel;
}

void TTaskEditor::createButtonBar()
{
    const int y = kClientHeight - kButtonBarHeight + (kButtonBarHeight - kButtonHeight) / 2;
    auto button = [this, y](const QString& name, const QString& caption, int x, int width) {
        auto* control = new QPushButton(caption, this);
        control->setObjectName(name);
        control->setGeometry(x, y, width, kButtonHeight);
        return control;
    };
    m_okButton = button(QStringLiteral("OKButton"), tr("Ok"), kMargin, kButtonWidth);
    m_okButton->setDefault(true);
    m_cancelButton = button(QStringLiteral("CancelButton"), tr("Cancel"), kMargin + kButtonWidth + 8, kButtonWidth);
    const int mouseHelpX = kClientWidth - kMargin - kButtonHeight;
    m_helpButton = button(QStringLiteral("Helpbutton"), tr("Help"), mouseHelpX - 8 - kButtonWidth, kButtonWidth);
    m_mouseHelpButton = button(QStringLiteral("MouseHelpButton"), QString(), mouseHelpX, kButtonHeight);
    m_mouseHelpButton->setIcon(PopupHelp::mouseHelpIcon());
    m_mouseHelpButton->setToolTip(tr("What's this?"));
    connect(m_okButton, &QPushButton::clicked, this, &TTaskEditor::OKButtonClick);
    connect(m_cancelButton, &QPushButton::clicked, this, &TTaskEditor::CancelButtonClick);
    connect(m_helpButton, &QPushButton::clicked, this, &TTaskEditor::HelpButtonClick);
    connect(m_mouseHelpButton, &QPushButton::clicked, this, &TTaskEditor::MouseHelpButtonClick);
}

void TTaskEditor::arrangeTabOrder()
{
    // The glyph buttons come last, after the bottom row; the key-word and quick-date buttons take no focus.
    QWidget* const order[] = {m_task,         m_isDone,          m_keyWords,   m_dateEdit,        m_timeEdit,
                              m_pHigh,        m_pMedium,         m_pLow,       m_notes,           m_okButton,
                              m_cancelButton, m_mouseHelpButton, m_helpButton, m_quickTimeButton, m_calendarButton};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

QString TTaskEditor::userPattern() const
{
    return m_formats.user().shortDatePattern;
}

void TTaskEditor::FormCreate(const QStringList& keyWords)
{
    const QList<QuickDateList::Item> items = QuickDateList::build(m_formats);
    for (const QuickDateList::Item& item : items) {
        QAction* action = m_quickDateMenu->addAction(item.caption);
        action->setObjectName(item.name);
        action->setData(item.offset);
        const int offset = item.offset;
        connect(action, &QAction::triggered, this, [this, offset] { QuickDateItemClick(offset); });
    }
    for (const QString& word : keyWords) {
        QAction* action = m_keyListMenu->addAction(word);
        connect(action, &QAction::triggered, this, [this, word] { KeyListMenuItemClick(word); });
    }
}

void TTaskEditor::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TTaskEditor::FormShow()
{
    m_task->setFocus();
    m_task->selectAll();
}

void TTaskEditor::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TTaskEditor::FormActivate()
{
    const FormatSettings& user = m_formats.user();
    m_dateFormat->setToolTip(tr("(use format ") + user.shortDatePattern.toLower() + QLatin1Char(')'));
    m_timeFormat->setToolTip(tr("(use format ") + m_formats.format(u"t", m_formats.now(), user) + QLatin1Char(')'));
    PopupHelp::useWindowColour();
}

void TTaskEditor::focusChanged(QWidget* old, QWidget* now)
{
    // Only a move to another control of this window: a message box or the window closing is not leaving.
    if (!now || now->window() != this || now == old || (old != m_dateEdit && old != m_timeEdit))
        return;
    // A press that moved the focus is delivered to its control only after this returns.
    const bool pressing = QGuiApplication::mouseButtons() != Qt::NoButton;
    const bool passed = old == m_dateEdit ? dateCheck() : timeCheck();
    // After a failed check the press must not go on to act (an Ok would take the field just emptied as
    // chosen): the control under it never sees it, as if the message had taken it.
    if (!passed && pressing)
        m_refusedPress = now;
}

bool TTaskEditor::dateCheck()
{
    const QString text = m_dateEdit->text();
    if (text.isEmpty())
        return true;
    const FormatSettings& user = m_formats.user();
    if (const std::optional<DateTime> date = m_formats.parseDate(text, user)) {
        m_dateEdit->setText(m_formats.format(u"ddddd", *date, user));
        return true;
    }
    ShowInfo(tr("Please use the date format ") + userPattern() + tr("\r   Example: ") +
             m_formats.format(userPattern(), m_formats.now(), user));
    m_dateEdit->clear();
    m_dateEdit->setFocus();
    m_okFlag = false;
    return false;
}

bool TTaskEditor::timeCheck()
{
    const QString text = m_timeEdit->text();
    if (text.isEmpty())
        return true;
    const FormatSettings& user = m_formats.user();
    if (const std::optional<DateTime> time = m_formats.parseTime(text, user)) {
        m_timeEdit->setText(m_formats.format(u"t", *time, user));
        return true;
    }
    ShowInfo(tr("Invalid time. Please use your Windows Time format\r   Example: ") +
             m_formats.format(u"t", m_formats.now(), user));
    m_timeEdit->clear();
    m_timeEdit->setFocus();
    m_okFlag = false;
    return false;
}

void TTaskEditor::DateEditExit()
{
    dateCheck();
}

void TTaskEditor::TimeEditExit()
{
    timeCheck();
}

void TTaskEditor::OKButtonClick()
{
    m_okFlag = true;
    DateEditExit();
    TimeEditExit();
    if (!m_okFlag)
        return;
    m_decided = true;
    accept();
}

void TTaskEditor::CancelButtonClick()
{
    m_decided = true;
    reject();
}

void TTaskEditor::FormCloseQuery()
{
    if (m_decided)
        return;
    if (AskYesNo(tr("Save changes"))) {
        OKButtonClick();
        QCoreApplication::processEvents();
    }
}

void TTaskEditor::closeEvent(QCloseEvent* event)
{
    FormCloseQuery();
    // The close goes ahead in any case; without a successful Ok it is a Cancel, never an unchecked Ok.
    if (!m_decided) {
        m_decided = true;
        reject();
    }
    event->accept();
}

bool TTaskEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (m_refusedPress && qobject_cast<QWidget*>(watched) &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        const bool refused = watched == m_refusedPress;
        m_refusedPress = nullptr;
        if (refused)
            return true;
    }
    if (event->type() == QEvent::KeyPress && isVisible()) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (widget && widget->window() == this && key->key() == Qt::Key_S &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
            OKButtonClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TTaskEditor::QuickDateButtonClick()
{
    PopupBelowButton(m_quickDateButton, m_quickDateMenu);
}

void TTaskEditor::QuickDateItemClick(int offset)
{
    m_dateEdit->setText(m_formats.format(u"ddddd", QuickDateList::dateFor(offset, m_formats), m_formats.user()));
    m_dateEdit->setFocus();
}

void TTaskEditor::KeyListbuttonClick()
{
    PopupBelowButton(m_keyListButton, m_keyListMenu);
}

void TTaskEditor::KeyListMenuItemClick(const QString& keyWord)
{
    if (m_keyWords->text().isEmpty())
        m_keyWords->setText(keyWord);
    else
        m_keyWords->setText(m_keyWords->text() + QLatin1Char(' ') + keyWord);
}

void TTaskEditor::CalendarButtonClick()
{
    const FormatSettings& user = m_formats.user();
    TDateSelector picker(m_formats, m_help, this);
    PlaceWindow(&picker, parentWidget());
    const std::optional<DateTime> typed = m_formats.parseDate(m_dateEdit->text(), user);
    picker.setDate(typed ? *typed : m_formats.now());
    if (ModalRunner::run(picker) == QDialog::Accepted)
        m_dateEdit->setText(m_formats.format(u"ddddd", picker.date(), user));
    m_dateEdit->setFocus();
}

void TTaskEditor::QuickTimeButtonClick()
{
    const FormatSettings& user = m_formats.user();
    DateTime start = m_formats.now();
    if (!m_timeEdit->text().isEmpty()) {
        if (const std::optional<DateTime> typed = m_formats.parseTime(m_timeEdit->text(), user))
            start = *typed;
    }
    TSetTimeDialog picker(m_formats, m_help, this);
    picker.setTime(start);
    PlaceWindow(&picker, parentWidget());
    if (ModalRunner::run(picker) == QDialog::Accepted)
        m_timeEdit->setText(m_formats.format(u"t", picker.time(), user));
}

void TTaskEditor::HelpButtonClick()
{
    m_help.showTopic(HelpTopics::TaskEditor);
}

void TTaskEditor::MouseHelpButtonClick()
{
    PopupHelp::enterWhatsThisMode();
}

} // namespace quorvo
