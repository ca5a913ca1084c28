#pragma once

#include "reports/ReportDevice.h"

#include <QPainter>
#include <QPicture>

namespace quorvo {

class PageStream;

// Records each page into a picture of the page stream. A page is added to the stream when it is
// finished, so an aborted run leaves only complete pages behind.
class PageStreamDevice final : public ReportDevice
{
public:
    explicit PageStreamDevice(PageStream& stream) : m_stream(stream) {}
    ~PageStreamDevice() override;

    QSizeF pageSize() const override;
    QPainter* beginDocument() override;
    bool newPage() override;
    bool endDocument() override;
    void abortDocument() override;

private:
    void startPage();
    void finishPage();

    PageStream& m_stream;
    QPicture m_page;
    QPainter m_painter;
};

} // namespace quorvo
