// File > Import iCalendar...: the window asks for the file, shows what the import will do and makes it one
// step of the undo history; reading the file and writing the tasks is ICalImport's, the preview and the step
// ICalImportPreview's.
#include "datetime/DateFormats.h"
#include "dialogs/TImportPreview.h"
#include "mainwindow/PlaceWindow.h"
#include "mainwindow/TMainScreen.h"
#include "mainwindow/TaskGrid.h"
#include "mainwindow/TaskUndoCommand.h"
#include "store/Messages.h"
#include "store/Windows1252.h"
#include "store/xbase/Table.h"
#include "tasks/ICalImportPreview.h"
#include "tasks/TaskUid.h"
#include "ui/FileDialogs.h"
#include "ui/ModalRunner.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QUndoStack>

namespace quorvo {

bool TMainScreen::runImportPreview(const QString& fileName, const ICalImportPreview& preview)
{
    TImportPreview window(fileName, preview, this);
    PlaceWindow(&window, this);
    return ModalRunner::run(window) == QDialog::Accepted;
}

void TMainScreen::ImportICalendar1Click()
{
    if (!m_todoTable.isOpen() || m_firstActivation)
        return;
    m_taskGrid->postPendingEdits();
    FileDialogs::OpenRequest request;
    request.filter = tr("iCalendar File|*.ics");
    const std::optional<QString> chosen = FileDialogs::current().getOpenFileName(this, request);
    if (!chosen)
        return;
    const QString name = QDir::toNativeSeparators(*chosen);
    QFile file(*chosen);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowError(tr("The file \"%1\" could not be read.\r%2").arg(name, file.errorString()));
        return;
    }
    const QByteArray bytes = file.readAll();
    file.close();

    xbase::Table& engine = m_todoTable.engine();
    QString error;
    std::optional<ICalImport::Plan> plan =
        ICalImport::read(bytes, TaskUid::tableTag(QString::fromStdString(engine.path())), &error);
    if (!plan) {
        ShowError(tr("The file \"%1\" could not be imported: %2.").arg(name, error));
        return;
    }
    const std::uint32_t at = engine.eof() ? 0 : engine.recNo();
    auto preview = ICalImportPreview::of(engine, std::move(*plan), DateFormats::current());
    (void)engine.go(at);
    if (!preview) {
        reportCommandFailure(tr("The tasks could not be imported."), preview.error());
        return;
    }
    if (preview->nothingToImport()) {
        ShowInfo(tr("The file \"%1\" holds no to-dos to import.\r%2").arg(name, preview->skippedText()));
        return;
    }
    if (!runImportPreview(*chosen, *preview))
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    ICalImportPreview::Made made = preview->make(engine);
    QApplication::restoreOverrideCursor();
    const int done = made.outcome.added + made.outcome.updated;
    for (int i = 0; i < done; ++i)
        m_keyWordList.breakStringIntoWords(Windows1252::toUnicode(preview->plan().tasks[std::size_t(i)].keys));
    if (made.step) {
        // The grid stands on the first task the import touched.
        (void)engine.go(made.step->firstTask());
        m_undoStack->push(new TaskUndoCommand(m_todoTable, std::move(*made.step)));
    }
    refreshView();
    SetButtons();
    if (!made.outcome.status) {
        reportCommandFailure(
            done > 0 ? tr("The import stopped after %1 of %2 tasks.").arg(done).arg(preview->plan().tasks.size())
                     : tr("The tasks could not be imported."),
            made.outcome.status.error());
    }
}

} // namespace quorvo
