#pragma once

namespace quorvo {

// One tab stop of the report engine. Positions and widths are inches from the page's left edge; the
// inner margin is kept on both sides of the text, in hundredths of an inch.
struct TabStop
{
    enum class Justify
    {
        Left,
        Center,
        Right
    };

    enum BoxLine
    {
        NoBox = 0,
        BoxLeft = 1,
        BoxRight = 2,
        BoxTop = 4,
        BoxBottom = 8,
        BoxAll = 15
    };

    double position = 0;
    Justify justify = Justify::Left;
    double width = 0;
    int margin = 0;
    int boxLines = NoBox;
    int shade = 0; // percent of black, 0 for none

    double textStart() const { return position + margin / 100.0; }
    double textWidth() const { return width - 2 * (margin / 100.0); }
    double end() const { return position + width; }
};

} // namespace quorvo
