#include "ui/DialogFont.h"

namespace quorvo {

QFont DialogFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    return font;
}

} // namespace quorvo
