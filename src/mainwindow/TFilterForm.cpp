#include "mainwindow/TFilterForm.h"

#include "mainwindow/PopupBelowButton.h"
#include "mainwindow/Windows1252Validator.h"
#include "ui/HelpService.h"
#include "ui/HelpTopics.h"
#include "ui/PopupHelp.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>

namespace quorvo {

namespace {

constexpr int kFontPixels = 11;
constexpr int kMargin = 8;
constexpr int kTop = 20;
constexpr int kDateWidth = 124;
constexpr int kDateHeight = 215;
constexpr int kRightLeft = kMargin + kDateWidth + 9;
constexpr int kRightWidth = 298;
constexpr int kKeysHeight = 79;
constexpr int kPriorityHeight = 57;
constexpr int kTaskHeight = 57;
constexpr int kBarHeight = 51;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

// "\r\n" breaks the line, as in every pop-up text of the program.
constexpr PopupHelp::Text kPopupTexts[] = {
    {"CancelButton", "Click here to cancel your selection and exit"},
    {"DateFilter", "Select a range of dates to filter on, or select 'All Dates'."},
    {"KeyListbutton", "Click here for a menu of key words you have used"},
    {"KeyWords", "Enter any Key Words to filter on here. If you use more than one Key Word, separate them with a "
                 "comma. i.e. 'Joe, Betty'.\r\n"},
    {"KeysBox", "Enter any Key Words to filter on here. If you use more than one Key Word, separate them with a "
                "comma. i.e. 'Joe, Betty'.\r\n"},
    {"OKButton", "Click here to accept your selection and exit"},
    {"PriorityFilter", "Select a priority level to filter by"},
    {"ResetButton", "Click here to reset the filter back to its defaults - which is all tasks."},
    {"TaskFilter", "Enter a word or phrase to look for in the task (only one word or phrase can be used)"},
    {"TaskFilterBox", "Enter a word or phrase to look for in the task (only one word or phrase can be used)"},
};

QPushButton* barButton(QWidget* parent, const char* name, const QString& caption, int x, int y)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(x, y, kButtonWidth, kButtonHeight);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TFilterForm::TFilterForm(HelpService& help, const QStringList& keyWords, QWidget* parent)
    : QDialog(parent), m_help(help), m_popupHelp(new PopupHelp(this))
{
    setObjectName(QStringLiteral("FilterForm"));
    setWindowTitle(tr("Task Filter"));
    // A fixed border and no title-bar buttons: Ok, Cancel and Reset are the ways out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(kClientWidth, kClientHeight);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kFontPixels);
    setFont(font);

    m_dateBox = createDateFilter();
    m_keysBox = createKeysBox(keyWords);
    m_priorityBox = createPriorityFilter();
    m_taskFilterBox = createTaskFilterBox();
    createButtonBar();
    m_popupHelp->attachByName(*this, kPopupTexts);
    connect(m_popupHelp, &PopupHelp::moreHelpRequested, this, &TFilterForm::HelpbuttonClick);
}

QGroupBox* TFilterForm::createDateFilter()
{
    auto* box = new QGroupBox(tr("&Date Filter"), this);
    box->setObjectName(QStringLiteral("DateFilter"));
    box->setGeometry(kMargin, kTop, kDateWidth, kDateHeight);
    m_dateFilter = new QButtonGroup(box);
    const char* items[] = {"All Dates",    "Today ",        "Tomorrow",    "Next 7 Days",
                           "Next 30 Days", "Next 365 Days", "Before Today"};
    constexpr int kItemHeight = 26;
    for (int i = 0; i < int(std::size(items)); ++i) {
        auto* item = new QRadioButton(QString::fromLatin1(items[i]), box);
        item->setObjectName(QStringLiteral("DateFilterItem%1").arg(i));
        item->setGeometry(10, 22 + i * kItemHeight, kDateWidth - 16, 20);
        m_dateFilter->addButton(item, i);
    }
    m_dateFilter->button(0)->setChecked(true);
    return box;
}

QGroupBox* TFilterForm::createKeysBox(const QStringList& keyWords)
{
    auto* box = new QGroupBox(tr("&Keys Filter (contains any of the following keys)"), this);
    box->setObjectName(QStringLiteral("KeysBox"));
    box->setGeometry(kRightLeft, kTop, kRightWidth, kKeysHeight);

    m_keyWords = new QLineEdit(box);
    m_keyWords->setObjectName(QStringLiteral("KeyWords"));
    m_keyWords->setGeometry(10, 22, kRightWidth - 50, 22);
    m_keyWords->setValidator(new Windows1252Validator(m_keyWords));

    m_keyListButton = new QToolButton(box);
    m_keyListButton->setObjectName(QStringLiteral("KeyListbutton"));
    m_keyListButton->setGeometry(kRightWidth - 36, 21, 24, 24);
    m_keyListButton->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    m_keyListButton->setToolTip(tr("Key words"));
    connect(m_keyListButton, &QToolButton::clicked, this, &TFilterForm::KeyListbuttonClick);

    auto* hint = new QLabel(tr("(separate keys with commas)"), box);
    hint->setObjectName(QStringLiteral("Label3"));
    hint->setGeometry(12, 50, kRightWidth - 24, 18);
    // The group's mnemonic leads into the field.
    box->setFocusProxy(m_keyWords);

    m_keyListMenu = new QMenu(this);
    m_keyListMenu->setObjectName(QStringLiteral("KeyListMenu"));
    for (const QString& word : keyWords) {
        // A word is shown as it is: an ampersand in it is no accelerator.
        QAction* item = m_keyListMenu->addAction(QString(word).replace(u'&', QStringLiteral("&&")));
        connect(item, &QAction::triggered, this, [this, word] { KeyListMenuItemClick(word); });
    }
    return box;
}

QGroupBox* TFilterForm::createPriorityFilter()
{
    auto* box = new QGroupBox(tr("Priority Filter"), this);
    box->setObjectName(QStringLiteral("PriorityFilter"));
    box->setGeometry(kRightLeft, kTop + kKeysHeight + 12, kRightWidth, kPriorityHeight);
    m_priorityFilter = new QButtonGroup(box);
    const char* items[] = {"All Priorities", "High Priority Only", "Medium Priority Only", "Low Priority Only"};
    // Two columns, filled down then across.
    for (int i = 0; i < int(std::size(items)); ++i) {
        auto* item = new QRadioButton(QString::fromLatin1(items[i]), box);
        item->setObjectName(QStringLiteral("PriorityFilterItem%1").arg(i));
        item->setGeometry(10 + (i / 2) * (kRightWidth / 2), 18 + (i % 2) * 18, kRightWidth / 2 - 14, 18);
        m_priorityFilter->addButton(item, i);
    }
    m_priorityFilter->button(0)->setChecked(true);
    return box;
}

QGroupBox* TFilterForm::createTaskFilterBox()
{
    auto* box = new QGroupBox(tr("&Task Filter (contains the following text)"), this);
    box->setObjectName(QStringLiteral("TaskFilterBox"));
    box->setGeometry(kRightLeft, kTop + kKeysHeight + 12 + kPriorityHeight + 11, kRightWidth, kTaskHeight);
    m_taskFilter = new QLineEdit(box);
    m_taskFilter->setObjectName(QStringLiteral("TaskFilter"));
    m_taskFilter->setGeometry(10, 22, kRightWidth - 20, 22);
    m_taskFilter->setValidator(new Windows1252Validator(m_taskFilter));
    box->setFocusProxy(m_taskFilter);
    return box;
}

void TFilterForm::createButtonBar()
{
    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("ButtonBar"));
    bar->setFrameStyle(QFrame::Panel | QFrame::Raised);
    bar->setGeometry(0, kClientHeight - kBarHeight, kClientWidth, kBarHeight);
    const int y = (kBarHeight - kButtonHeight) / 2;

    QPushButton* ok = barButton(bar, "OKButton", tr("Ok"), kMargin, y);
    ok->setDefault(true);
    QPushButton* cancel = barButton(bar, "CancelButton", tr("Cancel"), kMargin + kButtonWidth + 6, y);
    QPushButton* reset = barButton(bar, "ResetButton", tr("Reset"), kMargin + 2 * (kButtonWidth + 6), y);
    const int helpX = kClientWidth - kMargin - kButtonHeight - 6 - kButtonWidth;
    QPushButton* helpButton = barButton(bar, "Helpbutton", tr("Help"), helpX, y);
    QPushButton* mouseHelp = barButton(bar, "MouseHelpButton", QString(), helpX + kButtonWidth + 6, y);
    mouseHelp->setFixedWidth(kButtonHeight);
    mouseHelp->setIcon(PopupHelp::mouseHelpIcon());
    mouseHelp->setToolTip(tr("What's this?"));

    connect(ok, &QPushButton::clicked, this, &TFilterForm::OKButtonClick);
    connect(cancel, &QPushButton::clicked, this, &TFilterForm::CancelButtonClick);
    connect(reset, &QPushButton::clicked, this, &TFilterForm::ResetButtonClick);
    connect(helpButton, &QPushButton::clicked, this, &TFilterForm::HelpbuttonClick);
    connect(mouseHelp, &QPushButton::clicked, this, &TFilterForm::MouseHelpButtonClick);
}

void TFilterForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    PopupHelp::useWindowColour();
}

void TFilterForm::setCriteria(const FilterCriteria& criteria)
{
    m_passedThrough = criteria;
    if (QAbstractButton* date = m_dateFilter->button(criteria.dateFilterIndex))
        date->setChecked(true);
    m_keyWords->setText(criteria.keysFilterText);
    if (QAbstractButton* priority = m_priorityFilter->button(criteria.priorityFilterIndex))
        priority->setChecked(true);
    m_taskFilter->setText(criteria.taskFilterText);
}

FilterCriteria TFilterForm::criteria() const
{
    FilterCriteria criteria = m_passedThrough;
    criteria.dateFilterIndex = std::max(0, m_dateFilter->checkedId());
    criteria.keysFilterText = m_keyWords->text();
    criteria.priorityFilterIndex = std::max(0, m_priorityFilter->checkedId());
    criteria.taskFilterText = m_taskFilter->text();
    return criteria;
}

void TFilterForm::OKButtonClick()
{
    accept();
}

void TFilterForm::CancelButtonClick()
{
    reject();
}

void TFilterForm::ResetButtonClick()
{
    m_dateFilter->button(0)->setChecked(true);
    m_keyWords->clear();
    m_priorityFilter->button(0)->setChecked(true);
    accept();
}

void TFilterForm::HelpbuttonClick()
{
    m_help.showTopic(HelpTopics::Filter);
}

void TFilterForm::MouseHelpButtonClick()
{
    PopupHelp::enterWhatsThisMode();
}

void TFilterForm::KeyListbuttonClick()
{
    PopupBelowButton(m_keyListButton, m_keyListMenu);
}

void TFilterForm::KeyListMenuItemClick(const QString& word)
{
    if (m_keyWords->text().isEmpty())
        m_keyWords->setText(word);
    else
        m_keyWords->setText(m_keyWords->text() + u',' + word);
}

} // namespace quorvo
