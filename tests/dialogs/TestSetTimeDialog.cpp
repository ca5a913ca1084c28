#include "datetime/DateFormats.h"
#include "dialogs/TSetTimeDialog.h"
#include "ui/HelpTopics.h"
#include "ui/TGraphicPanel.h"

#include "support/FixedClock.h"
#include "support/RecordingHelpService.h"
#include "support/RegionalFixtures.h"

#include <QPushButton>
#include <QtTest>

using namespace quorvo;

namespace {

QStringList highlighted(const TSetTimeDialog& dialog, const QList<TGraphicPanel*>& cells)
{
    QStringList out;
    const QColor highlight = dialog.palette().color(QPalette::Active, QPalette::Highlight);
    for (const TGraphicPanel* cell : cells)
        if (cell->color() == highlight)
            out << QStringLiteral("%1:%2").arg(cell->caption()).arg(cell->tag());
    return out;
}

} // namespace

class TestSetTimeDialog : public QObject
{
    Q_OBJECT

    FixedClock m_clock{QDate(2026, 12, 7), QTime(9, 41, 12)};
    DateFormats m_formats{RegionalFixtures::monthDayYear(), m_clock};
    RecordingHelpService m_help;

private slots:
    void start_data()
    {
        QTest::addColumn<QTime>("start");
        QTest::addColumn<QString>("hourCell");
        QTest::addColumn<QString>("minuteCell");
        QTest::addColumn<QString>("caption");

        QTest::newRow("afternoon, seconds dropped") << QTime(14, 30, 45) << "2:14"
                                                    << "30:30"
                                                    << "Set Time As: 02:30 pm";
        QTest::newRow("just after midnight") << QTime(0, 5) << "12:0"
                                             << "05:5"
                                             << "Set Time As: 12:05 am";
        QTest::newRow("noon") << QTime(12, 0) << "12:12"
                              << "00:0"
                              << "Set Time As: 12:00 pm";
        QTest::newRow("last minute of the day") << QTime(23, 59, 59) << "11:23"
                                                << "59:59"
                                                << "Set Time As: 11:59 pm";
        QTest::newRow("morning") << QTime(9, 7) << "9:9"
                                 << "07:7"
                                 << "Set Time As: 09:07 am";
    }

    void start()
    {
        QFETCH(QTime, start);
        QFETCH(QString, hourCell);
        QFETCH(QString, minuteCell);
        QFETCH(QString, caption);

        TSetTimeDialog dialog(m_formats, m_help);
        // A date part goes as well as the seconds: what comes back is a time of day only.
        dialog.setTime(DateTime::fromQDateTime(QDateTime(QDate(2026, 12, 7), start)).value());
        QCOMPARE(highlighted(dialog, dialog.hourCells()), QStringList{hourCell});
        QCOMPARE(highlighted(dialog, dialog.minuteCells()), QStringList{minuteCell});
        QCOMPARE(dialog.windowTitle(), caption);
        QCOMPARE(dialog.time(), DateTime::fromTime(start.hour(), start.minute(), 0).value());
    }

    void clicks_data()
    {
        QTest::addColumn<QString>("hourCell");
        QTest::addColumn<QString>("minuteCell");
        QTest::addColumn<QTime>("picked");
        QTest::addColumn<QString>("caption");

        QTest::newRow("AM 12 is midnight") << "GraphicPanel1"
                                           << "GraphicPanel25" << QTime(0, 0) << "Set Time As: 12:00 am";
        QTest::newRow("PM 12 is noon") << "GraphicPanel13"
                                       << "GraphicPanel40" << QTime(12, 15) << "Set Time As: 12:15 pm";
        QTest::newRow("last hour, last minute") << "GraphicPanel24"
                                                << "GraphicPanel84" << QTime(23, 59) << "Set Time As: 11:59 pm";
        QTest::newRow("AM 11") << "GraphicPanel12"
                               << "GraphicPanel55" << QTime(11, 30) << "Set Time As: 11:30 am";
    }

    void clicks()
    {
        QFETCH(QString, hourCell);
        QFETCH(QString, minuteCell);
        QFETCH(QTime, picked);
        QFETCH(QString, caption);

        TSetTimeDialog dialog(m_formats, m_help);
        dialog.setTime(DateTime::fromTime(14, 30, 45).value());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(dialog.findChild<TGraphicPanel*>(hourCell), Qt::LeftButton, {}, {5, 5});
        QTest::mouseClick(dialog.findChild<TGraphicPanel*>(minuteCell), Qt::LeftButton, {}, {5, 5});
        QCOMPARE(dialog.windowTitle(), caption);
        QCOMPARE(highlighted(dialog, dialog.hourCells()).size(), 1);
        QCOMPARE(highlighted(dialog, dialog.minuteCells()).size(), 1);
        QTest::keyClick(&dialog, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.time(), DateTime::fromTime(picked.hour(), picked.minute()).value());
    }

    void cells()
    {
        // Four rows of six hours on the 12-hour clock, six rows of ten two-digit minutes, each with its hint.
        TSetTimeDialog dialog(m_formats, m_help);
        QStringList hours;
        for (int i = 1; i <= 24; ++i) {
            auto* cell = dialog.findChild<TGraphicPanel*>(QStringLiteral("GraphicPanel%1").arg(i));
            QVERIFY(cell);
            QCOMPARE(cell->tag(), i - 1);
            QCOMPARE(cell->toolTip(), QStringLiteral("Click to set the hours portion of the time"));
            hours << cell->caption();
            // Same row, same height; the afternoon rows sit below the morning ones.
            QCOMPARE(cell->y(), dialog.hourCells()[(i - 1) / 6 * 6]->y());
            QCOMPARE(cell->size(), QSize(24, 19));
        }
        QCOMPARE(hours.join(' '), QStringLiteral("12 1 2 3 4 5 6 7 8 9 10 11 12 1 2 3 4 5 6 7 8 9 10 11"));
        for (int minute = 0; minute < 60; ++minute) {
            auto* cell = dialog.findChild<TGraphicPanel*>(QStringLiteral("GraphicPanel%1").arg(25 + minute));
            QVERIFY(cell);
            QCOMPARE(cell->tag(), minute);
            QCOMPARE(cell->caption(), QStringLiteral("%1").arg(minute, 2, 10, QLatin1Char('0')));
            QCOMPARE(cell->toolTip(), QStringLiteral("Click to set the minutes portion of the time"));
            QCOMPARE(cell->y(), dialog.minuteCells()[minute / 10 * 10]->y());
        }
    }

    void keysAndButtons()
    {
        TSetTimeDialog dialog(m_formats, m_help);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::mouseClick(dialog.hourCells()[3], Qt::LeftButton, {}, {5, 5});
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());

        dialog.findChild<QPushButton*>("Helpbutton")->click();
        QCOMPARE(m_help.topics, QList<int>{HelpTopics::TimePicker});
        QCOMPARE(dialog.findChild<QPushButton*>("CancelButton")->text(), QStringLiteral("&Cancel"));
        QVERIFY(dialog.findChild<QPushButton*>("Okbutton")->isDefault());
    }

    void timeSeparatorInForce()
    {
        // The caption's colon is the time separator in force; its am/pm ignores the designators.
        RegionalSettings regional = RegionalFixtures::dayMonthYear();
        regional.timeSeparator = u'.';
        regional.amDesignator = QStringLiteral("vorm.");
        regional.pmDesignator = QStringLiteral("nachm.");
        DateFormats formats(regional, m_clock);
        formats.SaveUserDateFormats();
        formats.UseUserDateFormats();
        TSetTimeDialog dialog(formats, m_help);
        dialog.setTime(DateTime::fromTime(16, 5).value());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Set Time As: 04.05 pm"));
    }

    void startsAtNowUntilTold()
    {
        TSetTimeDialog dialog(m_formats, m_help);
        QCOMPARE(dialog.time(), DateTime::fromTime(9, 41).value());
    }
};

QTEST_MAIN(TestSetTimeDialog)
#include "TestSetTimeDialog.moc"
