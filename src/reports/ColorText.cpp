#include "reports/ColorText.h"

namespace quorvo::ColorText {

QString fromValue(int bgr)
{
    const auto value = static_cast<unsigned>(bgr) & 0xFFFFFFu;
    const unsigned red = value & 0xFF;
    const unsigned green = (value >> 8) & 0xFF;
    const unsigned blue = (value >> 16) & 0xFF;
    return QStringLiteral("%1").arg((red << 16) | (green << 8) | blue, 6, 16, QLatin1Char('0')).toUpper();
}

std::optional<int> toValue(QStringView rgb)
{
    if (rgb.size() != 6)
        return std::nullopt;
    bool ok = false;
    const unsigned value = rgb.toUInt(&ok, 16);
    for (QChar c : rgb)
        ok = ok && c.isLetterOrNumber() && c.unicode() < 128;
    if (!ok)
        return std::nullopt;
    const unsigned red = (value >> 16) & 0xFF;
    const unsigned green = (value >> 8) & 0xFF;
    const unsigned blue = value & 0xFF;
    return static_cast<int>(red | (green << 8) | (blue << 16));
}

} // namespace quorvo::ColorText
