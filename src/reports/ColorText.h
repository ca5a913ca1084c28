#pragma once

#include <QString>

#include <optional>

namespace quorvo {

// The HTML background colour in its two forms: the preferences' colour value with red in the low byte
// (0x00BBGGRR, as the platform keeps colours) and the page's colour text, six upper-case hexadecimal
// digits RRGGBB.
namespace ColorText {

QString fromValue(int bgr);
// The value of a colour text of six hexadecimal digits in either letter case; none for anything else.
std::optional<int> toValue(QStringView rgb);

} // namespace ColorText

} // namespace quorvo
