// The main window's report command: the report dialog over the current view.
#include "datetime/DateFormats.h"
#include "dialogs/TReportSetup.h"
#include "mainwindow/PlaceWindow.h"
#include "mainwindow/TMainScreen.h"
#include "mainwindow/TaskGrid.h"

namespace quorvo {

void TMainScreen::PrintbuttonClick()
{
    if (!m_todoTable.isOpen())
        return;
    if (m_taskGrid)
        m_taskGrid->postPendingEdits();
    TReportSetup dialog(m_todoTable, DateFormats::current(), m_help, m_programDir, this);
    PlaceWindow(&dialog, this);
    dialog.setReportOptions(m_preferences.report);
    // An export walks the table; the grid follows it and stays on the last task of the view.
    connect(&dialog, &TReportSetup::tableMoved, this, [this] {
        if (m_taskGrid)
            m_taskGrid->syncToTable();
    });
    dialog.exec();
    m_preferences.report = dialog.reportOptions();
    if (m_taskGrid)
        m_taskGrid->syncToTable();
    SetButtons();
}

} // namespace quorvo
