#include "mainwindow/PopupBelowButton.h"

#include <QAbstractButton>
#include <QMenu>

namespace quorvo {

QPoint PopupPointBelow(const QAbstractButton* button)
{
    return button->mapToGlobal(QPoint(0, button->height()));
}

void PopupBelowButton(QAbstractButton* button, QMenu* menu)
{
    if (!button || !menu)
        return;
    menu->popup(PopupPointBelow(button));
}

} // namespace quorvo
