#include "mainwindow/Windows1252Validator.h"

#include "store/Windows1252.h"

namespace quorvo {

QValidator::State Windows1252Validator::validate(QString& input, int& position) const
{
    Q_UNUSED(position);
    return Windows1252::canEncode(input) ? Acceptable : Invalid;
}

} // namespace quorvo
