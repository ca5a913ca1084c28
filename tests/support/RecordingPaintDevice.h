#pragma once

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPicture>
#include <QRectF>

#include <memory>

namespace quorvo {

// A paint device that keeps what is painted on it instead of drawing it: text items with their baseline,
// font and clip rectangle, lines, outlined rectangles and filled rectangles, in the painter's device
// coordinates. Report pages are replayed on it (play()) so tests can check positions in engine units.
class RecordingPaintDevice final : public QPaintDevice
{
public:
    struct Text
    {
        QString text;
        QPointF baseline;
        QFont font;
        QRectF clip; // empty when not clipped
    };
    struct Fill
    {
        QRectF rect;
        QColor color;
    };

    RecordingPaintDevice();
    ~RecordingPaintDevice() override;

    QList<Text> texts;
    QList<QLineF> lines;
    QList<QRectF> outlines;
    QList<Fill> fills;

    void clear();
    void play(const QPicture& picture);
    // The first text item with exactly this text; null when there is none.
    const Text* find(const QString& text) const;

    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    std::unique_ptr<QPaintEngine> m_engine;
};

} // namespace quorvo
