#pragma once

#include <QPoint>

class QAbstractButton;
class QMenu;

namespace quorvo {

// Where a button's menu opens: the screen point of the button's lower left corner.
QPoint PopupPointBelow(const QAbstractButton* button);

// Opens the menu there and returns at once; the menu's actions do the work.
void PopupBelowButton(QAbstractButton* button, QMenu* menu);

} // namespace quorvo
