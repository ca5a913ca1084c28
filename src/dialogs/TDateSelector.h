#pragma once

#include "datetime/DateTime.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace quorvo {

class DateFormats;
class HelpService;
class PopupHelp;
class TCalendar;

// "Select a Date": a month calendar with buttons a year or a month back and forth and to today; the label
// above it spells out the chosen date. The caller sets the starting date, shows the dialog and on Ok reads
// the date back. Neither Enter nor Esc does anything here: only Ok and Cancel close it.
class TDateSelector : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 413;
    static constexpr int kClientHeight = 247;

    // Holds both services by reference; they must outlive the dialog.
    TDateSelector(const DateFormats& formats, HelpService& help, QWidget* parent = nullptr);

    void setDate(const DateTime& date);
    // The calendar date; after "Today" it carries the time of day too.
    DateTime date() const;
    TCalendar* calendar() const { return m_calendar; }

    void FormCreate();
    void FormActivate();
    void CalendarChange();
    void PrevYearClick();
    void PrevMonthClick();
    void CurrentDateClick();
    void NextMonthClick();
    void NextYearClick();
    void OKButtonClick();
    void CancelButtonClick();
    void HelpbuttonClick();
    void MouseHelpButtonClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QPushButton* addButton(const QString& name, const QString& caption, QRect geometry,
                           void (TDateSelector::*handler)());

    const DateFormats& m_formats;
    HelpService& m_help;
    QLabel* m_dateLabel;
    TCalendar* m_calendar;
    PopupHelp* m_popupHelp;
};

} // namespace quorvo
