#pragma once

class QWidget;

namespace quorvo {

// Bringing a window to the user: a minimized one is restored, any other is raised and made active.
class WindowActivation
{
public:
    static void bringToFront(QWidget* window);
};

} // namespace quorvo
