#include "support/RecordingPaintDevice.h"

#include <QPainter>
#include <QPainterPath>

namespace quorvo {

namespace {

class RecordingEngine final : public QPaintEngine
{
public:
    explicit RecordingEngine(RecordingPaintDevice& device) : QPaintEngine(AllFeatures), m_device(device) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& changed) override
    {
        const DirtyFlags flags = changed.state();
        if (flags & DirtyBrush)
            m_brush = changed.brush();
        if (flags & DirtyFont)
            m_font = changed.font();
        if (flags & DirtyTransform)
            m_transform = changed.transform();
        if (flags & DirtyClipEnabled)
            m_clipOn = changed.isClipEnabled();
        if (flags & DirtyClipPath) {
            m_clip = changed.clipOperation() == Qt::NoClip ? QRectF() : changed.clipPath().boundingRect();
            m_clipOn = changed.clipOperation() != Qt::NoClip;
        }
        if (flags & DirtyClipRegion) {
            m_clip = changed.clipOperation() == Qt::NoClip ? QRectF() : QRectF(changed.clipRegion().boundingRect());
            m_clipOn = changed.clipOperation() != Qt::NoClip;
        }
    }

    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        m_device.texts.append({item.text(), m_transform.map(p), item.font(), m_clipOn ? m_clip : QRectF()});
    }

    void drawLines(const QLineF* lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            m_device.lines.append(m_transform.map(lines[i]));
    }

    void drawRects(const QRectF* rects, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const QRectF r = m_transform.mapRect(rects[i]);
            if (m_brush.style() == Qt::NoBrush)
                m_device.outlines.append(r);
            else
                m_device.fills.append({r, m_brush.color()});
        }
    }

    // Rectangles drawn with a wide pen may arrive as paths; their bounds are what the tests check.
    void drawPath(const QPainterPath& path) override
    {
        if (path.elementCount() == 2) {
            const QLineF line(path.elementAt(0), path.elementAt(1));
            drawLines(&line, 1);
            return;
        }
        const QRectF bounds = path.boundingRect();
        drawRects(&bounds, 1);
    }

    // A line replayed from a picture comes as a two-point polyline.
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        if (mode != PolylineMode)
            return;
        for (int i = 0; i + 1 < count; ++i)
            m_device.lines.append(m_transform.map(QLineF(points[i], points[i + 1])));
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}

private:
    RecordingPaintDevice& m_device;
    QBrush m_brush;
    QFont m_font;
    QTransform m_transform;
    QRectF m_clip;
    bool m_clipOn = false;
};

} // namespace

RecordingPaintDevice::RecordingPaintDevice() : m_engine(std::make_unique<RecordingEngine>(*this)) {}

RecordingPaintDevice::~RecordingPaintDevice() = default;

void RecordingPaintDevice::clear()
{
    texts.clear();
    lines.clear();
    outlines.clear();
    fills.clear();
}

void RecordingPaintDevice::play(const QPicture& picture)
{
    QPainter painter(this);
    painter.drawPicture(0, 0, picture);
}

const RecordingPaintDevice::Text* RecordingPaintDevice::find(const QString& text) const
{
    for (const Text& item : texts)
        if (item.text == text)
            return &item;
    return nullptr;
}

QPaintEngine* RecordingPaintDevice::paintEngine() const
{
    return m_engine.get();
}

int RecordingPaintDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
    case PdmHeight:
        return 20000;
    case PdmWidthMM:
    case PdmHeightMM:
        return 423;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        // A picture is scaled by the ratio of the device's resolution to its own; at the same resolution
        // it replays in its own units.
        return QPicture().logicalDpiX();
    case PdmDepth:
        return 32;
    case PdmNumColors:
        return 0x7fffffff;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    }
    return 0;
}

} // namespace quorvo
