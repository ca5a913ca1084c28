#include "ui/TGraphicPanel.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace quorvo {

namespace {

// n nested one-pixel rectangles, each inside the one before: top and left lines in the first colour, bottom and
// right lines in the second. Returns what is left inside.
QRect drawFrame(QPainter& painter, QRect rect, int width, const QColor& topLeft, const QColor& bottomRight)
{
    for (int i = 0; i < width && rect.width() > 0 && rect.height() > 0; ++i) {
        painter.fillRect(rect.left(), rect.top(), rect.width() - 1, 1, topLeft);
        painter.fillRect(rect.left(), rect.top(), 1, rect.height() - 1, topLeft);
        painter.fillRect(rect.right(), rect.top(), 1, rect.height(), bottomRight);
        painter.fillRect(rect.left(), rect.bottom(), rect.width(), 1, bottomRight);
        rect.adjust(1, 1, -1, -1);
    }
    return rect;
}

QRect drawBevel(QPainter& painter, const QRect& rect, TGraphicPanel::Bevel bevel, int width, const QPalette& palette)
{
    if (bevel == TGraphicPanel::Bevel::None)
        return rect;
    QColor light = palette.color(QPalette::Light);
    QColor dark = palette.color(QPalette::Dark);
    if (bevel == TGraphicPanel::Bevel::Lowered)
        std::swap(light, dark);
    return drawFrame(painter, rect, width, light, dark);
}

} // namespace

TGraphicPanel::TGraphicPanel(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(kDefaultWidth, kDefaultHeight);
}

void TGraphicPanel::setAlignment(Qt::Alignment alignment)
{
    alignment &= Qt::AlignHorizontal_Mask;
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    update();
}

void TGraphicPanel::setBevelInner(Bevel bevel)
{
    if (bevel == m_bevelInner)
        return;
    m_bevelInner = bevel;
    update();
}

void TGraphicPanel::setBevelOuter(Bevel bevel)
{
    if (bevel == m_bevelOuter)
        return;
    m_bevelOuter = bevel;
    update();
}

void TGraphicPanel::setBevelWidth(int width)
{
    width = std::max(width, 1);
    if (width == m_bevelWidth)
        return;
    m_bevelWidth = width;
    update();
}

void TGraphicPanel::setBorderWidth(int width)
{
    width = std::max(width, 0);
    if (width == m_borderWidth)
        return;
    m_borderWidth = width;
    update();
}

void TGraphicPanel::setBorderStyle(BorderStyle style)
{
    if (style == m_borderStyle)
        return;
    m_borderStyle = style;
    update();
}

QColor TGraphicPanel::color() const
{
    if (m_parentColor && parentWidget())
        return parentWidget()->palette().color(QPalette::Window);
    return m_color.isValid() ? m_color : palette().color(QPalette::Button);
}

void TGraphicPanel::setColor(const QColor& color)
{
    const bool same = !m_parentColor && color == m_color;
    m_color = color;
    m_parentColor = false;
    if (!same)
        update();
}

void TGraphicPanel::setParentColor(bool parentColor)
{
    if (parentColor == m_parentColor)
        return;
    m_parentColor = parentColor;
    update();
}

QColor TGraphicPanel::textColor() const
{
    return m_textColor.isValid() ? m_textColor : palette().color(QPalette::ButtonText);
}

void TGraphicPanel::setTextColor(const QColor& color)
{
    if (color == m_textColor)
        return;
    m_textColor = color;
    update();
}

void TGraphicPanel::setCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

void TGraphicPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor fill = color();
    QRect rect = this->rect();
    if (m_borderStyle == BorderStyle::Single)
        rect = drawFrame(painter, rect, 1, Qt::black, Qt::black);
    rect = drawBevel(painter, rect, m_bevelOuter, m_bevelWidth, palette());
    rect = drawFrame(painter, rect, m_borderWidth, fill, fill);
    rect = drawBevel(painter, rect, m_bevelInner, m_bevelWidth, palette());
    if (rect.isEmpty())
        return;
    painter.fillRect(rect, fill);

    if (m_caption.isEmpty())
        return;
    // One line as high as the font's letters (a W with its ascent and descent), centred in what is left.
    const int lineHeight = fontMetrics().height();
    const QRect line(rect.left(), rect.top() + (rect.height() - lineHeight) / 2, rect.width(), lineHeight);
    painter.setPen(textColor());
    painter.setFont(font());
    painter.drawText(line, m_alignment.toInt() | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextExpandTabs, m_caption);
}

void TGraphicPanel::mousePressEvent(QMouseEvent* event)
{
    // Accepted, so the release comes back here rather than to the parent.
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void TGraphicPanel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

void TGraphicPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is not a click of its own.
    m_pressed = false;
    event->accept();
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

} // namespace quorvo
