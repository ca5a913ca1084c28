#pragma once

#include "tasks/FilterCriteria.h"

#include <QDialog>
#include <QStringList>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

namespace quorvo {

class HelpService;
class PopupHelp;

// "Task Filter": the date range, key words, priority and task text the list is narrowed to. The window only
// holds the choice; its caller takes it back after Ok or Reset and applies it. Reset clears everything but
// the task text and closes as Ok does.
class TFilterForm : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 447;
    static constexpr int kClientHeight = 305;

    // keyWords fills the key word menu, in their order.
    TFilterForm(HelpService& help, const QStringList& keyWords, QWidget* parent = nullptr);

    // The four criteria of the controls; showDoneTasks passes through unchanged.
    void setCriteria(const FilterCriteria& criteria);
    FilterCriteria criteria() const;

    QMenu* keyListMenu() const { return m_keyListMenu; }

public slots:
    void OKButtonClick();
    void CancelButtonClick();
    void ResetButtonClick();
    void HelpbuttonClick();
    void MouseHelpButtonClick();
    void KeyListbuttonClick();
    // A word of the key word menu joins the key words, after a comma when there are some already.
    void KeyListMenuItemClick(const QString& word);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QGroupBox* createDateFilter();
    QGroupBox* createKeysBox(const QStringList& keyWords);
    QGroupBox* createPriorityFilter();
    QGroupBox* createTaskFilterBox();
    void createButtonBar();

    HelpService& m_help;
    PopupHelp* m_popupHelp;
    QGroupBox* m_dateBox;
    QButtonGroup* m_dateFilter;
    QGroupBox* m_keysBox;
    QLineEdit* m_keyWords;
    QToolButton* m_keyListButton;
    QMenu* m_keyListMenu;
    QGroupBox* m_priorityBox;
    QButtonGroup* m_priorityFilter;
    QGroupBox* m_taskFilterBox;
    QLineEdit* m_taskFilter;
    FilterCriteria m_passedThrough;
};

} // namespace quorvo
