#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QScrollArea;

namespace quorvo {

class PageStream;

// The sheet of paper inside the preview's scroll box: one page of the stream drawn at the zoom, with a
// margin around it. Mouse presses are handed to whoever listens, so the window can zoom with them.
class PreviewPage : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewPage(QWidget* parent = nullptr);

    void setPage(const PageStream* stream, int index, double scale, int margin);

signals:
    void pressed(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const PageStream* m_stream = nullptr;
    int m_index = 0;
    double m_scale = 1; // screen pixels per engine unit
    int m_margin = 0;
};

// The preview control: shows the pages of a page stream in a scroll box, one at a time, at a zoom
// factor in percent of the paper's real size on the screen. Pages are numbered from 1.
class TFilePreview : public QObject
{
    Q_OBJECT

public:
    static constexpr double kMinZoom = 10;
    static constexpr double kMaxZoom = 200;
    static constexpr double kZoomStep = 10;
    static constexpr double kMarginPercent = 2.5;

    explicit TFilePreview(QObject* parent = nullptr);

    // Starts showing the stream in the scroll box, on its first page; the stream must outlive finish().
    void start(const PageStream* stream, QScrollArea* scrollBox);
    void finish();
    bool busy() const { return m_stream != nullptr; }

    int pages() const;
    int currentPage() const { return m_page; }
    int firstPage() const { return 1; }
    void showPage(int page);
    void nextPage();
    void prevPage();

    double zoom() const { return m_zoom; }
    // Below 10 (not negative) gives 10, above 200 gives 200; a negative request changes nothing.
    void setZoom(double percent);
    void zoomIn() { setZoom(m_zoom + kZoomStep); }
    void zoomOut() { setZoom(m_zoom - kZoomStep); }
    // The largest factors at which the page's width, or the whole page, fits the scroll box, before limits.
    double zoomPageWidthFactor() const;
    double zoomPageFactor() const;

    PreviewPage* pageWidget() const { return m_pageWidget; }
    // Screen pixels per inch at zoom 100.
    void setScreenDpi(double dpi) { m_dpi = dpi; }

signals:
    void pageChanged();
    void zoomChanged();

private:
    void layoutPage();
    QSizeF viewportSize() const;

    const PageStream* m_stream = nullptr;
    QPointer<QScrollArea> m_scrollBox;
    QPointer<PreviewPage> m_pageWidget;
    int m_page = 0;
    double m_zoom = 100;
    double m_dpi = 96;
};

} // namespace quorvo
