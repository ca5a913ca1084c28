#pragma once

#include <QSizeF>

class QPainter;

namespace quorvo {

// Where the report engine's pages go: a printer, a PDF file or the in-memory page stream of the
// preview. The painter a device hands out paints in engine units, 1/1200 inch from the page's top-left
// corner (paper edge, not the printable area), whatever the device's own resolution.
class ReportDevice
{
public:
    static constexpr double kUnitsPerInch = 1200.0;

    virtual ~ReportDevice() = default;

    // The page in inches, in the orientation in force.
    virtual QSizeF pageSize() const = 0;
    // Starts the document on its first page; null when the device cannot be painted on.
    virtual QPainter* beginDocument() = 0;
    // Ends the page in progress and starts the next one; false when the device refused.
    virtual bool newPage() = 0;
    // Finishes the document; false when it could not be completed.
    virtual bool endDocument() = 0;
    // Drops the document in progress; nothing of it may come out of the device.
    virtual void abortDocument() = 0;
};

} // namespace quorvo
