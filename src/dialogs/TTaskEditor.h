#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace quorvo {

class DateFormats;
class HelpService;
class PopupHelp;

// "Task Editor": one task's description, done flag, key words, due date and time, priority and notes. The
// caller fills the controls, puts the user date settings in force, shows the dialog and, on Ok, reads the
// controls back; the dialog never touches the task table. It checks the date and time whenever their field
// is left and again on Ok, so after Ok each is empty or valid under the user date settings.
//
// Dates and times in the fields, the checks, their messages and the format hints always follow the user
// date settings; only the quick-date captions, built at creation, use the working settings.
class TTaskEditor : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 392;
    static constexpr int kClientHeight = 376;
    static constexpr int kTaskMaxLength = 50;

    // Holds the rules and the help by reference: they must outlive the dialog. keyWords fills the key-word
    // menu, in order.
    TTaskEditor(const DateFormats& formats, const QStringList& keyWords, HelpService& help, QWidget* parent = nullptr);
    ~TTaskEditor() override;

    QLabel* taskLabel() const { return m_taskLabel; }
    QLineEdit* descriptionEdit() const { return m_task; }
    QCheckBox* isDone() const { return m_isDone; }
    QLineEdit* keyWordsEdit() const { return m_keyWords; }
    QLineEdit* dateEdit() const { return m_dateEdit; }
    QLineEdit* timeEdit() const { return m_timeEdit; }
    QRadioButton* pHigh() const { return m_pHigh; }
    QRadioButton* pMedium() const { return m_pMedium; }
    QRadioButton* pLow() const { return m_pLow; }
    QPlainTextEdit* notes() const { return m_notes; }
    QMenu* quickDateMenu() const { return m_quickDateMenu; }
    QMenu* keyListMenu() const { return m_keyListMenu; }
    QFrame* dateFormatFrame() const { return m_dateFormat; }
    QFrame* timeFormatFrame() const { return m_timeFormat; }

    void FormCreate(const QStringList& keyWords);
    void FormShow();
    void FormActivate();
    void DateEditExit();
    void TimeEditExit();
    void OKButtonClick();
    void CancelButtonClick();
    void FormCloseQuery();
    void QuickDateButtonClick();
    void QuickDateItemClick(int offset);
    void KeyListbuttonClick();
    void KeyListMenuItemClick(const QString& keyWord);
    void CalendarButtonClick();
    void QuickTimeButtonClick();
    void HelpButtonClick();
    void MouseHelpButtonClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    QFrame* createDateGroup();
    QFrame* createTimeGroup();
    QFrame* createPriorityPanel();
    void createButtonBar();
    void arrangeTabOrder();
    void focusChanged(QWidget* old, QWidget* now);
    // The date and time checks; false when the field was refused (and emptied).
    bool dateCheck();
    bool timeCheck();
    QString userPattern() const;

    const DateFormats& m_formats;
    HelpService& m_help;
    PopupHelp* m_popupHelp;
    QLabel* m_taskLabel = nullptr;
    QLineEdit* m_task = nullptr;
    QCheckBox* m_isDone = nullptr;
    QLineEdit* m_keyWords = nullptr;
    QPushButton* m_keyListButton = nullptr;
    QFrame* m_dateFormat = nullptr;
    QLineEdit* m_dateEdit = nullptr;
    QPushButton* m_calendarButton = nullptr;
    QPushButton* m_quickDateButton = nullptr;
    QFrame* m_timeFormat = nullptr;
    QLineEdit* m_timeEdit = nullptr;
    QPushButton* m_quickTimeButton = nullptr;
    QRadioButton* m_pHigh = nullptr;
    QRadioButton* m_pMedium = nullptr;
    QRadioButton* m_pLow = nullptr;
    QPlainTextEdit* m_notes = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_helpButton = nullptr;
    QPushButton* m_mouseHelpButton = nullptr;
    QMenu* m_quickDateMenu = nullptr;
    QMenu* m_keyListMenu = nullptr;
    // Set for one Ok step; a failed check clears it.
    bool m_okFlag = false;
    // The control whose pending mouse press a failed check has cancelled.
    QPointer<QWidget> m_refusedPress;
    // Ok or Cancel has been chosen.
    bool m_decided = false;
};

} // namespace quorvo
