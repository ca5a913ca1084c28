#include "mainwindow/TaskGridLook.h"

#include "mainwindow/TaskViewModel.h"

#include <QAbstractItemView>
#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPalette>
#include <QStyle>
#include <QTableView>

#include <algorithm>

namespace quorvo {

namespace {

// Rows as high as the text with a little room above and below, as a desktop grid draws them.
constexpr int kRowPadding = 4;

} // namespace

void TaskGridLook::apply(QTableView* grid)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kFontPixels);
    grid->setFont(font);
    grid->horizontalHeader()->setFont(font);

    QPalette palette = grid->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, Qt::white);
        palette.setColor(group, QPalette::Text, Qt::black);
    }
    // Without the focus the selection keeps the colours it has with it.
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    grid->setPalette(palette);

    grid->verticalHeader()->hide();
    // A fixed row height: the grid never asks the rows for their size, which would read every task.
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + kRowPadding);
    grid->setShowGrid(true);
    grid->setWordWrap(false);
    grid->setTabKeyNavigation(true);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);

    QHeaderView* header = grid->horizontalHeader();
    header->show();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setDesignedWidths(grid);
}

void TaskGridLook::setDesignedWidths(QTableView* grid)
{
    const QFontMetrics metrics(grid->font());
    const int space = cellSpace(grid);
    QHeaderView* header = grid->horizontalHeader();
    const int columns = grid->model() ? std::min<int>(grid->model()->columnCount(), TaskViewModel::ColumnCount) : 0;
    for (int column = 0; column < columns; ++column) {
        const int designed =
            widthForCharacters(TaskViewModel::kDisplayWidths[static_cast<std::size_t>(column)], metrics, space);
        // A title wider than its column would be clipped: the column takes the title's width then.
        grid->setColumnWidth(column, std::max(designed, header->sectionSizeHint(column)));
    }
}

int TaskGridLook::widthForCharacters(int characters, const QFontMetrics& metrics, int cellSpace)
{
    return characters * metrics.averageCharWidth() + cellSpace;
}

int TaskGridLook::cellSpace(const QTableView* grid)
{
    // An item view keeps this margin on each side of a cell's text; the grid line takes a pixel of the cell.
    const int textMargin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    return 2 * textMargin + (grid->showGrid() ? 1 : 0);
}

} // namespace quorvo
