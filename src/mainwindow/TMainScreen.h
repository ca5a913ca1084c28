#pragma once

#include "store/Preferences.h"
#include "store/TodoTable.h"
#include "tasks/BulkDeletion.h"
#include "tasks/FilterCriteria.h"
#include "tasks/KeyWordList.h"
#include "tasks/TaskImage.h"

#include <QDate>
#include <QMainWindow>
#include <QPoint>
#include <QTime>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTableView;
class QUndoStack;
class QWidget;

namespace quorvo {

class ButtonPanel;
class Clock;
class HelpService;
class ICalImportPreview;
class PopupHelp;
class StatusPanel;
class TaskFiles;
class TaskCommands;
class TaskGrid;
struct TaskEditorFields;

// The main window: the command buttons above, the task grid and the notes of the current task in the middle,
// Exit, help and the filter buttons below, and the status panel while the program starts.
//
// The window sees every key before the control that has the focus, so Insert, keypad +, Delete and Alt+X act
// on the task list wherever the focus is; Enter in the grid edits the current task.
//
// The work on the task table and the preferences is done through the protected virtual steps below, in
// the order the start-up and the closing run them; a test double can stand in for any of them.
class TMainScreen : public QMainWindow
{
    Q_OBJECT

public:
    // The Task column, the one that follows the window's width.
    static constexpr int kTaskColumn = 3;
    // Room that FitGrid leaves beside the columns for the grid's border and scroll bar.
    static constexpr int kFitGridMargin = 30;
    static constexpr int kClientWidth = 618;
    static constexpr int kClientHeight = 405;
    static constexpr int kDefaultSplitterBar = 200;

    // programDir holds the task files and the preferences, with a trailing "/".
    TMainScreen(HelpService& help, const Clock& clock, const QString& programDir, QWidget* parent = nullptr);
    ~TMainScreen() override;

    QTableView* activeGrid() const { return m_activeGrid; }
    QPlainTextEdit* activeNotes() const { return m_activeNotes; }

    // Shows a start-up or maintenance step in the status panel and paints it before returning.
    void setStatusText(const QString& text);

    // The record-bound buttons are shown exactly when the view has a current task.
    void SetButtons(bool viewAtEnd);
    void SetButtons();
    // The Task column takes the width that the other columns leave in the splitter.
    void FitGrid();

    // Height of the grid pane, the SplitterBar preference.
    int splitterBar() const;
    void setSplitterBar(int height);

    bool firstActivation() const { return m_firstActivation; }
    TodoTable& todoTable() { return m_todoTable; }
    const Preferences& preferences() const { return m_preferences; }
    int SortOrder() const { return m_sortOrder; }
    bool ReindexNeeded() const { return m_preferences.reindexNeeded; }
    bool gridReady() const { return m_gridReady; }

    // --- Filter and bulk deletion ---
    // ShowDoneTasks is kept in the ShowDone preference, so it outlives the run; the rest starts empty.
    FilterCriteria filterCriteria() const;
    void setFilterCriteria(const FilterCriteria& criteria);

public slots:
    // The handlers of the buttons, keys and menu items. Those of commands still to come do nothing yet; each is
    // filled where its command is built.
    virtual void EditbuttonClick();
    // Also Insert and keypad +.
    virtual void NewbuttonClick();
    virtual void CloneButtonClick();
    // Also the Delete key.
    virtual void DeleteButtonClick();
    virtual void FilterbuttonClick();
    virtual void OrderButtonClick();
    virtual void DoneToggleButtonClick();
    // Reports: the report dialog over the current view (TMainScreenReports.cpp).
    virtual void PrintbuttonClick();
    virtual void CalendarButtonClick();
    // The Exit button, File > Exit and Alt+X.
    virtual void ExitButtonClick();
    // The Help button, Help > Contents and F1.
    virtual void HelpbuttonClick();
    virtual void MouseHelpbuttonClick();
    virtual void FilterClearbuttonClick();
    virtual void ShowDoneClick();

    virtual void RebuildIndexes1Click();
    virtual void About1Click();
    virtual void FrequentlyAskedQuestions1Click();
    virtual void ConfigurationInformation1Click();
    virtual void TechnicalSupport1Click();
    virtual void VisitOurInternetWebsite1Click();

    // --- Task commands, column menus and sort orders ---
    // The task editor over the current task (editing) or a new one (adding).
    void CallTaskEdit(bool adding);
    // A double-click in the grid acts by the grid's current column; in the notes box it edits, or toggles
    // done while the Done? column is current. globalPos is where the column menus open.
    void ActiveGridDblClick(const QPoint& globalPos);
    void ActiveNotesDblClick();
    void DoQuickTime();
    void DoKeyListMenu(const QPoint& globalPos);
    void KeyListMenuItemClick(const QString& word);
    void DateCalendarItemClick();
    void QuickDateMenuPopup();
    void ClearDateItemClick();
    void QuickDateItemClick(int offset);
    void PriorityItemClick(const QString& code);
    void SortCommand(const char* tag);
    void ButtonSortMenuPopup();
    const KeyWordList& keyWordList() const { return m_keyWordList; }
    // --- end of the task commands ---

    // --- Filter and bulk deletion (TMainScreenFilter.cpp) ---
    virtual void AllMarkedDone1Click();
    virtual void AllWithDatesBeforeToday1Click();
    virtual void AllTasksMatchingCurrentFilter1Click();
    virtual void AllTasksNOTMatchingCurrentFilter1Click();
    virtual void AllTasks1Click();

    // --- Import (TMainScreenImport.cpp) ---
    // File > Import iCalendar...: to-dos from a file, shown before they are added as one step of the undo history.
    virtual void ImportICalendar1Click();

    // --- Undo and redo (TMainScreenUndo.cpp) ---
    // File > Undo and File > Redo: the last change to tasks taken back, or made again.
    void Undo1Click();
    void Redo1Click();
    QUndoStack* undoStack() const { return m_undoStack.get(); }
    // --- end of undo and redo ---

    // The start-up work, once, at the first activation.
    void FormActivate();
    // Another copy of the program asked this one to come forward.
    void bringToFront();

protected:
    // Start-up steps over the table and the preferences, in the order FormActivate runs them.
    virtual void restorePlacementAtStartup();
    virtual void setCalcSuspended(bool on);
    // False when the table could not be opened; the window then closes and the program ends.
    virtual bool openTaskTableAtStartup();
    virtual void LoadPreferences();
    virtual void BuildKeyWordList();
    // Builds the query from the filter criteria and applies it; the FILTERED and Show/Hide DONE buttons follow.
    virtual void SetUpFilter();
    // Stands on the first task dated on or after date (by date and time), or at the end.
    virtual void GoToDate(const QDate& date);
    virtual void SetMainMenuSortChecks();
    // The last step: "Please rebuild indexes ASAP" while the reminder is set.
    virtual void remindToRebuildIndexes();

    // Closing steps.
    virtual void SavePreferences();
    virtual void saveWindowPlacementAtClose();
    // Posts what the grid or the notes still hold and closes the table.
    virtual void closeTaskTable();
    // Shows the rebuild window over the table, open exclusively.
    virtual void RunIndexRebuild(bool packFirst);
    // The grid shows the table's current view again, standing on its current task.
    virtual void refreshView();

    // Whether the view has no current task; SetButtons() asks it.
    virtual bool isViewAtEnd() const;

    // --- Task commands: the dialogs and menus they open, seams for tests ---
    // Shows the task editor with these fields, placed and under the user date settings; the fields are
    // what the editor holds when it closes, however it closed. True for OK.
    virtual bool runTaskEditor(TaskEditorFields& fields);
    // The date picker (Calendar) and the time picker (quick time), placed over the main window; empty
    // unless closed with OK.
    virtual std::optional<QDate> pickDate(const QDate& start);
    virtual std::optional<QTime> pickTime(const QTime& start);
    // Opens a pop-up menu at a screen point and returns once it has closed and its item's action has run.
    virtual void popupMenu(QMenu* menu, const QPoint& globalPos);
    // --- end of the task command seams ---

    // Shows what an import from the file will do; true when the user chose to make it.
    virtual bool runImportPreview(const QString& fileName, const ICalImportPreview& preview);

    virtual bool FormCloseQuery();
    virtual void FormClose();

    // Support windows and the data file upgrade (TMainScreenSupport.cpp).
    // Converts old-structure task files when the start-up open finds them.
    virtual bool UpgradeDataFiles();

    // The keys of the window, before any control; true when the key was used.
    bool FormKeyDown(int key, Qt::KeyboardModifiers shift);
    bool ActiveGridKeyDown(int key, Qt::KeyboardModifiers shift);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void enableCommands(bool enabled);
    void createMenus();
    QWidget* createTaskPanel();
    void createButtonBars();
    bool belongsHere(QObject* object) const;
    QPushButton* buttonForMnemonic(int key, Qt::KeyboardModifiers shift) const;
    void applyStartupShowState();

    HelpService& m_help;
    const Clock& m_clock;
    QString m_programDir;
    TodoTable m_todoTable;
    std::unique_ptr<TaskFiles> m_files;
    Preferences m_preferences;
    // After the table: the grid reads it until the very end.
    std::unique_ptr<TaskGrid> m_taskGrid;
    int m_sortOrder = 1;
    PopupHelp* m_popupHelp;

    ButtonPanel* m_panel1;
    ButtonPanel* m_panel2;
    QPushButton* m_editButton;
    QPushButton* m_newButton;
    QPushButton* m_cloneButton;
    QPushButton* m_deleteButton;
    QPushButton* m_filterButton;
    QPushButton* m_orderButton;
    QPushButton* m_doneToggleButton;
    QPushButton* m_printButton;
    QPushButton* m_calendarButton;
    QPushButton* m_exitButton;
    QPushButton* m_helpButton;
    QPushButton* m_mouseHelpButton;
    QPushButton* m_filterClearButton;
    QPushButton* m_showDoneButton;

    QWidget* m_taskPanel;
    QSplitter* m_splitter;
    QTableView* m_activeGrid;
    QPlainTextEdit* m_activeNotes;
    StatusPanel* m_updateStatus;

    // File > Sort and File > Delete; their items are there, disabled, until their commands come.
    QAction* m_rebuildIndexesItem;
    QMenu* m_sortMenu;
    QMenu* m_deleteMenu;
    QAction* m_importItem;

    bool m_firstActivation = true;
    bool m_activationScheduled = false;
    bool m_activating = false;
    bool m_gridReady = false;
    bool m_placementRestored = false;
    bool m_preferencesLoaded = false;
    bool m_taskTableOpen = false;
    bool m_closePending = false;
    bool m_closing = false;
    bool m_closed = false;

    // --- Task commands, column menus and sort orders ---
    void createCommandMenus();
    // The grid follows a command that wrote, added or deleted the current task.
    void showWrittenTask();
    void showDeletedTask(quint32 recno);
    // A command without a message of its own failed: one box saying what could not be done and why.
    void reportCommandFailure(const QString& what, const xbase::Error& error);
    // A single-field change of the current task from a column menu.
    void changeCurrentTask(const QString& what, const std::function<xbase::Status(TaskCommands&)>& change);
    bool dispatchDoubleClick(QObject* watched, QEvent* event);

    KeyWordList m_keyWordList;
    std::unique_ptr<TaskCommands> m_commands;
    QMenu* m_dateColumnMenu = nullptr;
    QMenu* m_quickDateMenu = nullptr;
    QMenu* m_priorityColumnMenu = nullptr;
    QMenu* m_buttonSortMenu = nullptr;
    std::array<QAction*, 4> m_mainSortItems{};
    std::array<QAction*, 4> m_buttonSortItems{};
    // --- end of the task commands ---

    // --- Filter and bulk deletion ---
    void connectFilterCommands();
    void runBulkDeletion(BulkDeletion::Command command);
    FilterCriteria m_filterCriteria;

    // --- Undo and redo (TMainScreenUndo.cpp) ---
    void createUndoItems(QMenu* file);
    // Once the grid exists: its typed cells and notes become steps.
    void connectUndoRecording();
    void updateUndoItems();
    // The current task before a command changes it; none without one.
    std::optional<TaskImage> imageOfCurrentTask();
    // After the command: one step from that image to what the task holds now, when it changed.
    void recordTaskChange(const std::optional<TaskImage>& before);
    // After a command that appended the current task.
    void recordTaskAdded(const QString& text);
    void recordDeletion(const std::vector<std::uint32_t>& records);
    // A pack or the emptying of the table leaves nothing the steps could go back to.
    void clearUndoHistory();
    void applyUndoStep(bool undo);

    // Destroyed before the window's other parts, without telling the window, which is going too.
    struct UndoStackDeleter
    {
        void operator()(QUndoStack* stack) const;
    };
    std::unique_ptr<QUndoStack, UndoStackDeleter> m_undoStack;
    QAction* m_undoItem = nullptr;
    QAction* m_redoItem = nullptr;
    std::optional<TaskImage> m_inPlaceBefore;
    // --- end of undo and redo ---
};

} // namespace quorvo
