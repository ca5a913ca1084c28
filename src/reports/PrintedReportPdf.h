#pragma once

#include "reports/PrintRunSettings.h"

#include <QFont>
#include <QPageLayout>
#include <QString>

namespace quorvo {

class DateFormats;
class TodoTable;

// The printed report written as a PDF file instead of going to a printer: the same layout, on a page of
// the given layout. The file is replaced only when the whole report was written; a failure leaves an
// earlier file as it was.
class PrintedReportPdf
{
public:
    struct Result
    {
        bool ok = false;
        int pages = 0;
        QString error; // the system's text for a failure
    };

    // A4 or Letter by the system's locale, portrait.
    static QPageLayout defaultPageLayout();

    // Lays out the view from the table's current task on.
    static Result write(const QString& fileName, TodoTable& table, const DateFormats& formats,
                        const PrintRunSettings& settings, const QPageLayout& layout, const QFont& wrapFont,
                        double screenDpi);
};

} // namespace quorvo
