#include "reports/NoteLines.h"

#include "store/Windows1252.h"

#include <QFontMetrics>

namespace quorvo {

QFont NoteLines::reportFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    return font;
}

int NoteLines::widthOf34Digits(const QFont& font)
{
    return QFontMetrics(font).horizontalAdvance(QStringLiteral("1234567890123456789012345678901234"));
}

NoteLines::NoteLines(const QFont& font, int wrapWidth) : m_wrapWidth(wrapWidth), m_textWidth(wrapWidth - kBoxChrome)
{
    const QFontMetrics metrics(font);
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const QString text = Windows1252::toUnicode(std::string_view(&c, 1));
        m_advance[static_cast<std::size_t>(byte)] = text.isEmpty() ? 0 : metrics.horizontalAdvance(text);
    }
}

std::vector<std::string> NoteLines::lines(std::string_view notes) const
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = notes.find_first_of("\r\n", start);
        wrapParagraph(notes.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start), out);
        if (end == std::string_view::npos)
            break;
        start = end + (notes[end] == '\r' && end + 1 < notes.size() && notes[end + 1] == '\n' ? 2 : 1);
    }
    if (!out.empty() && out.back().empty())
        out.pop_back();
    if (out.size() == 1 && out.front().find_first_not_of(' ') == std::string::npos)
        out.clear();
    for (std::string& line : out) {
        if (line.size() > kMaxLineBytes)
            line.resize(kMaxLineBytes);
        const std::size_t last = line.find_last_not_of(' ');
        line.resize(last == std::string::npos ? 0 : last + 1);
    }
    return out;
}

void NoteLines::wrapParagraph(std::string_view text, std::vector<std::string>& out) const
{
    std::size_t pos = 0;
    do {
        int x = 0;
        std::size_t afterSpace = pos; // just after the last space seen on this line
        std::size_t i = pos;
        for (; i < text.size(); ++i) {
            const auto byte = static_cast<unsigned char>(text[i]);
            const int advance = m_advance[byte];
            if (byte == ' ') {
                x += advance;
                afterSpace = i + 1;
                continue;
            }
            if (x + advance > m_textWidth)
                break;
            x += advance;
        }
        std::size_t end = i;
        if (i < text.size())
            end = afterSpace > pos ? afterSpace : std::max(i, pos + 1);
        out.emplace_back(text.substr(pos, end - pos));
        pos = end;
    } while (pos < text.size());
}

} // namespace quorvo
