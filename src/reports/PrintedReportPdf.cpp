#include "reports/PrintedReportPdf.h"

#include "reports/PagedReportDevice.h"
#include "reports/PrintedReportLayout.h"
#include "reports/ReportEngine.h"

#include <QLocale>
#include <QPdfWriter>
#include <QSaveFile>

namespace quorvo {

QPageLayout PrintedReportPdf::defaultPageLayout()
{
    const QPageSize size(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                            : QPageSize::A4);
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

PrintedReportPdf::Result PrintedReportPdf::write(const QString& fileName, TodoTable& table, const DateFormats& formats,
                                                 const PrintRunSettings& settings, const QPageLayout& layout,
                                                 const QFont& wrapFont, double screenDpi)
{
    Result result;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = file.errorString();
        return result;
    }
    int pages = 0;
    {
        QPdfWriter writer(&file);
        writer.setResolution(static_cast<int>(ReportDevice::kUnitsPerInch));
        writer.setTitle(settings.title);
        writer.setCreator(QStringLiteral("Quorvo"));
        QPageLayout full = layout;
        full.setMinimumMargins(QMarginsF(0, 0, 0, 0));
        full.setMargins(QMarginsF(0, 0, 0, 0));
        writer.setPageLayout(full);

        ReportEngine engine;
        PrintedReportLayout report(engine, table, formats, settings);
        report.setWrapFont(wrapFont);
        report.setScreenDpi(screenDpi);
        report.attach();
        PagedReportDevice device(writer);
        if (!engine.execute(device)) {
            file.cancelWriting();
            result.error = file.error() != QFileDevice::NoError ? file.errorString()
                                                                : QStringLiteral("The report could not be laid out.");
            return result;
        }
        pages = engine.currentPage();
    }
    if (!file.commit()) {
        result.error = file.errorString();
        return result;
    }
    result.ok = true;
    result.pages = pages;
    return result;
}

} // namespace quorvo
