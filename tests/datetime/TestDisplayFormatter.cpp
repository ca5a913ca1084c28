#include "datetime/DisplayFormatter.h"

#include "support/RegionalFixtures.h"

#include <QtTest>

using namespace quorvo;

namespace {

FormatSettings settingsNamed(const QString& name)
{
    if (name == u"german") // user settings with a point for both separators
        return FormatSettings{QStringLiteral("dd.mm.yyyy"), u'.', u'.', QStringLiteral("vorm."),
                              QStringLiteral("nachm.")};
    FormatSettings settings = FormatSettings::working();
    if (name == u"self") // a short date pattern that names itself
        settings.shortDatePattern = QStringLiteral("dd ddddd");
    else if (name == u"c-loop")
        settings.shortDatePattern = QStringLiteral("[c]");
    return settings;
}

} // namespace

class TestDisplayFormatter : public QObject
{
    Q_OBJECT

private slots:
    void format_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QDateTime>("value");
        QTest::addColumn<QString>("expected");
        const QString w = QStringLiteral("working");
        // Friday 5 January 2024, 14:07:09
        const QDateTime fri(QDate(2024, 1, 5), QTime(14, 7, 9));
        const QDateTime morning(QDate(2005, 11, 9), QTime(9, 4, 3));
        const QDateTime midnight(QDate(2024, 1, 5), QTime(0, 0));

        QTest::newRow("d") << w << "d" << fri << "5";
        QTest::newRow("dd") << w << "dd" << fri << "05";
        QTest::newRow("ddd") << w << "ddd" << fri << "Fri";
        QTest::newRow("dddd") << w << "dddd" << fri << "Friday";
        QTest::newRow("ddddd") << w << "ddddd" << fri << "01/05/2024";
        QTest::newRow("dddddd") << w << "dddddd" << fri << "Friday, January 5, 2024";
        QTest::newRow("ddddddd") << w << "DDDDDDD" << fri << "Friday, January 5, 2024";
        QTest::newRow("m") << w << "m" << fri << "1";
        QTest::newRow("mm") << w << "mm" << fri << "01";
        QTest::newRow("mmm") << w << "mmm" << fri << "Jan";
        QTest::newRow("mmmm") << w << "mmmm" << fri << "January";
        QTest::newRow("mmmmm") << w << "MMMMM" << fri << "January";
        QTest::newRow("minutes after h") << w << "h:m" << fri << "14:7";
        QTest::newRow("mm after hh") << w << "hh:mm" << fri << "14:07";
        QTest::newRow("after h past quoted text") << w << "h'x'mm" << fri << "14x07";
        QTest::newRow("month after s") << w << "hh:ss:mm" << fri << "14:09:01";
        QTest::newRow("month before h") << w << "mm hh" << fri << "01 14";
        QTest::newRow("mmm after h is a name") << w << "h mmm" << fri << "14 Jan";
        QTest::newRow("y") << w << "y" << morning << "05";
        QTest::newRow("yy") << w << "yy" << morning << "05";
        QTest::newRow("yyy") << w << "yyy" << morning << "2005";
        QTest::newRow("yyyy") << w << "YYYY" << morning << "2005";
        QTest::newRow("year 5") << w << "yyyy yy" << QDateTime(QDate(5, 3, 1), QTime(0, 0)) << "0005 05";
        QTest::newRow("h") << w << "h" << morning << "9";
        QTest::newRow("hh") << w << "hh" << morning << "09";
        QTest::newRow("hhh") << w << "hhh" << morning << "09";
        QTest::newRow("h 24-hour") << w << "h" << fri << "14";
        QTest::newRow("h with am/pm") << w << "h am/pm" << fri << "2 pm";
        QTest::newRow("0 on the 12-hour clock") << w << "hh am/pm" << midnight << "12 am";
        QTest::newRow("12 on the 12-hour clock")
            << w << "h AM/PM" << QDateTime(QDate(2024, 1, 5), QTime(12, 0)) << "12 PM";
        QTest::newRow("quoted a does not count") << w << "h 'a'" << fri << "14 a";
        QTest::newRow("a only up to the next h") << w << "h h a" << fri << "14 2 a";
        QTest::newRow("n nn") << w << "n nn" << morning << "4 04";
        QTest::newRow("s ss") << w << "s ss" << morning << "3 03";
        QTest::newRow("t") << w << "t" << fri << "2:07 PM";
        QTest::newRow("tt") << w << "tt" << fri << "2:07:09 PM";
        QTest::newRow("c with time") << w << "c" << fri << "01/05/2024 2:07:09 PM";
        QTest::newRow("c at midnight") << w << "c" << midnight << "01/05/2024";
        QTest::newRow("c one second after") << w << "c" << midnight.addSecs(1) << "01/05/2024 12:00:01 AM";
        QTest::newRow("am/pm morning") << w << "am/pm" << morning << "am";
        QTest::newRow("am/pm as written") << w << "Am/pM" << fri << "pM";
        QTest::newRow("a/p") << w << "a/p A/P" << fri << "p P";
        QTest::newRow("ampm") << w << "AMPM ampm" << morning << "AM AM";
        QTest::newRow("other a") << w << "a b A" << fri << "a b A";
        QTest::newRow("quotes") << w << "'dd' \"h:mm\" dd" << fri << "dd h:mm 05";
        QTest::newRow("unclosed quote") << w << "d 'abc" << fri << "5 abc";
        QTest::newRow("empty quotes") << w << "d''d" << fri << "55";
        QTest::newRow("other characters") << w << "[d]#é-e" << fri << "[5]#é-e";
        QTest::newRow("empty pattern") << w << "" << fri << "";

        // Patterns the program uses.
        QTest::newRow("grid date") << w << "dd mmm yyyy" << fri << "05 Jan 2024";
        QTest::newRow("grid time pm") << w << " hh:mmam/pm" << QDateTime(QDate(2024, 1, 5), QTime(14, 30))
                                      << " 02:30pm";
        QTest::newRow("grid time just after midnight")
            << w << " hh:mmam/pm" << QDateTime(QDate(2024, 1, 5), QTime(0, 5)) << " 12:05am";
        QTest::newRow("grid time noon") << w << " hh:mmam/pm" << QDateTime(QDate(2024, 1, 5), QTime(12, 0))
                                        << " 12:00pm";
        QTest::newRow("report date") << w << "dd mmm, yyyy (ddd)" << fri << "05 Jan, 2024 (Fri)";
        QTest::newRow("report time") << w << "hh:nn am/pm" << fri << "02:07 pm";
        QTest::newRow("stored date") << w << "yyyymmdd" << fri << "20240105";
        QTest::newRow("stored time") << w << "hh:nn" << fri << "14:07";

        // Separators and designators follow the settings in force.
        const QString g = QStringLiteral("german");
        QTest::newRow("short date in force") << g << "ddddd" << fri << "05.01.2024";
        QTest::newRow("date separator") << g << "d/m" << fri << "5.1";
        QTest::newRow("time separator") << g << "hh:nn" << fri << "14.07";
        QTest::newRow("designator in force") << g << "t" << fri << "2.07 nachm.";

        // Expansion stops two levels down, so self-reference ends.
        QTest::newRow("self reference") << "self"
                                        << "ddddd" << fri << "05 05 ";
        QTest::newRow("c inside c") << "c-loop"
                                    << "c" << fri << "[[] 2:07:09 PM] 2:07:09 PM";
    }
    void format()
    {
        QFETCH(QString, settings);
        QFETCH(QString, pattern);
        QFETCH(QDateTime, value);
        QFETCH(QString, expected);
        const FormatSettings formatSettings = settingsNamed(settings);
        const RegionalSettings regional = RegionalFixtures::monthDayYear();
        const auto dateTime = DateTime::fromQDateTime(value);
        QVERIFY(dateTime);
        QCOMPARE(DisplayFormatter(formatSettings, regional).format(pattern, *dateTime), expected);
    }
};

QTEST_APPLESS_MAIN(TestDisplayFormatter)
#include "TestDisplayFormatter.moc"
