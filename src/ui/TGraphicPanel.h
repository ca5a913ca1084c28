#pragma once

#include <QColor>
#include <QWidget>

namespace quorvo {

// A light clickable panel cell: a caption on a filled rectangle inside optional border and bevel frames.
// It takes no focus and keeps no native window; the time picker's hour and minute cells and the report
// dialog's colour swatches are made of it.
//
// Clicks follow the usual rule: a press and release of the left button inside the cell is one click, and
// a double click gives one click for its first press, then doubleClicked() instead of a second click.
class TGraphicPanel : public QWidget
{
    Q_OBJECT

public:
    enum class Bevel
    {
        None,
        Lowered,
        Raised
    };

    enum class BorderStyle
    {
        None,
        Single
    };

    static constexpr int kDefaultWidth = 185;
    static constexpr int kDefaultHeight = 41;

    explicit TGraphicPanel(QWidget* parent = nullptr);

    // Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter (the default).
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);
    Bevel bevelInner() const { return m_bevelInner; }
    void setBevelInner(Bevel bevel);
    Bevel bevelOuter() const { return m_bevelOuter; }
    void setBevelOuter(Bevel bevel);
    int bevelWidth() const { return m_bevelWidth; }
    void setBevelWidth(int width);
    int borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width);
    BorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(BorderStyle style);

    // The fill. Until a colour is set, or while parentColor() holds, it is the palette's colour: the
    // button face, or the parent's window colour.
    QColor color() const;
    void setColor(const QColor& color);
    bool parentColor() const { return m_parentColor; }
    void setParentColor(bool parentColor);
    // The caption's colour; the palette's button text until one is set.
    QColor textColor() const;
    void setTextColor(const QColor& color);

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    QSize sizeHint() const override { return {kDefaultWidth, kDefaultHeight}; }

signals:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    Qt::Alignment m_alignment = Qt::AlignHCenter;
    Bevel m_bevelInner = Bevel::None;
    Bevel m_bevelOuter = Bevel::Raised;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
    BorderStyle m_borderStyle = BorderStyle::None;
    QColor m_color;
    QColor m_textColor;
    bool m_parentColor = false;
    QString m_caption;
    int m_tag = 0;
    bool m_pressed = false;
};

} // namespace quorvo
