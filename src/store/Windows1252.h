#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace quorvo {

// Text in the task files is Windows-1252; the windows work in Unicode. This is the one place where
// the two meet, so nothing is altered on the way: a character Windows-1252 cannot hold is refused,
// never replaced.
class Windows1252
{
public:
    static QString toUnicode(std::string_view bytes);
    // Empty when text holds a character Windows-1252 cannot hold (ok tells the two apart).
    static std::string fromUnicode(QStringView text, bool* ok = nullptr);
    static bool canEncode(QChar c);
    static bool canEncode(QStringView text);
};

} // namespace quorvo
