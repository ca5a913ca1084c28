#pragma once

#include <QFont>

namespace quorvo {

// The dialogs' type: Arial at 11 pixels, the 8 points of a 96-dpi desktop. It is set in pixels because the
// dialogs are laid out in pixels; on a larger desktop Qt scales both together.
QFont DialogFont();

} // namespace quorvo
