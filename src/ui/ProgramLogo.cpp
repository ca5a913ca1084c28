#include "ui/ProgramLogo.h"

// Q_INIT_RESOURCE must be used outside any namespace; calling it from here keeps the linker from dropping the
// picture out of the static library.
static void initLogoResources()
{
    Q_INIT_RESOURCE(logo);
}

namespace quorvo {

QString ProgramLogo::resourcePath()
{
    static const bool loaded = [] {
        initLogoResources();
        return true;
    }();
    Q_UNUSED(loaded);
    return QStringLiteral(":/logo/quorvo.svg");
}

QIcon ProgramLogo::icon()
{
    return QIcon(resourcePath());
}

QPixmap ProgramLogo::pixmap(int side)
{
    return icon().pixmap(side, side);
}

} // namespace quorvo
