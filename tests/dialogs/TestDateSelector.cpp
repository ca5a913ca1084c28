#include "datetime/DateFormats.h"
#include "dialogs/TDateSelector.h"
#include "ui/HelpTopics.h"
#include "ui/TCalendar.h"

#include "support/FixedClock.h"
#include "support/RecordingHelpService.h"
#include "support/RegionalFixtures.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace quorvo;

namespace {

DateTime date(int year, int month, int day)
{
    return DateTime::fromDate(year, month, day).value();
}

QString labelOf(const TDateSelector& dialog)
{
    return dialog.findChild<QLabel*>("DateLabel")->text();
}

} // namespace

class TestDateSelector : public QObject
{
    Q_OBJECT

    FixedClock m_clock{QDate(2026, 12, 7), QTime(16, 20)};
    DateFormats m_formats{RegionalFixtures::monthDayYear(), m_clock};
    RecordingHelpService m_help;

private slots:
    void buttons_data()
    {
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("label");

        QTest::newRow("no move") << QDate(2026, 12, 7) << QStringList{} << "Monday, December 7, 2026";
        QTest::newRow("Month + from 31 January")
            << QDate(2026, 1, 31) << QStringList{"NextMonth"} << "Saturday, February 28, 2026";
        QTest::newRow("Year+ from 29 February")
            << QDate(2028, 2, 29) << QStringList{"NextYear"} << "Wednesday, February 28, 2029";
        QTest::newRow("Year- from 29 February")
            << QDate(2028, 2, 29) << QStringList{"PrevYear"} << "Sunday, February 28, 2027";
        // February's 28th is the day carried on, not the 31st the moves started from.
        QTest::newRow("Month- twice") << QDate(2026, 3, 31) << QStringList{"PrevMonth", "PrevMonth"}
                                      << "Wednesday, January 28, 2026";
        QTest::newRow("Today after moving away")
            << QDate(1990, 5, 5) << QStringList{"NextYear", "DoCurrentDate"} << "Monday, December 7, 2026";
        QTest::newRow("Year- in year 1 does nothing")
            << QDate(1, 6, 1) << QStringList{"PrevYear"} << "Friday, June 1, 0001";
        QTest::newRow("Year+ in year 9999 does nothing")
            << QDate(9999, 6, 1) << QStringList{"NextYear"} << "Tuesday, June 1, 9999";
    }

    void buttons()
    {
        QFETCH(QDate, start);
        QFETCH(QStringList, buttons);
        QFETCH(QString, label);

        TDateSelector dialog(m_formats, m_help);
        dialog.setDate(DateTime::fromQDate(start).value());
        for (const QString& name : buttons)
            QTest::mouseClick(dialog.findChild<QPushButton*>(name), Qt::LeftButton);
        QCOMPARE(labelOf(dialog), label);
    }

    void labelFollowsTheSelection()
    {
        TDateSelector dialog(m_formats, m_help);
        QCOMPARE(labelOf(dialog), QStringLiteral("Monday, December 7, 2026"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        TCalendar* calendar = dialog.calendar();
        QCOMPARE(QApplication::focusWidget(), calendar);
        QTest::keyClick(calendar, Qt::Key_Right);
        QCOMPARE(labelOf(dialog), QStringLiteral("Tuesday, December 8, 2026"));
        // A double click picks the day but leaves the choice to Ok.
        QTest::mouseDClick(calendar, Qt::LeftButton, {}, calendar->cellRect(0, 2).center());
        QCOMPARE(labelOf(dialog), QStringLiteral("Sunday, December 6, 2026"));
        QVERIFY(dialog.isVisible());
    }

    void todayCarriesTheTime()
    {
        TDateSelector dialog(m_formats, m_help);
        dialog.setDate(date(2000, 1, 1));
        dialog.CurrentDateClick();
        QCOMPARE(dialog.date(), DateTime::fromQDateTime(m_clock.now()).value());
    }

    void onlyOkAndCancelClose()
    {
        TDateSelector dialog(m_formats, m_help);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(dialog.calendar(), key);
        QVERIFY(dialog.isVisible());
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
            QVERIFY(!button->isDefault());
        }
        dialog.findChild<QPushButton*>("OKButton")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        dialog.show();
        dialog.findChild<QPushButton*>("CancelButton")->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        // A close from the desktop, where one still gets through, is a Cancel.
        dialog.setResult(-1);
        dialog.show();
        QVERIFY(dialog.close());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void help()
    {
        TDateSelector dialog(m_formats, m_help);
        dialog.findChild<QPushButton*>("Helpbutton")->click();
        QCOMPARE(m_help.topics, QList<int>{HelpTopics::TaskEditor});
        const QString text = dialog.findChild<QPushButton*>("NextYear")->whatsThis();
        QVERIFY2(text.contains(QStringLiteral("Click here to see the next year&#x27;s calendar")) ||
                     text.contains(QStringLiteral("Click here to see the next year's calendar")),
                 qPrintable(text));
        QVERIFY(dialog.findChild<QPushButton*>("DoCurrentDate")->whatsThis().isEmpty());
    }
};

QTEST_MAIN(TestDateSelector)
#include "TestDateSelector.moc"
