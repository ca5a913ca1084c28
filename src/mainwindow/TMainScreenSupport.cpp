#include "datetime/DateFormats.h"
#include "mainwindow/PlaceWindow.h"
#include "mainwindow/TMainScreen.h"
#include "reports/ConfigurationReport.h"
#include "store/DataFileUpgrade.h"
#include "store/ProgramDir.h"
#include "store/TaskFiles.h"
#include "support/SystemPlatformInfo.h"
#include "support/TConfigurationInfo.h"
#include "support/TSplashform.h"
#include "ui/ProgramIdentity.h"

#include <QCoreApplication>
#include <QTableView>

namespace quorvo {

bool TMainScreen::UpgradeDataFiles()
{
    DataFileUpgrade upgrade(*m_files, m_todoTable, m_programDir);
    upgrade.statusText = [this](const QString& text) { setStatusText(text); };
    upgrade.processMessages = [] { QCoreApplication::processEvents(); };
    upgrade.suspendGrid = [this](bool on) { m_activeGrid->setUpdatesEnabled(!on); };
    return upgrade.UpgradeDataFiles();
}

void TMainScreen::About1Click()
{
    TSplashform form(this);
    PlaceWindow(&form, this);
    form.exec();
}

void TMainScreen::ConfigurationInformation1Click()
{
    const DateFormats& formats = DateFormats::current();
    const RegionalSettings& regional = formats.regional();
    ConfigurationReport::Program program;
    program.today = formats.format(regional.longDatePattern, formats.today());
    program.version = ProgramIdentity::version();
    program.shortDatePattern = formats.inForce().shortDatePattern;
    program.longDatePattern = regional.longDatePattern;
    program.shortTimePattern = regional.shortTimePattern;
    program.longTimePattern = regional.longTimePattern;
    program.preferencesFile = PreferencesFileName(m_programDir);
    program.splitterBar = splitterBar();
    program.sortOrder = m_sortOrder;
    program.showDoneTasks = m_preferences.showDone;

    TConfigurationInfo form(this);
    form.appendLines(ConfigurationReport::lines(SystemPlatformInfo::read(screen()), program));
    PlaceWindow(&form, this);
    form.exec();
}

} // namespace quorvo
