// The main window's filter and File > Delete commands: the window asks and shows; the expression and the
// deletion walks are built below it.
#include "datetime/DateFormats.h"
#include "mainwindow/PlaceWindow.h"
#include "mainwindow/TFilterForm.h"
#include "mainwindow/TMainScreen.h"
#include "mainwindow/TaskGrid.h"
#include "store/Clock.h"
#include "store/Messages.h"
#include "store/TaskFiles.h"
#include "store/Windows1252.h"
#include "tasks/FilterExpression.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QTableView>

namespace quorvo {

namespace {

// The pictures of the ShowDone button: an open eye (Showbmp) while done tasks are hidden, the same eye
// struck through (Hidebmp) while they are shown.
QIcon doneTasksPicture(bool struckThrough)
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.2));
    QPainterPath eye;
    eye.moveTo(1, 8);
    eye.quadTo(8, 1, 15, 8);
    eye.quadTo(8, 15, 1, 8);
    painter.drawPath(eye);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QPointF(8, 8), 2.5, 2.5);
    if (struckThrough) {
        painter.setPen(QPen(Qt::red, 2));
        painter.drawLine(QPointF(2, 14), QPointF(14, 2));
    }
    return QIcon(picture);
}

} // namespace

void TMainScreen::connectFilterCommands()
{
    const std::pair<const char*, void (TMainScreen::*)()> items[] = {
        {"AllMarkedDone1", &TMainScreen::AllMarkedDone1Click},
        {"AllWithDatesBeforeToday1", &TMainScreen::AllWithDatesBeforeToday1Click},
        {"AllTasksMatchingCurrentFilter1", &TMainScreen::AllTasksMatchingCurrentFilter1Click},
        {"AllTasksNOTMatchingCurrentFilter1", &TMainScreen::AllTasksNOTMatchingCurrentFilter1Click},
        {"AllTasks1", &TMainScreen::AllTasks1Click},
    };
    for (const auto& [name, handler] : items) {
        auto* item = m_deleteMenu->findChild<QAction*>(QLatin1String(name));
        Q_ASSERT(item);
        item->setEnabled(true);
        connect(item, &QAction::triggered, this, handler);
    }
}

FilterCriteria TMainScreen::filterCriteria() const
{
    FilterCriteria criteria = m_filterCriteria;
    criteria.showDoneTasks = m_preferences.showDone;
    return criteria;
}

void TMainScreen::setFilterCriteria(const FilterCriteria& criteria)
{
    m_filterCriteria = criteria;
    m_preferences.showDone = criteria.showDoneTasks;
}

void TMainScreen::SetUpFilter()
{
    const FilterCriteria criteria = filterCriteria();
    const std::optional<QString> expression = FilterExpression::build(criteria, m_clock.today());
    m_filterClearButton->setVisible(criteria.narrowed());
    if (expression && m_todoTable.isOpen()) {
        const xbase::Status applied = FilterExpression::apply(m_todoTable.engine(), *expression);
        if (!applied)
            ShowInfo(Windows1252::toUnicode(applied.error().message));
        // The start-up builds the view itself once it has gone to today.
        if (m_gridReady)
            refreshView();
    }
    SetButtons();
    m_showDoneButton->setText(criteria.showDoneTasks ? tr("Hide DONE") : tr("Show DONE"));
    m_showDoneButton->setIcon(doneTasksPicture(criteria.showDoneTasks));
}

void TMainScreen::FilterbuttonClick()
{
    if (m_taskGrid)
        m_taskGrid->postPendingEdits();
    TFilterForm form(m_help, m_keyWordList.words(), this);
    PlaceWindow(&form, this);
    form.setCriteria(filterCriteria());
    if (form.exec() == QDialog::Accepted) {
        const FilterCriteria chosen = form.criteria();
        // Criteria the query cannot express are not taken: the filter in force stays.
        if (!FilterExpression::build(chosen, m_clock.today())) {
            ShowInfo(FilterExpression::refusalText());
        } else {
            setFilterCriteria(chosen);
            SetUpFilter();
        }
    }
    update();
}

void TMainScreen::FilterClearbuttonClick()
{
    // The start-up lets pending clicks through while it opens the table; they wait for nothing.
    if (m_firstActivation)
        return;
    m_filterCriteria.clearNarrowing();
    SetUpFilter();
}

void TMainScreen::ShowDoneClick()
{
    if (m_firstActivation)
        return;
    m_preferences.showDone = !m_preferences.showDone;
    SetUpFilter();
}

void TMainScreen::AllMarkedDone1Click()
{
    runBulkDeletion(BulkDeletion::Command::AllMarkedDone);
}

void TMainScreen::AllWithDatesBeforeToday1Click()
{
    runBulkDeletion(BulkDeletion::Command::AllWithDatesBeforeToday);
}

void TMainScreen::AllTasksMatchingCurrentFilter1Click()
{
    runBulkDeletion(BulkDeletion::Command::AllTasksMatchingFilter);
}

void TMainScreen::AllTasksNOTMatchingCurrentFilter1Click()
{
    runBulkDeletion(BulkDeletion::Command::AllTasksNotMatchingFilter);
}

void TMainScreen::runBulkDeletion(BulkDeletion::Command command)
{
    if (!m_todoTable.isOpen())
        return;
    if (m_taskGrid)
        m_taskGrid->postPendingEdits();
    xbase::Table& table = m_todoTable.engine();
    if (BulkDeletion::needsFilter(command) && table.query().empty()) {
        ShowInfo(BulkDeletion::noFilterText());
        return;
    }
    if (!AskYesNo(BulkDeletion::question(command)))
        return;

    setCalcSuspended(true);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_activeGrid->setUpdatesEnabled(false);
    QCoreApplication::processEvents();
    const std::optional<DateTime> today = DateTime::fromQDate(m_clock.today());
    const BulkDeletion::Outcome outcome =
        BulkDeletion::run(table, command, DateFormats::current(), today.value_or(DateTime()));
    recordDeletion(outcome.records);

    setCalcSuspended(false);
    m_activeGrid->setUpdatesEnabled(true);
    if (command == BulkDeletion::Command::AllTasksMatchingFilter)
        m_filterCriteria.clearNarrowing();
    SetUpFilter();
    SetButtons();
    QApplication::restoreOverrideCursor();
    if (!outcome.status)
        ShowInfo(Windows1252::toUnicode(outcome.status.error().message));
    ShowInfo(BulkDeletion::resultText(command, outcome.deleted));
}

void TMainScreen::AllTasks1Click()
{
    if (!AskYesNo(QStringLiteral("CONFIRM: Delete ALL tasks?")))
        return;
    clearUndoHistory();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_taskGrid)
        m_taskGrid->postPendingEdits();
    (void)m_todoTable.close();
    refreshView();
    // Emptying needs the table to itself; another program holding it gets the open's own message.
    if (m_files->OpenTaskTable(true)) {
        const xbase::Status zapped = m_todoTable.engine().zap();
        if (zapped)
            ShowInfo(QStringLiteral("Done!"));
        else
            ShowInfo(Windows1252::toUnicode(zapped.error().message));
    }
    setCalcSuspended(true);
    if (!m_files->OpenTaskTable(false)) {
        m_taskTableOpen = false;
        QApplication::restoreOverrideCursor();
        close();
        return;
    }
    xbase::Table& table = m_todoTable.engine();
    (void)table.setOrder(table.tagOrder("DATETIME"));
    setCalcSuspended(false);
    QCoreApplication::processEvents();
    SetUpFilter();
    QCoreApplication::processEvents();
    SetButtons();
    SetMainMenuSortChecks();
    QApplication::restoreOverrideCursor();
}

} // namespace quorvo
