#pragma once

#include <QStyledItemDelegate>

namespace quorvo {

class Clock;

// Paints the task grid's cells and makes its in-place editors. A cell is painted in the ordinary way with
// the emphasis of ActiveGridDrawDataCell added to its font; colours never change. The editors are one-line
// fields that take no more than the field holds and nothing outside Windows-1252.
class TaskGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // The clock must outlive the delegate; today is read at each paint, so the emphasis moves at midnight.
    explicit TaskGridDelegate(const Clock& clock, QObject* parent = nullptr);

    // The emphasis applies only once the main window's start-up is over.
    bool gridReady() const { return m_gridReady; }
    void setGridReady(bool ready) { m_gridReady = ready; }

    // While the grid is ready and the task is not done: bold in the Priority cell when PRIORITY is exactly
    // "A" (a lower-case "a" reads "High" too, but is not emphasised), bold italic in the Date cell when
    // DATE is today. Every other cell keeps the font it has.
    void ActiveGridDrawDataCell(QStyleOptionViewItem& option, const QModelIndex& index) const;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    const Clock& m_clock;
    bool m_gridReady = false;
};

} // namespace quorvo
