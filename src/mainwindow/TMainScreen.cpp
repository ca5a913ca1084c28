#include "mainwindow/TMainScreen.h"

#include "datetime/DateFormats.h"
#include "datetime/StoredForms.h"
#include "mainwindow/TRebuildInd.h"
#include "mainwindow/TaskGrid.h"
#include "mainwindow/WindowPlacement.h"
#include "store/Clock.h"
#include "store/Messages.h"
#include "store/ProgramDir.h"
#include "store/TaskFiles.h"
#include "store/Windows1252.h"
#include "tasks/SortOrders.h"
#include "tasks/TaskCommands.h"
#include "ui/ButtonPanel.h"
#include "ui/HelpService.h"
#include "ui/HelpTopics.h"
#include "ui/PopupHelp.h"
#include "ui/ProgramIdentity.h"
#include "ui/StatusPanel.h"
#include "ui/WindowActivation.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace quorvo {

namespace {

constexpr int kPanel1Height = 39;
constexpr int kPanel2Height = 43;
constexpr int kSplitterHandle = 8;
constexpr int kNotesHeaderHeight = 22;
constexpr int kFontPixels = 11;

// "\r\n" breaks the line, as in every pop-up text of the program.
constexpr PopupHelp::Text kPopupTexts[] = {
    {"ActiveGrid", "The Task Grid:\r\n\r\nDouble-click on the Priority Column, Date Column,Time Column or Key Words "
                   "Column for a quick change menu. \r\n\r\nDouble-click on the Done column to toggle the "
                   "status.\r\n\r\nSelect the Description field and start typing to change the description value"},
    {"ActiveNotes",
     "This shows any notes for the current task.\r\n\r\nYou may type directly into this box to change the notes"},
    {"CalendarButton", "Click here to pop up a calendar. Select a date, and you will be taken to the task which most "
                       "closely matches that date."},
    {"CloneButton", "Click here to make an exact duplicate of the currently highlighted task."},
    {"DeleteButton", "Click here to delete  the currently highlighted task. "},
    {"DoneToggleButton", "Click here to toggle the DONE status to yes or no."},
    {"ExitButton", "Click here to exit this program"},
    {"Filterbutton", "Click here to set a filter for only the tasks you wish to see.\r\n\r\nThe filter can include a "
                     "date range, a key word or key words, and whether or not to view tasks marked 'done'."},
    {"FilterClearbutton", "Click here to clear the current filter (view all records)"},
    {"OrderButton", "Click here to change the sort order of the task list. Available viewing orders are:\r\n\r\n1. By "
                    "DATE+TIME  (blank dates show first)\r\n2. By Description \r\n3. By Priority (High Priority "
                    "first)"},
    {"Printbutton", "Click here to create reports to Printer, HTML, RTF or TEXT"},
    {"ShowDone", "Click this button to toggle whether or not 'Done' tasks will be shown. "},
};

QAction* addItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

// Items whose commands are still to come: shown, so the menu has its final shape, but not yet usable.
void addPendingItems(QMenu* menu, std::initializer_list<std::pair<const char*, const char*>> items, bool checkable)
{
    for (const auto& [name, caption] : items) {
        QAction* action = addItem(menu, name, QString::fromLatin1(caption));
        action->setCheckable(checkable);
        action->setEnabled(false);
    }
}

} // namespace

TMainScreen::TMainScreen(HelpService& help, const Clock& clock, const QString& programDir, QWidget* parent)
    : QMainWindow(parent), m_help(help), m_clock(clock), m_programDir(programDir),
      m_files(std::make_unique<TaskFiles>(m_todoTable, programDir)), m_popupHelp(new PopupHelp(this))
{
    setObjectName(QStringLiteral("MainScreen"));
    setWindowTitle(ProgramIdentity::title());
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kFontPixels);
    setFont(font);

    createMenus();
    connectFilterCommands();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    createButtonBars();
    m_panel1->setParent(central);
    m_panel2->setParent(central);

    // The status panel stands over the middle of the centre area while the task panel under it is hidden.
    auto* centre = new QWidget(central);
    auto* centreLayout = new QGridLayout(centre);
    centreLayout->setContentsMargins(0, 0, 0, 0);
    m_taskPanel = createTaskPanel();
    m_taskPanel->setParent(centre);
    m_updateStatus = new StatusPanel(centre);
    m_updateStatus->setObjectName(QStringLiteral("UpdateStatus"));
    centreLayout->addWidget(m_taskPanel, 0, 0);
    centreLayout->addWidget(m_updateStatus, 0, 0, Qt::AlignCenter);
    m_updateStatus->raise();

    layout->addWidget(m_panel1);
    layout->addWidget(centre, 1);
    layout->addWidget(m_panel2);
    setCentralWidget(central);

    m_popupHelp->attachByName(*this, kPopupTexts);
    connect(m_popupHelp, &PopupHelp::moreHelpRequested, this, &TMainScreen::HelpbuttonClick);
    m_taskGrid = TaskGrid::attach(m_activeGrid, m_activeNotes, m_todoTable, DateFormats::current(), m_clock);
    connect(m_taskGrid.get(), &TaskGrid::currentRecordChanged, this, [this] { SetButtons(); });
    // Key words typed into the grid join the list (TodoTableKEYSSetText).
    connect(m_taskGrid.get(), &TaskGrid::keysStored, this,
            [this](const QString& keys) { m_keyWordList.breakStringIntoWords(keys); });
    m_commands = std::make_unique<TaskCommands>(m_todoTable, m_keyWordList);
    createCommandMenus();
    connectUndoRecording();

    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    qApp->installEventFilter(this);
    FormCreate();
}

TMainScreen::~TMainScreen()
{
    qApp->removeEventFilter(this);
    (void)m_todoTable.close();
}

void TMainScreen::FormCreate()
{
    // The user's regional date settings are kept for the editor; everything else reads the working ones.
    DateFormats::current().SaveUserDateFormats();
    DateFormats::current().UseWorkingDateFormats();
    m_sortOrder = 1;
    m_files->statusText = [this](const QString& text) { setStatusText(text); };
    m_files->runIndexRebuild = [this](bool packFirst) { RunIndexRebuild(packFirst); };
    m_files->upgradeOldStructure = [this] { return UpgradeDataFiles(); };
    // Until the first activation has opened the table, there is nothing to show but the status panel. The start-up
    // lets pending messages through, so the commands stay out of reach until it is over: none of them may run
    // on a table still being opened.
    m_taskPanel->hide();
    m_exitButton->hide();
    m_filterClearButton->hide();
    enableCommands(false);
}

void TMainScreen::enableCommands(bool enabled)
{
    m_panel1->setEnabled(enabled);
    m_rebuildIndexesItem->setEnabled(enabled);
    m_deleteMenu->setEnabled(enabled);
    m_importItem->setEnabled(enabled);
}

void TMainScreen::createMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("File1"));
    m_rebuildIndexesItem = addItem(file, "RebuildIndexes1", tr("&Rebuild Indexes"));
    connect(m_rebuildIndexesItem, &QAction::triggered, this, &TMainScreen::RebuildIndexes1Click);
    // Its items come with the sort commands (createCommandMenus).
    m_sortMenu = file->addMenu(tr("Sort"));
    m_sortMenu->setObjectName(QStringLiteral("Sort1"));
    file->addSeparator();
    m_deleteMenu = file->addMenu(tr("Delete"));
    m_deleteMenu->setObjectName(QStringLiteral("Delete1"));
    addPendingItems(m_deleteMenu,
                    {{"AllMarkedDone1", "All Marked Done"},
                     {"AllWithDatesBeforeToday1", "All With Dates Before Today"},
                     {"AllTasksMatchingCurrentFilter1", "All Tasks Matching Current Filter"},
                     {"AllTasksNOTMatchingCurrentFilter1", "All Tasks NOT Matching Current Filter"},
                     {"AllTasks1", "All Tasks"}},
                    false);
    file->addSeparator();
    QAction* exit = addItem(file, "Exit1", tr("E&xit"));
    exit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
    connect(exit, &QAction::triggered, this, &TMainScreen::ExitButtonClick);
    // After the items the menu has always had, so that each keeps its place.
    file->addSeparator();
    m_importItem = addItem(file, "ImportICalendar1", tr("Import iCalendar..."));
    connect(m_importItem, &QAction::triggered, this, &TMainScreen::ImportICalendar1Click);
    // Last, so that every other item keeps the place it has always had.
    createUndoItems(file);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction* contents = addItem(help, "Contents1", tr("&Contents"));
    contents->setShortcut(QKeySequence(Qt::Key_F1));
    connect(contents, &QAction::triggered, this, &TMainScreen::HelpbuttonClick);
    connect(addItem(help, "About1", tr("&About")), &QAction::triggered, this, &TMainScreen::About1Click);
    connect(addItem(help, "FrequentlyAskedQuestions1", tr("Frequently Asked Questions")), &QAction::triggered, this,
            &TMainScreen::FrequentlyAskedQuestions1Click);
    help->addSeparator();
    connect(addItem(help, "ConfigurationInformation1", tr("Configuration Information")), &QAction::triggered, this,
            &TMainScreen::ConfigurationInformation1Click);
    connect(addItem(help, "TechnicalSupport1", tr("Technical Support")), &QAction::triggered, this,
            &TMainScreen::TechnicalSupport1Click);
    help->addSeparator();
    connect(addItem(help, "VisitOurInternetWebsite1", tr("Visit Our Internet Website")), &QAction::triggered, this,
            &TMainScreen::VisitOurInternetWebsite1Click);
}

void TMainScreen::createButtonBars()
{
    m_panel1 = new ButtonPanel(QStringLiteral("Panel1"), kPanel1Height, this);
    m_editButton = m_panel1->addButton(QStringLiteral("Editbutton"), tr("&Edit"));
    m_newButton = m_panel1->addButton(QStringLiteral("Newbutton"), tr("&New"));
    m_cloneButton = m_panel1->addButton(QStringLiteral("CloneButton"), tr("&Clone"));
    m_deleteButton = m_panel1->addButton(QStringLiteral("DeleteButton"), tr("&Delete"));
    m_filterButton = m_panel1->addButton(QStringLiteral("Filterbutton"), tr("&Filter"));
    m_orderButton = m_panel1->addButton(QStringLiteral("OrderButton"), tr("&Sort"));
    m_doneToggleButton = m_panel1->addButton(QStringLiteral("DoneToggleButton"), tr("D&one"));
    m_printButton = m_panel1->addButton(QStringLiteral("Printbutton"), tr("&Report"));
    m_calendarButton = m_panel1->addButton(QStringLiteral("CalendarButton"), tr("Ca&lendar"));
    m_panel1->addStretch();

    m_panel2 = new ButtonPanel(QStringLiteral("Panel2"), kPanel2Height, this);
    m_exitButton = m_panel2->addButton(QStringLiteral("ExitButton"), tr("E&xit"));
    m_helpButton = m_panel2->addButton(QStringLiteral("Helpbutton"), tr("&Help"));
    m_mouseHelpButton = m_panel2->addButton(QStringLiteral("MouseHelpbutton"), QString());
    m_mouseHelpButton->setIcon(PopupHelp::mouseHelpIcon());
    m_mouseHelpButton->setMinimumWidth(ButtonPanel::kButtonHeight);
    m_mouseHelpButton->setFixedWidth(ButtonPanel::kButtonHeight);
    m_mouseHelpButton->setToolTip(tr("What's this?"));
    m_panel2->addStretch();
    m_filterClearButton = m_panel2->addButton(QStringLiteral("FilterClearbutton"), tr("   FILTERED [click to clear]"));
    m_showDoneButton = m_panel2->addButton(QStringLiteral("ShowDone"), tr("Show DONE"));

    const std::pair<QPushButton*, void (TMainScreen::*)()> clicks[] = {
        {m_editButton, &TMainScreen::EditbuttonClick},
        {m_newButton, &TMainScreen::NewbuttonClick},
        {m_cloneButton, &TMainScreen::CloneButtonClick},
        {m_deleteButton, &TMainScreen::DeleteButtonClick},
        {m_filterButton, &TMainScreen::FilterbuttonClick},
        {m_orderButton, &TMainScreen::OrderButtonClick},
        {m_doneToggleButton, &TMainScreen::DoneToggleButtonClick},
        {m_printButton, &TMainScreen::PrintbuttonClick},
        {m_calendarButton, &TMainScreen::CalendarButtonClick},
        {m_exitButton, &TMainScreen::ExitButtonClick},
        {m_helpButton, &TMainScreen::HelpbuttonClick},
        {m_mouseHelpButton, &TMainScreen::MouseHelpbuttonClick},
        {m_filterClearButton, &TMainScreen::FilterClearbuttonClick},
        {m_showDoneButton, &TMainScreen::ShowDoneClick},
    };
    for (const auto& [button, handler] : clicks)
        connect(button, &QPushButton::clicked, this, handler);
}

QWidget* TMainScreen::createTaskPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("TaskPanel"));
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);

    m_splitter = new QSplitter(Qt::Vertical, panel);
    m_splitter->setObjectName(QStringLiteral("oxSplit1"));
    m_splitter->setHandleWidth(kSplitterHandle);
    m_splitter->setChildrenCollapsible(false);
    layout->addWidget(m_splitter);

    // The grid's model and its column layout come with the task table.
    m_activeGrid = new QTableView(m_splitter);
    m_activeGrid->setObjectName(QStringLiteral("ActiveGrid"));
    m_activeGrid->verticalHeader()->hide();
    m_activeGrid->setShowGrid(true);
    m_activeGrid->setTabKeyNavigation(true);
    QPalette gridPalette = m_activeGrid->palette();
    gridPalette.setColor(QPalette::Base, Qt::white);
    gridPalette.setColor(QPalette::Text, Qt::black);
    m_activeGrid->setPalette(gridPalette);

    auto* notesPane = new QWidget(m_splitter);
    notesPane->setObjectName(QStringLiteral("NotesPane"));
    auto* notesLayout = new QVBoxLayout(notesPane);
    notesLayout->setContentsMargins(0, 0, 0, 0);
    notesLayout->setSpacing(0);
    auto* header = new QLabel(tr("  Notes"), notesPane);
    header->setObjectName(QStringLiteral("NotesHeader"));
    header->setTextFormat(Qt::PlainText);
    header->setFixedHeight(kNotesHeaderHeight);
    header->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_activeNotes = new QPlainTextEdit(notesPane);
    m_activeNotes->setObjectName(QStringLiteral("ActiveNotes"));
    QPalette notesPalette = m_activeNotes->palette();
    notesPalette.setColor(QPalette::Base, Qt::white);
    notesPalette.setColor(QPalette::Text, Qt::black);
    m_activeNotes->setPalette(notesPalette);
    notesLayout->addWidget(header);
    notesLayout->addWidget(m_activeNotes);

    // The grid pane keeps its height (the SplitterBar preference); the notes take what the window gains.
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    setSplitterBar(kDefaultSplitterBar);
    return panel;
}

void TMainScreen::setStatusText(const QString& text)
{
    m_updateStatus->setStatusText(text);
}

void TMainScreen::SetButtons(bool viewAtEnd)
{
    for (QPushButton* button :
         {m_deleteButton, m_editButton, m_doneToggleButton, m_cloneButton, m_calendarButton, m_printButton})
        button->setVisible(!viewAtEnd);
    m_newButton->setEnabled(true);
}

void TMainScreen::SetButtons()
{
    SetButtons(isViewAtEnd());
}

bool TMainScreen::isViewAtEnd() const
{
    return !m_todoTable.isOpen() || m_todoTable.engine().eof();
}

void TMainScreen::FitGrid()
{
    const QAbstractItemModel* model = m_activeGrid->model();
    if (!model || model->columnCount() <= kTaskColumn)
        return;
    int others = 0;
    for (int column = 0; column < model->columnCount(); ++column) {
        if (column != kTaskColumn && !m_activeGrid->isColumnHidden(column))
            others += m_activeGrid->columnWidth(column);
    }
    // Too narrow a window would leave the column less than nothing; it keeps the least a header section may be.
    const int width = m_splitter->contentsRect().width() - others - kFitGridMargin;
    m_activeGrid->setColumnWidth(kTaskColumn, std::max(width, m_activeGrid->horizontalHeader()->minimumSectionSize()));
}

int TMainScreen::splitterBar() const
{
    return m_splitter->sizes().value(0);
}

void TMainScreen::setSplitterBar(int height)
{
    const int total = std::max(m_splitter->height() - m_splitter->handleWidth(), height + 1);
    m_splitter->setSizes({height, total - height});
}

void TMainScreen::ExitButtonClick()
{
    close();
}

void TMainScreen::HelpbuttonClick()
{
    m_help.showTopic(HelpTopics::Contents);
}

void TMainScreen::MouseHelpbuttonClick()
{
    PopupHelp::enterWhatsThisMode();
}

void TMainScreen::FrequentlyAskedQuestions1Click()
{
    m_help.showTopic(HelpTopics::Faq);
}

void TMainScreen::TechnicalSupport1Click()
{
    m_help.showTopic(HelpTopics::Support);
}

void TMainScreen::VisitOurInternetWebsite1Click()
{
    m_help.openWebPage(ProgramIdentity::webSite());
}

void TMainScreen::bringToFront()
{
    WindowActivation::bringToFront(this);
}

void TMainScreen::FormActivate()
{
    if (!m_firstActivation || m_activating)
        return;
    // Pending messages are let through below; a close asked for meanwhile waits for the end of the start-up.
    m_activating = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PopupHelp::useWindowColour();

    restorePlacementAtStartup();
    m_placementRestored = true;
    m_taskPanel->hide();
    setCalcSuspended(true);
    if (!openTaskTableAtStartup()) {
        QApplication::restoreOverrideCursor();
        m_activating = false;
        close();
        return;
    }
    m_taskTableOpen = true;
    LoadPreferences();
    m_preferencesLoaded = true;

    setStatusText(tr("Loading Key Words List..."));
    BuildKeyWordList();
    setCalcSuspended(false);
    QCoreApplication::processEvents();
    SetUpFilter();
    GoToDate(m_clock.today());
    QCoreApplication::processEvents();
    SetButtons();

    m_taskPanel->show();
    SetMainMenuSortChecks();
    m_gridReady = true;
    if (m_taskGrid)
        m_taskGrid->setGridReady(true);
    // Fitted at once rather than at the first resize: the designed width leaves the Done? and Key words
    // columns behind a scroll bar.
    FitGrid();
    applyStartupShowState();
    m_updateStatus->hide();
    QCoreApplication::processEvents();

    m_firstActivation = false;
    m_activating = false;
    m_exitButton->show();
    enableCommands(true);
    QApplication::restoreOverrideCursor();
    if (m_closePending) {
        close();
        return;
    }
    remindToRebuildIndexes();
}

void TMainScreen::applyStartupShowState()
{
    // Linux desktops hand a program no show command. Where the platform has put the first window up minimized
    // (the one start-up request that reaches Qt), it stays so; otherwise the window comes to the front.
    if (isMinimized()) {
        showMinimized();
        return;
    }
    show();
    raise();
    activateWindow();
}

bool TMainScreen::FormCloseQuery()
{
    QCoreApplication::processEvents();
    // After a failed start the preferences were never read; writing them would put defaults over the user's.
    if (m_preferencesLoaded)
        SavePreferences();
    if (m_placementRestored)
        saveWindowPlacementAtClose();
    if (m_taskTableOpen) {
        closeTaskTable();
        m_taskTableOpen = false;
    }
    QCoreApplication::processEvents();
    return true;
}

void TMainScreen::FormClose()
{
    hide();
}

bool TMainScreen::belongsHere(QObject* object) const
{
    const auto* widget = qobject_cast<QWidget*>(object);
    return widget && widget->window() == this;
}

QPushButton* TMainScreen::buttonForMnemonic(int key, Qt::KeyboardModifiers shift) const
{
    if ((shift & ~Qt::KeypadModifier) != Qt::AltModifier || key < Qt::Key_0 || key > Qt::Key_Z)
        return nullptr;
    const QKeySequence pressed(QKeyCombination(Qt::AltModifier, static_cast<Qt::Key>(key)));
    for (QPushButton* button :
         {m_editButton, m_newButton, m_cloneButton, m_deleteButton, m_filterButton, m_orderButton, m_doneToggleButton,
          m_printButton, m_calendarButton, m_exitButton, m_helpButton, m_filterClearButton, m_showDoneButton}) {
        if (button->isVisibleTo(this) && button->isEnabled() && QKeySequence::mnemonic(button->text()) == pressed)
            return button;
    }
    return nullptr;
}

bool TMainScreen::FormKeyDown(int key, Qt::KeyboardModifiers shift)
{
    const Qt::KeyboardModifiers held = shift & ~Qt::KeypadModifier;
    // With Shift or Ctrl, Insert and Delete are the clipboard's keys in the notes and the grid's editor.
    if (held == Qt::NoModifier) {
        switch (key) {
        case Qt::Key_Insert:
            if (!m_newButton->isEnabled() || m_newButton->isHidden())
                return false;
            NewbuttonClick();
            return true;
        case Qt::Key_Plus:
            if (!(shift & Qt::KeypadModifier) || !m_newButton->isEnabled() || m_newButton->isHidden())
                return false;
            NewbuttonClick();
            return true;
        case Qt::Key_Delete:
            if (!m_deleteButton->isEnabled() || m_deleteButton->isHidden())
                return false;
            DeleteButtonClick();
            return true;
        case Qt::Key_F1:
            HelpbuttonClick();
            return true;
        default:
            return false;
        }
    }
    if (held == Qt::AltModifier && key == Qt::Key_X) {
        ExitButtonClick();
        return true;
    }
    if (QPushButton* button = buttonForMnemonic(key, shift)) {
        button->click();
        return true;
    }
    return false;
}

bool TMainScreen::ActiveGridKeyDown(int key, Qt::KeyboardModifiers shift)
{
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || (shift & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    if (!m_editButton->isEnabled() || m_editButton->isHidden())
        return false;
    EditbuttonClick();
    return true;
}

bool TMainScreen::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride) && belongsHere(watched)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (type == QEvent::ShortcutOverride) {
            // A button's accelerator would tie with the menu bar's (Alt+F is both "&Filter" and "&File", Alt+H
            // both "&Help"s), and a tie clicks nothing. Taking the key as a plain key press lets the button win.
            if (buttonForMnemonic(key->key(), key->modifiers())) {
                event->accept();
                return true;
            }
            return false;
        }
        if (FormKeyDown(key->key(), key->modifiers()))
            return true;
        if (watched == m_activeGrid && ActiveGridKeyDown(key->key(), key->modifiers()))
            return true;
    }
    if (type == QEvent::MouseButtonDblClick && dispatchDoubleClick(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void TMainScreen::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_firstActivation && !m_activationScheduled) {
        // After the window has been painted once, so the status panel is seen while the start-up works.
        m_activationScheduled = true;
        QTimer::singleShot(0, this, &TMainScreen::FormActivate);
    }
}

void TMainScreen::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (isVisible() && m_taskTableOpen)
        FitGrid();
}

void TMainScreen::closeEvent(QCloseEvent* event)
{
    if (m_closed) {
        event->accept();
        return;
    }
    if (m_activating) {
        m_closePending = true;
        event->ignore();
        return;
    }
    if (m_closing) {
        event->ignore();
        return;
    }
    m_closing = true;
    const bool allowed = FormCloseQuery();
    m_closing = false;
    if (!allowed) {
        event->ignore();
        return;
    }
    m_closed = true;
    event->accept();
    FormClose();
}

} // namespace quorvo

namespace quorvo {

void TMainScreen::restorePlacementAtStartup()
{
    RestoreWindowPlacement(this, PreferencesFileName(m_programDir), this);
}

void TMainScreen::setCalcSuspended(bool on)
{
    m_todoTable.setCalcSuspended(on);
}

bool TMainScreen::openTaskTableAtStartup()
{
    return m_files->OpenTaskTable(false);
}

void TMainScreen::LoadPreferences()
{
    m_preferences = Preferences::load(PreferencesFileName(m_programDir));
    setSplitterBar(m_preferences.splitterBar);
    m_sortOrder = m_preferences.order;
    // An order beyond the tags changes nothing; SetMainMenuSortChecks then takes the order in force.
    xbase::Table& table = m_todoTable.engine();
    if (m_sortOrder >= 0 && m_sortOrder <= table.tagCount())
        (void)table.setOrder(m_sortOrder);
    SetMainMenuSortChecks();
}

void TMainScreen::SetMainMenuSortChecks()
{
    const int checked = SortOrders::current(m_todoTable);
    for (int i = 0; i < SortOrders::kCount; ++i) {
        m_mainSortItems[static_cast<std::size_t>(i)]->setChecked(i == checked);
        m_buttonSortItems[static_cast<std::size_t>(i)]->setChecked(i == checked);
    }
    if (m_todoTable.isOpen())
        m_sortOrder = m_todoTable.engine().order();
}

void TMainScreen::GoToDate(const QDate& date)
{
    if (!m_todoTable.isOpen())
        return;
    xbase::Table& table = m_todoTable.engine();
    const int order = table.order();
    const int byDate = table.tagOrder("DATETIME");
    if (byDate == 0)
        return;
    const auto day = DateTime::fromQDate(date);
    if (!day || !table.setOrder(byDate).ok())
        return;
    (void)table.seek(StoredForms::dateText(*day).toStdString(), true);
    // The table keeps its task when the order changes back.
    (void)table.setOrder(order);
    // Once the view is shown, going to a date changes only which of its tasks is current.
    if (m_firstActivation)
        refreshView();
    else if (m_taskGrid)
        m_taskGrid->syncToTable();
}

void TMainScreen::remindToRebuildIndexes()
{
    if (m_preferences.reindexNeeded)
        ShowInfo(QStringLiteral("Please rebuild indexes ASAP"));
}

void TMainScreen::SavePreferences()
{
    if (m_todoTable.isOpen())
        m_sortOrder = m_todoTable.engine().order();
    m_preferences.splitterBar = splitterBar();
    m_preferences.order = m_sortOrder;
    m_preferences.save(PreferencesFileName(m_programDir));
}

void TMainScreen::saveWindowPlacementAtClose()
{
    SaveWindowPlacement(this, PreferencesFileName(m_programDir));
}

void TMainScreen::refreshView()
{
    if (!m_taskGrid)
        return;
    const xbase::Status shown = m_taskGrid->refresh();
    if (!shown)
        ShowInfo(Windows1252::toUnicode(shown.error().message));
}

void TMainScreen::closeTaskTable()
{
    if (!m_todoTable.isOpen())
        return;
    if (m_taskGrid)
        m_taskGrid->postPendingEdits();
    const xbase::Status closed = m_todoTable.close();
    if (!closed)
        ShowInfo(QString::fromStdString(closed.error().message));
}

void TMainScreen::RunIndexRebuild(bool packFirst)
{
    clearUndoHistory();
    quorvo::RunIndexRebuild(m_todoTable, packFirst, this);
}

void TMainScreen::RebuildIndexes1Click()
{
    if (!AskYesNo(QStringLiteral("Rebuild Index Files?")))
        return;
    m_taskGrid->postPendingEdits();
    (void)m_todoTable.close();
    refreshView();
    bool rebuilt = false;
    if (m_files->OpenTaskTable(true)) {
        RunIndexRebuild(true);
        ShowInfo(QStringLiteral("Done!"));
        rebuilt = true;
    }
    if (!m_files->OpenTaskTable(false)) {
        m_taskTableOpen = false;
        close();
        return;
    }
    xbase::Table& table = m_todoTable.engine();
    (void)table.setOrder(table.tagOrder("DATETIME"));
    SetUpFilter();
    refreshView();
    SetButtons();
    SetMainMenuSortChecks();
    // The reminder goes only when the rebuild ran: a table that someone else held was not rebuilt.
    if (rebuilt)
        m_preferences.reindexNeeded = false;
    SavePreferences();
}

} // namespace quorvo
