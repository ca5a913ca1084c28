#pragma once

#include <QFont>

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quorvo {

// A task's notes broken into the lines a word-wrapping text box of a given width shows them in, the way every
// report and export lays them out. Works on the file's Windows-1252 bytes and measures each byte once, so a
// whole view of notes is wrapped without a widget or a text layout per task.
//
// The rule: a line ends at each line break of the notes (CR LF, CR or LF) and wherever a line no longer fits
// the box's text area; it then breaks after the last space that still fits, or inside a word that alone is
// wider than the area. Spaces never start a wrap: they stay at the end of their line. An empty last line is
// dropped, one line holding only spaces means no notes at all, each line is read back with at most 4096
// bytes and loses its trailing spaces.
class NoteLines
{
public:
    // The text box's border and inner margins, which the wrap width includes but the text never uses.
    static constexpr int kBoxChrome = 8;
    static constexpr std::size_t kMaxLineBytes = 4096;

    // The report dialog's font, in which note lines are measured: Arial with an 11-pixel character height.
    static QFont reportFont();
    // The plain-text export's wrap width: the width of 34 digits in the report font.
    static int widthOf34Digits(const QFont& font);

    NoteLines(const QFont& font, int wrapWidth);

    int wrapWidth() const { return m_wrapWidth; }
    // Empty when the task has no note lines.
    std::vector<std::string> lines(std::string_view notes) const;

private:
    void wrapParagraph(std::string_view text, std::vector<std::string>& out) const;

    std::array<int, 256> m_advance{};
    int m_wrapWidth;
    int m_textWidth;
};

} // namespace quorvo
