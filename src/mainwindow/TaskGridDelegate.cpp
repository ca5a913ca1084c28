#include "mainwindow/TaskGridDelegate.h"

#include "mainwindow/TaskViewModel.h"
#include "mainwindow/Windows1252Validator.h"
#include "store/Clock.h"

#include <QLineEdit>

namespace quorvo {

TaskGridDelegate::TaskGridDelegate(const Clock& clock, QObject* parent) : QStyledItemDelegate(parent), m_clock(clock) {}

void TaskGridDelegate::ActiveGridDrawDataCell(QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!m_gridReady || index.data(TaskViewModel::DoneRole).toBool())
        return;
    switch (index.column()) {
    case TaskViewModel::PriorityColumn:
        if (index.data(TaskViewModel::PriorityRole).toString() == u"A")
            option.font.setBold(true);
        break;
    case TaskViewModel::DateColumn:
        // The stored form of a date, so no regional setting can make two texts of one day differ.
        if (index.data(TaskViewModel::DateRole).toString() == m_clock.today().toString(u"yyyyMMdd")) {
            option.font.setBold(true);
            option.font.setItalic(true);
        }
        break;
    default:
        break;
    }
}

void TaskGridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    ActiveGridDrawDataCell(*option, index);
}

QWidget* TaskGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const
{
    Q_UNUSED(option);
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    if (const QVariant width = index.data(TaskViewModel::MaxLengthRole); width.isValid())
        editor->setMaxLength(width.toInt());
    editor->setValidator(new Windows1252Validator(editor));
    return editor;
}

} // namespace quorvo
