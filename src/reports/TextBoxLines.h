#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QStringList>

namespace quorvo {

// The lines a word-wrapping multi-line text box of a given width shows for a text: a line ends at each
// line break and where the next word would pass the box's text area; a word wider than a whole line is
// broken between characters. Spaces at a wrap stay at the end of the line they follow. The box's border
// and inner margins take kFrameWidth pixels off the width.
class TextBoxLines
{
public:
    static constexpr int kFrameWidth = 8;
    static constexpr qsizetype kMaxLineLength = 4096;

    TextBoxLines(const QFont& font, int widthPixels);

    // Every line the box shows, an empty last line included.
    QStringList wrap(const QString& text) const;
    // The lines a report prints: an empty last line is dropped, and a single line that is blank once
    // spaces are removed from both ends means no lines.
    QStringList reportLines(const QString& text) const;

    double textAreaWidth() const { return m_available; }

private:
    void wrapParagraph(QStringView paragraph, QStringList& out) const;

    QFontMetricsF m_metrics;
    double m_available;
};

} // namespace quorvo
