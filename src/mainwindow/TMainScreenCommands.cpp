// The main window's task commands, column menus and sort orders: each handler asks what it must (the task
// editor, a picker, a menu), lets TaskCommands or SortOrders do the work on the table, and shows the result.
#include "mainwindow/TMainScreen.h"

#include "datetime/DateFormats.h"
#include "datetime/QuickDateList.h"
#include "datetime/ShortDateNarrowing.h"
#include "datetime/StoredForms.h"
#include "dialogs/TDateSelector.h"
#include "dialogs/TSetTimeDialog.h"
#include "dialogs/TTaskEditor.h"
#include "mainwindow/PlaceWindow.h"
#include "mainwindow/PopupBelowButton.h"
#include "mainwindow/TaskGrid.h"
#include "mainwindow/TaskNotesBinding.h"
#include "mainwindow/TaskViewModel.h"
#include "store/Clock.h"
#include "store/Messages.h"
#include "store/Windows1252.h"
#include "tasks/SortOrders.h"
#include "tasks/TaskCommands.h"
#include "tasks/TaskEditorFields.h"
#include "ui/ModalRunner.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTextDocument>

namespace quorvo {

namespace {

const QString kClearEntry = QStringLiteral("Clear Entry");

QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QMenu* newMenu(QWidget* parent, const char* name)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

// A menu shows "&" as the mnemonic's underline; a key word shows as typed.
QString menuCaption(const QString& text)
{
    QString caption = text;
    return caption.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString failureReason(const xbase::Error& error)
{
    if (error.code == xbase::ErrorCode::Locked)
        return QStringLiteral("Another program is using this task. Try again when it has finished.");
    return Windows1252::toUnicode(error.message);
}

} // namespace

void TMainScreen::createCommandMenus()
{
    m_dateColumnMenu = newMenu(this, "DateColumnMenu");
    connect(addMenuItem(m_dateColumnMenu, "Calendar1", tr("Calendar")), &QAction::triggered, this,
            &TMainScreen::DateCalendarItemClick);
    connect(addMenuItem(m_dateColumnMenu, "QuickDate1", tr("Quick Date")), &QAction::triggered, this,
            &TMainScreen::QuickDateMenuPopup);
    connect(addMenuItem(m_dateColumnMenu, "ClearDate1", tr("Clear Date")), &QAction::triggered, this,
            &TMainScreen::ClearDateItemClick);
    m_dateColumnMenu->addSeparator();
    addMenuItem(m_dateColumnMenu, "Cancel1", tr("Cancel"));

    // The captions carry today's dates; they are built once, as the window is created.
    m_quickDateMenu = newMenu(this, "QuickDateMenu");
    const DateTime today = DateTime::fromQDate(m_clock.today()).value_or(DateTime());
    for (int i = 0; i < QuickDateList::kCount; ++i) {
        const QuickDateList::Choice& choice = QuickDateList::choices()[static_cast<std::size_t>(i)];
        QAction* item = addMenuItem(m_quickDateMenu, choice.name,
                                    menuCaption(QuickDateList::caption(i, today, DateFormats::current())));
        item->setData(choice.offset);
        connect(item, &QAction::triggered, this, [this, offset = choice.offset] { QuickDateItemClick(offset); });
    }
    m_quickDateMenu->addSeparator();
    addMenuItem(m_quickDateMenu, "Cancel2", tr("Cancel"));

    m_priorityColumnMenu = newMenu(this, "PriorityColumnMenu");
    const std::pair<const char*, const char*> priorities[] = {
        {"High1", "High Priority"}, {"MediumPriority1", "Medium Priority"}, {"Low1", "Low Priority"}};
    const char* codes[] = {"A", "B", "C"};
    for (std::size_t i = 0; i < std::size(priorities); ++i) {
        QAction* item = addMenuItem(m_priorityColumnMenu, priorities[i].first, tr(priorities[i].second));
        connect(item, &QAction::triggered, this,
                [this, code = QString::fromLatin1(codes[i])] { PriorityItemClick(code); });
    }
    m_priorityColumnMenu->addSeparator();
    addMenuItem(m_priorityColumnMenu, "Cancel3", tr("Cancel"));

    m_buttonSortMenu = newMenu(this, "ButtonSortMenu");
    for (int i = 0; i < SortOrders::kCount; ++i) {
        const SortOrders::SortOrder& order = SortOrders::orders()[static_cast<std::size_t>(i)];
        QAction* mainItem = addMenuItem(m_sortMenu, order.mainMenuItem, tr(order.caption));
        QAction* buttonItem = addMenuItem(m_buttonSortMenu, order.buttonMenuItem, tr(order.caption));
        for (QAction* item : {mainItem, buttonItem}) {
            item->setCheckable(true);
            connect(item, &QAction::triggered, this, [this, tag = order.tag] { SortCommand(tag); });
        }
        m_mainSortItems[static_cast<std::size_t>(i)] = mainItem;
        m_buttonSortItems[static_cast<std::size_t>(i)] = buttonItem;
    }
    connect(m_buttonSortMenu, &QMenu::aboutToShow, this, &TMainScreen::ButtonSortMenuPopup);
}

bool TMainScreen::runTaskEditor(TaskEditorFields& fields)
{
    DateFormats& formats = DateFormats::current();
    TTaskEditor editor(formats, m_keyWordList.words(), m_help, this);
    QCoreApplication::processEvents();
    editor.taskLabel()->setText(fields.taskLabel);
    editor.descriptionEdit()->setText(fields.task);
    editor.isDone()->setChecked(fields.isDone);
    editor.keyWordsEdit()->setText(fields.keyWords);
    editor.notes()->setPlainText(TaskNotesBinding::toShown(fields.notes));
    editor.dateEdit()->setText(fields.dateEdit);
    editor.timeEdit()->setText(fields.timeEdit);
    if (fields.priority == TaskEditorFields::Priority::High)
        editor.pHigh()->setChecked(true);
    else if (fields.priority == TaskEditorFields::Priority::Low)
        editor.pLow()->setChecked(true);

    PlaceWindow(&editor, this);
    formats.UseUserDateFormats();
    const int result = ModalRunner::run(editor);
    formats.UseWorkingDateFormats();

    fields.task = editor.descriptionEdit()->text();
    fields.isDone = editor.isDone()->isChecked();
    fields.keyWords = editor.keyWordsEdit()->text();
    fields.notes = TaskNotesBinding::toStored(TaskNotesBinding::textOf(*editor.notes()->document()));
    fields.dateEdit = editor.dateEdit()->text();
    fields.timeEdit = editor.timeEdit()->text();
    fields.priority = editor.pHigh()->isChecked()  ? TaskEditorFields::Priority::High
                      : editor.pLow()->isChecked() ? TaskEditorFields::Priority::Low
                                                   : TaskEditorFields::Priority::Medium;
    return result == QDialog::Accepted;
}

std::optional<QDate> TMainScreen::pickDate(const QDate& start)
{
    TDateSelector picker(DateFormats::current(), m_help, this);
    if (const auto date = DateTime::fromQDate(start))
        picker.setDate(*date);
    PlaceWindow(&picker, this);
    if (ModalRunner::run(picker) != QDialog::Accepted)
        return std::nullopt;
    return picker.date().toQDate();
}

std::optional<QTime> TMainScreen::pickTime(const QTime& start)
{
    TSetTimeDialog picker(DateFormats::current(), m_help, this);
    if (const auto time = DateTime::fromTime(start.hour(), start.minute(), start.second()))
        picker.setTime(*time);
    PlaceWindow(&picker, this);
    if (ModalRunner::run(picker) != QDialog::Accepted)
        return std::nullopt;
    return picker.time().toQTime();
}

void TMainScreen::popupMenu(QMenu* menu, const QPoint& globalPos)
{
    menu->exec(globalPos);
}

void TMainScreen::BuildKeyWordList()
{
    const xbase::Status built = m_commands->buildKeyWordList([] { QCoreApplication::processEvents(); });
    if (!built)
        reportCommandFailure(tr("The list of key words could not be read completely."), built.error());
}

void TMainScreen::reportCommandFailure(const QString& what, const xbase::Error& error)
{
    ShowError(what + QLatin1Char('\r') + failureReason(error));
}

void TMainScreen::showWrittenTask()
{
    if (!m_todoTable.isOpen() || m_todoTable.engine().eof()) {
        m_taskGrid->syncToTable();
        return;
    }
    if (!m_taskGrid->placeTask(m_todoTable.engine().recNo()))
        refreshView();
}

void TMainScreen::showDeletedTask(quint32 recno)
{
    m_taskGrid->removeTask(recno);
}

void TMainScreen::changeCurrentTask(const QString& what, const std::function<xbase::Status(TaskCommands&)>& change)
{
    if (isViewAtEnd())
        return;
    m_taskGrid->postPendingEdits();
    const std::optional<TaskImage> before = imageOfCurrentTask();
    const xbase::Status status = change(*m_commands);
    recordTaskChange(before);
    if (!status)
        reportCommandFailure(what, status.error());
    // After a failure too: the row shows the task as it is stored.
    showWrittenTask();
    SetButtons();
}

void TMainScreen::CallTaskEdit(bool adding)
{
    if (!m_todoTable.isOpen())
        return;
    m_taskGrid->postPendingEdits();
    if (!adding && isViewAtEnd())
        return;
    DateFormats& formats = DateFormats::current();
    {
        // The editor's date field shows and takes numbers only; the full pattern is back when it is gone.
        ShortDateNarrowing narrowed(formats);
        TaskEditorFields fields;
        if (adding) {
            fields = TaskEditorFields::forAdd();
        } else {
            const auto task = m_commands->current();
            if (!task) {
                // Its notes unread, saving the editor would wipe them.
                reportCommandFailure(tr("The task could not be read, so it cannot be edited."), task.error());
                SetButtons();
                return;
            }
            fields = TaskEditorFields::forEdit(*task, formats);
        }
        if (runTaskEditor(fields)) {
            const TaskValues values = fields.collect(formats);
            const std::optional<TaskImage> before = adding ? std::nullopt : imageOfCurrentTask();
            const xbase::Status saved = adding ? m_commands->add(values) : m_commands->edit(values);
            if (!saved)
                ShowInfo(QStringLiteral("Error:Unable to save changes"));
            else if (adding)
                recordTaskAdded(tr("New Task"));
            else
                recordTaskChange(before);
            showWrittenTask();
        }
    }
    update();
    SetButtons();
}

void TMainScreen::EditbuttonClick()
{
    CallTaskEdit(false);
}

void TMainScreen::NewbuttonClick()
{
    CallTaskEdit(true);
    SetButtons();
}

void TMainScreen::CloneButtonClick()
{
    if (isViewAtEnd())
        return;
    m_taskGrid->postPendingEdits();
    if (!AskYesNo(QStringLiteral("Clone this task?"))) {
        SetButtons();
        return;
    }
    const xbase::Status cloned = m_commands->cloneCurrent();
    if (!cloned)
        reportCommandFailure(tr("The task could not be cloned."), cloned.error());
    else
        recordTaskAdded(tr("Clone Task"));
    showWrittenTask();
    SetButtons();
}

void TMainScreen::DeleteButtonClick()
{
    if (isViewAtEnd())
        return;
    m_taskGrid->postPendingEdits();
    if (!AskYesNo(QStringLiteral("Delete this task? ")))
        return;
    const quint32 task = m_todoTable.engine().recNo();
    const std::optional<TaskImage> before = imageOfCurrentTask();
    if (m_commands->deleteCurrent()) {
        recordTaskChange(before);
        showDeletedTask(task);
    } else {
        ShowInfo(QStringLiteral("Error: Unable to delete"));
    }
    SetButtons();
}

void TMainScreen::DoneToggleButtonClick()
{
    if (isViewAtEnd())
        return;
    m_taskGrid->postPendingEdits();
    const std::optional<TaskImage> before = imageOfCurrentTask();
    if (!m_commands->toggleDone())
        ShowInfo(QStringLiteral("Error:Unable to save changes"));
    recordTaskChange(before);
    showWrittenTask();
    SetButtons();
}

void TMainScreen::CalendarButtonClick()
{
    if (!m_todoTable.isOpen())
        return;
    m_taskGrid->postPendingEdits();
    if (const std::optional<QDate> picked = pickDate(m_clock.today()))
        GoToDate(*picked);
    update();
    SetButtons();
}

void TMainScreen::ActiveGridDblClick(const QPoint& globalPos)
{
    if (isViewAtEnd())
        return;
    const QModelIndex current = m_activeGrid->currentIndex();
    switch (current.isValid() ? current.column() : int(TaskViewModel::TaskColumn)) {
    case TaskViewModel::DoneColumn:
        DoneToggleButtonClick();
        break;
    case TaskViewModel::DateColumn:
        popupMenu(m_dateColumnMenu, globalPos);
        break;
    case TaskViewModel::PriorityColumn:
        popupMenu(m_priorityColumnMenu, globalPos);
        break;
    case TaskViewModel::TimeColumn:
        DoQuickTime();
        break;
    case TaskViewModel::KeysColumn:
        DoKeyListMenu(globalPos);
        break;
    default:
        EditbuttonClick();
        break;
    }
}

void TMainScreen::ActiveNotesDblClick()
{
    if (isViewAtEnd())
        return;
    const QModelIndex current = m_activeGrid->currentIndex();
    if (current.isValid() && current.column() == TaskViewModel::DoneColumn)
        DoneToggleButtonClick();
    else
        EditbuttonClick();
}

bool TMainScreen::dispatchDoubleClick(QObject* watched, QEvent* event)
{
    if (m_firstActivation || !m_taskTableOpen || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        return false;
    if (watched == m_activeGrid->viewport()) {
        ActiveGridDblClick(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    }
    if (watched == m_activeNotes->viewport()) {
        ActiveNotesDblClick();
        return true;
    }
    return false;
}

void TMainScreen::DateCalendarItemClick()
{
    if (isViewAtEnd())
        return;
    const DateTime today = DateTime::fromQDate(m_clock.today()).value_or(DateTime());
    const std::optional<QDate> picked = pickDate(m_commands->datePickerStart(today).toQDate());
    const auto day = picked ? DateTime::fromQDate(*picked) : std::nullopt;
    if (!day)
        return;
    changeCurrentTask(tr("The task's date could not be changed."),
                      [&](TaskCommands& commands) { return commands.setDate(StoredForms::dateText(*day)); });
}

void TMainScreen::QuickDateMenuPopup()
{
    popupMenu(m_quickDateMenu, QCursor::pos());
}

void TMainScreen::ClearDateItemClick()
{
    changeCurrentTask(tr("The task's date could not be cleared."),
                      [](TaskCommands& commands) { return commands.setDate(QString()); });
}

void TMainScreen::QuickDateItemClick(int offset)
{
    // Today as the item is chosen, not as the captions were built.
    const auto today = DateTime::fromQDate(m_clock.today());
    if (!today)
        return;
    const QString date = StoredForms::dateText(today->addDays(offset));
    changeCurrentTask(tr("The task's date could not be changed."),
                      [&](TaskCommands& commands) { return commands.setDate(date); });
}

void TMainScreen::PriorityItemClick(const QString& code)
{
    changeCurrentTask(tr("The task's priority could not be changed."),
                      [&](TaskCommands& commands) { return commands.setPriority(code); });
}

void TMainScreen::DoQuickTime()
{
    if (isViewAtEnd())
        return;
    const DateFormats& formats = DateFormats::current();
    const DateTime now = DateTime::fromQDateTime(m_clock.now()).value_or(DateTime());
    const std::optional<QTime> picked = pickTime(m_commands->timePickerStart(formats, now).toQTime());
    const auto time = picked ? DateTime::fromTime(picked->hour(), picked->minute(), picked->second()) : std::nullopt;
    if (!time)
        return;
    const QString stored = TaskCommands::storedPickedTime(*time, formats);
    if (stored.isEmpty())
        return;
    changeCurrentTask(tr("The task's time could not be changed."),
                      [&](TaskCommands& commands) { return commands.setTime(stored); });
}

void TMainScreen::DoKeyListMenu(const QPoint& globalPos)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("KeyWordMenu"));
    for (const QString& word : m_keyWordList.words())
        connect(menu.addAction(menuCaption(word)), &QAction::triggered, this,
                [this, word] { KeyListMenuItemClick(word); });
    menu.addSeparator();
    connect(addMenuItem(&menu, "ClearEntry", kClearEntry), &QAction::triggered, this,
            [this] { KeyListMenuItemClick(kClearEntry); });
    addMenuItem(&menu, "Cancel", tr("Cancel"));
    popupMenu(&menu, globalPos);
}

void TMainScreen::KeyListMenuItemClick(const QString& word)
{
    // A key word never holds a blank, so none can be taken for the clearing item.
    if (word == kClearEntry)
        changeCurrentTask(tr("The task's key words could not be cleared."),
                          [](TaskCommands& commands) { return commands.clearKeys(); });
    else
        changeCurrentTask(tr("The key word could not be added to the task."),
                          [&](TaskCommands& commands) { return commands.appendKeyWord(word); });
}

void TMainScreen::OrderButtonClick()
{
    PopupBelowButton(m_orderButton, m_buttonSortMenu);
}

void TMainScreen::ButtonSortMenuPopup()
{
    const int checked = SortOrders::current(m_todoTable);
    for (int i = 0; i < SortOrders::kCount; ++i)
        m_buttonSortItems[static_cast<std::size_t>(i)]->setChecked(i == checked);
}

void TMainScreen::SortCommand(const char* tag)
{
    if (!m_todoTable.isOpen())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_taskGrid->postPendingEdits();
    const xbase::Status sorted = SortOrders::sortBy(m_todoTable, tag);
    SetMainMenuSortChecks();
    refreshView();
    SetButtons();
    QCoreApplication::processEvents();
    QApplication::restoreOverrideCursor();
    if (!sorted)
        reportCommandFailure(tr("The task list could not be sorted."), sorted.error());
}

} // namespace quorvo
