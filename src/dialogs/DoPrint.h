#pragma once

#include "reports/PrintRunSettings.h"

#include <QString>

class QPrinter;
class QWidget;

namespace quorvo {

class DateFormats;
class HelpService;
class TodoTable;

// One printed report or preview, as the report dialog starts it.
struct PrintRequest
{
    PrintRunSettings settings;
    bool preview = false;
    // The report dialog's printer: its page (size and orientation) shapes both modes; printing goes to it.
    QPrinter* printer = nullptr;
    QWidget* owner = nullptr;      // the report dialog
    QWidget* mainWindow = nullptr; // the windows are placed over it
    QString preferencesFile;       // keeps the preview's placement
    HelpService* help = nullptr;
};

// Runs the report over the table's current view from its first task, in the status window and, for
// a preview that was not aborted, then in the preview window. The table is back on the task it stood
// on before, when that task can still be reached. Returns whether the run was aborted.
bool DoPrint(TodoTable& table, const DateFormats& formats, const PrintRequest& request);

} // namespace quorvo
