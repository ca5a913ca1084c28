#include "datetime/FormatSettings.h"

namespace quorvo {

const FormatSettings& FormatSettings::working()
{
    static const FormatSettings settings{QStringLiteral("mm/dd/yyyy"), QLatin1Char('/'), QLatin1Char(':'),
                                         QStringLiteral("AM"), QStringLiteral("PM")};
    return settings;
}

} // namespace quorvo
