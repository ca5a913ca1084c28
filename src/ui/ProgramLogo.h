#pragma once

#include <QIcon>
#include <QPixmap>

namespace quorvo {

// The program's logo, compiled into the program: the window icon of every window and the picture of the about
// window. The same drawing is installed as the desktop's icon for the program.
class ProgramLogo
{
public:
    static QString resourcePath();
    static QIcon icon();
    // The logo drawn at side x side logical pixels.
    static QPixmap pixmap(int side);
};

} // namespace quorvo
