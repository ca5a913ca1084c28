#pragma once

class QFontMetrics;
class QTableView;

namespace quorvo {

// The task grid's look: white background, black Arial 11 pixels for cells and titles, column titles, no
// row-indicator column, row and column lines, columns the user may resize, Tab from cell to cell, the
// selection visible also without the focus, editing started by typing or F2 (a double-click belongs to the
// column actions), and each column as wide as its display width in characters.
class TaskGridLook
{
public:
    static constexpr int kFontPixels = 11;

    // Call once the grid has its model: the widths are measured on the column titles as well.
    static void apply(QTableView* grid);
    // Every column back to its designed width.
    static void setDesignedWidths(QTableView* grid);
    // A column of so many characters: that many average characters plus what the cell spends around its
    // text (the margins the style keeps on either side and the grid line).
    static int widthForCharacters(int characters, const QFontMetrics& metrics, int cellSpace);
    static int cellSpace(const QTableView* grid);
};

} // namespace quorvo
