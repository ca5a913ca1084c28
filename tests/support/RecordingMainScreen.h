#pragma once

#include "mainwindow/TMainScreen.h"
#include "support/FixedClock.h"
#include "support/RecordingHelpService.h"

#include <QStringList>

#include <functional>

namespace quorvo {

// The main window with its table and preferences steps replaced by a log of the calls, in order. Tests set
// openSucceeds to fail the start, and duringStep to act in the middle of a named step.
class RecordingMainScreen : public TMainScreen
{
public:
    RecordingMainScreen(RecordingHelpService& help, const Clock& clock, const QString& programDir = QString())
        : TMainScreen(help, clock, programDir)
    {}

    QStringList log;
    bool openSucceeds = true;
    QDate goneTo;
    std::function<void(const QString& step)> duringStep;

    void EditbuttonClick() override { note(QStringLiteral("Edit")); }
    void NewbuttonClick() override { note(QStringLiteral("New")); }
    void CloneButtonClick() override { note(QStringLiteral("Clone")); }
    void DeleteButtonClick() override { note(QStringLiteral("Delete")); }
    void FilterbuttonClick() override { note(QStringLiteral("Filter")); }
    void OrderButtonClick() override { note(QStringLiteral("Sort")); }
    void DoneToggleButtonClick() override { note(QStringLiteral("Done")); }
    void PrintbuttonClick() override { note(QStringLiteral("Report")); }
    void CalendarButtonClick() override { note(QStringLiteral("Calendar")); }
    void ExitButtonClick() override
    {
        note(QStringLiteral("Exit"));
        TMainScreen::ExitButtonClick();
    }
    void HelpbuttonClick() override
    {
        note(QStringLiteral("Help"));
        TMainScreen::HelpbuttonClick();
    }
    void FilterClearbuttonClick() override { note(QStringLiteral("FilterClear")); }
    void ShowDoneClick() override { note(QStringLiteral("ShowDone")); }
    void RebuildIndexes1Click() override { note(QStringLiteral("RebuildIndexes")); }

    using TMainScreen::FormKeyDown;

protected:
    void restorePlacementAtStartup() override { note(QStringLiteral("restorePlacement")); }
    void setCalcSuspended(bool on) override { note(on ? QStringLiteral("suspend") : QStringLiteral("resume")); }
    bool openTaskTableAtStartup() override
    {
        note(QStringLiteral("open"));
        return openSucceeds;
    }
    void LoadPreferences() override { note(QStringLiteral("LoadPreferences")); }
    void BuildKeyWordList() override { note(QStringLiteral("BuildKeyWordList")); }
    void SetUpFilter() override { note(QStringLiteral("SetUpFilter")); }
    void GoToDate(const QDate& date) override
    {
        goneTo = date;
        note(QStringLiteral("GoToDate"));
    }
    void SetMainMenuSortChecks() override { note(QStringLiteral("SetMainMenuSortChecks")); }
    void remindToRebuildIndexes() override { note(QStringLiteral("remind")); }
    void SavePreferences() override { note(QStringLiteral("SavePreferences")); }
    void saveWindowPlacementAtClose() override { note(QStringLiteral("savePlacement")); }
    void closeTaskTable() override { note(QStringLiteral("closeTable")); }

private:
    void note(const QString& step)
    {
        log.append(step);
        if (duringStep)
            duringStep(step);
    }
};

} // namespace quorvo
