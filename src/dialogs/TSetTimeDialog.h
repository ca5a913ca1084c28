#pragma once

#include "datetime/DateTime.h"

#include <QDialog>
#include <QList>

class QFrame;
class QLabel;
class QPushButton;

namespace quorvo {

class DateFormats;
class HelpService;
class TGraphicPanel;

// The time picker: a click on an hour cell and one on a minute cell choose a time of day, which the caption
// repeats ("Set Time As: 02:30 pm"). The caller sets the starting time, shows the dialog and, on Ok, reads
// the time back: the chosen hour and minute with zero seconds and no date.
class TSetTimeDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 306;
    static constexpr int kClientHeight = 334;

    // Holds both services by reference; they must outlive the dialog.
    TSetTimeDialog(const DateFormats& formats, HelpService& help, QWidget* parent = nullptr);

    // Any date part and the seconds are dropped at once.
    void setTime(const DateTime& time);
    DateTime time() const { return m_time; }
    int hour() const { return m_hour; }
    int minute() const { return m_minute; }

    // The cells, hours 0 to 23 and minutes 0 to 59 by index.
    const QList<TGraphicPanel*>& hourCells() const { return m_hourCells; }
    const QList<TGraphicPanel*>& minuteCells() const { return m_minuteCells; }

    void FormActivate();
    void HourClick(int hour);
    void MinuteClick(int minute);
    void OkbuttonClick();
    void CancelButtonClick();
    void HelpbuttonClick();

protected:
    void changeEvent(QEvent* event) override;

private:
    QFrame* createHourPanel();
    QFrame* createMinutePanel();
    void ShowDateTime();

    const DateFormats& m_formats;
    HelpService& m_help;
    DateTime m_time;
    int m_hour = 0;
    int m_minute = 0;
    QList<TGraphicPanel*> m_hourCells;
    QList<TGraphicPanel*> m_minuteCells;
};

} // namespace quorvo
