#include "ui/DialogGlyphs.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>

#include <functional>

namespace quorvo {

namespace {

constexpr int kSize = 16;

QIcon drawn(const std::function<void(QPainter&, const QPalette&)>& draw)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter, QApplication::palette());
    return QIcon(pixmap);
}

} // namespace

QIcon DialogGlyphs::calendar()
{
    return drawn([](QPainter& painter, const QPalette& palette) {
        painter.setPen(QPen(palette.color(QPalette::ButtonText), 1));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(1.5, 2.5, 13, 12));
        painter.fillRect(QRectF(2, 3, 12, 3), QColor(190, 30, 30));
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 4; ++column)
                painter.fillRect(QRectF(3 + column * 3, 7.5 + row * 2.2, 2, 1.4), palette.color(QPalette::ButtonText));
    });
}

QIcon DialogGlyphs::clock()
{
    return drawn([](QPainter& painter, const QPalette& palette) {
        painter.setPen(QPen(palette.color(QPalette::ButtonText), 1.2));
        painter.setBrush(Qt::white);
        painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        painter.drawLine(QPointF(8, 8), QPointF(8, 4));
        painter.drawLine(QPointF(8, 8), QPointF(11, 9.5));
    });
}

QIcon DialogGlyphs::dropDown()
{
    return drawn([](QPainter& painter, const QPalette& palette) {
        QPainterPath arrow;
        arrow.moveTo(4, 6);
        arrow.lineTo(12, 6);
        arrow.lineTo(8, 11);
        arrow.closeSubpath();
        painter.fillPath(arrow, palette.color(QPalette::ButtonText));
    });
}

} // namespace quorvo
