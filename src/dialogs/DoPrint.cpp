#include "dialogs/DoPrint.h"

#include "dialogs/TPreviewForm.h"
#include "dialogs/TReportPrint.h"
#include "mainwindow/PlaceWindow.h"
#include "reports/PageStream.h"
#include "store/Messages.h"
#include "store/TodoTable.h"
#include "store/Windows1252.h"
#include "ui/ModalRunner.h"

#include <QPrinter>

#include <memory>

namespace quorvo {

bool DoPrint(TodoTable& table, const DateFormats& formats, const PrintRequest& request)
{
    xbase::Table& cursor = table.engine();
    const std::uint32_t noted = cursor.eof() ? 0 : cursor.recNo();
    if (auto top = cursor.goTop(); !top) {
        ShowError(Windows1252::toUnicode(top.error().message));
        return true;
    }

    std::unique_ptr<PageStream> stream;
    bool aborted = false;
    {
        TReportPrint status(table, formats, request.owner);
        PlaceWindow(&status, request.mainWindow);
        status.setSettings(request.settings);
        if (request.preview) {
            QSizeF page(8.5, 11);
            if (request.printer)
                page = request.printer->pageLayout().fullRect(QPageLayout::Inch).size();
            stream = std::make_unique<PageStream>(page);
            status.usePageStream(stream.get());
        } else {
            status.usePrinter(request.printer);
        }
        ModalRunner::run(status);
        aborted = status.aborted();
    }

    if (request.preview && !aborted) {
        TPreviewForm preview(request.preferencesFile, request.mainWindow, request.help, request.owner);
        if (request.preferencesFile.isEmpty())
            PlaceWindow(&preview, request.mainWindow);
        preview.setOpeningZoom(TPreviewForm::PageWidth);
        preview.setWindowTitle(QStringLiteral("Preview Report"));
        preview.setPageStream(stream.get());
        ModalRunner::run(preview);
    }
    stream.reset();

    if (noted > 0)
        (void)cursor.go(noted);
    return aborted;
}

} // namespace quorvo
