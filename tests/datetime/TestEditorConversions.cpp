#include "datetime/DateFormats.h"
#include "datetime/EditorConversions.h"
#include "datetime/ShortDateNarrowing.h"
#include "datetime/StoredForms.h"

#include "support/FixedClock.h"
#include "support/RegionalFixtures.h"

#include <QtTest>

using namespace quorvo;

namespace {

// Regional settings for the systems the conversions are checked under.
RegionalSettings systemNamed(const QString& name)
{
    if (name == u"dd-mmm-yy") {
        RegionalSettings settings = RegionalFixtures::withShortDate(QStringLiteral("dd-mmm-yy"), u'-');
        settings.amDesignator = QStringLiteral("a.m.");
        settings.pmDesignator = QStringLiteral("p.m.");
        return settings;
    }
    if (name == u"d.M.yyyy") {
        RegionalSettings settings = RegionalFixtures::withShortDate(QStringLiteral("d.m.yyyy"), u'.');
        settings.timeSeparator = u'.';
        settings.shortTimePattern = RegionalSettings::buildTimePattern(false, false, false);
        return settings;
    }
    if (name == u"dd/mm/yyyy")
        return RegionalFixtures::dayMonthYear();
    if (name == u"d mmm yyyy") // the C locale's: blanks between the fields
        return RegionalSettings::fromLocale(QLocale::c());
    return RegionalFixtures::yearMonthDay();
}

} // namespace

class TestEditorConversions : public QObject
{
    Q_OBJECT

private slots:
    void storedForms_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("date"); // ISO; empty when it is no date
        QTest::newRow("ordinary") << "20240105"
                                  << "2024-01-05";
        QTest::newRow("first day") << "00010101"
                                   << "0001-01-01";
        QTest::newRow("last day") << "99991231"
                                  << "9999-12-31";
        QTest::newRow("year 99 stays 99") << "00990105"
                                          << "0099-01-05";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("blank-filled") << "        "
                                      << "";
        QTest::newRow("month 13") << "20241340"
                                  << "";
        QTest::newRow("29 Feb 2023") << "20230229"
                                     << "";
        QTest::newRow("short") << "2024010"
                               << "";
        QTest::newRow("long") << "202401050"
                              << "";
        QTest::newRow("blanks inside") << "2024 1 5"
                                       << "";
        QTest::newRow("dashes") << "2024-1-5"
                                << "";
        QTest::newRow("year 0") << "00000105"
                                << "";
    }
    void storedForms()
    {
        QFETCH(QString, stored);
        QFETCH(QString, date);
        const auto value = StoredForms::parseDate(stored);
        QCOMPARE(value ? value->toQDate().toString(Qt::ISODate) : QString(), date);
        if (value)
            QCOMPARE(StoredForms::dateText(*value), stored);
    }

    void storedTimeDropsSeconds()
    {
        const auto time = StoredForms::parseTime(u"13:05");
        QVERIFY(time);
        QCOMPARE(StoredForms::timeText(*time), QStringLiteral("13:05"));
        QCOMPARE(StoredForms::timeText(*DateTime::fromTime(13, 5, 59)), QStringLiteral("13:05"));
        QCOMPARE(StoredForms::timeText(*DateTime::fromTime(0, 0, 0)), QStringLiteral("00:00"));
        QVERIFY(!StoredForms::parseTime(u""));
        QVERIFY(!StoredForms::parseTime(u"25:00"));
    }

    void toEditor_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("storedDate");
        QTest::addColumn<QString>("storedTime");
        QTest::addColumn<QString>("editorDate");
        QTest::addColumn<QString>("editorTime");
        QTest::newRow("dd-mmm-yy") << "dd-mmm-yy"
                                   << "20240105"
                                   << "14:30"
                                   << "05-01-2024"
                                   << "2:30 p.m.";
        QTest::newRow("dd-mmm-yy midnight") << "dd-mmm-yy"
                                            << "20241231"
                                            << "00:05"
                                            << "31-12-2024"
                                            << "12:05 a.m.";
        QTest::newRow("d.M.yyyy") << "d.M.yyyy"
                                  << "20240105"
                                  << "14:30"
                                  << "5.1.2024"
                                  << "14.30";
        QTest::newRow("yyyy-MM-dd") << "yyyy-MM-dd"
                                    << "20240105"
                                    << "09:05"
                                    << "2024-01-05"
                                    << "09:05";
        QTest::newRow("no date, no time") << "d.M.yyyy"
                                          << ""
                                          << ""
                                          << ""
                                          << "";
        QTest::newRow("damaged") << "yyyy-MM-dd"
                                 << "20241340"
                                 << "25:61"
                                 << ""
                                 << "";
        QTest::newRow("blank-filled") << "yyyy-MM-dd"
                                      << "        "
                                      << "     "
                                      << ""
                                      << "";
    }
    void toEditor()
    {
        QFETCH(QString, system);
        QFETCH(QString, storedDate);
        QFETCH(QString, storedTime);
        QFETCH(QString, editorDate);
        QFETCH(QString, editorTime);
        FixedClock clock(QDate(2026, 1, 1));
        DateFormats formats(systemNamed(system), clock);
        formats.SaveUserDateFormats();
        formats.UseWorkingDateFormats();
        formats.narrowUserShortDatePattern();
        QCOMPARE(EditorConversions::dateToEditor(formats, storedDate), editorDate);
        QCOMPARE(EditorConversions::timeToEditor(formats, storedTime), editorTime);
        QVERIFY(!formats.userDateFormatsInForce());
    }

    void fromEditor_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("editorDate");
        QTest::addColumn<QString>("editorTime");
        QTest::addColumn<QString>("storedDate");
        QTest::addColumn<QString>("storedTime");
        QTest::newRow("user form") << "dd-mmm-yy"
                                   << "13-01-2024"
                                   << "1:05:59 p.m."
                                   << "20240113"
                                   << "13:05";
        QTest::newRow("working form after the user form fails") << "dd-mmm-yy"
                                                                << "01/13/2024"
                                                                << "14:30"
                                                                << "20240113"
                                                                << "14:30";
        QTest::newRow("day first under the user settings") << "dd/mm/yyyy"
                                                           << "13/01/2024"
                                                           << ""
                                                           << "20240113"
                                                           << "";
        QTest::newRow("month first under the working settings") << "dd/mm/yyyy"
                                                                << "01/13/2024"
                                                                << ""
                                                                << "20240113"
                                                                << "";
        QTest::newRow("both read it: the user settings win") << "dd/mm/yyyy"
                                                             << "03/04/2024"
                                                             << ""
                                                             << "20240403"
                                                             << "";
        QTest::newRow("two numbers") << "dd-mmm-yy"
                                     << "5-1"
                                     << "12 a.m."
                                     << "20260105"
                                     << "00:00";
        QTest::newRow("invalid under both") << "dd-mmm-yy"
                                            << "31-02-2024"
                                            << "24:00"
                                            << ""
                                            << "";
        QTest::newRow("empty") << "dd-mmm-yy"
                               << ""
                               << ""
                               << ""
                               << "";
        QTest::newRow("d.M.yyyy") << "d.M.yyyy"
                                  << "13.1.24"
                                  << "14.30"
                                  << "20240113"
                                  << "14:30";
        QTest::newRow("d.M.yyyy, working forms") << "d.M.yyyy"
                                                 << "1/13/2024"
                                                 << "2:30 PM"
                                                 << "20240113"
                                                 << "14:30";
        QTest::newRow("yyyy-MM-dd") << "yyyy-MM-dd"
                                    << "24-1-5"
                                    << "9:05"
                                    << "20240105"
                                    << "09:05";
        QTest::newRow("yyyy-MM-dd, month and day") << "yyyy-MM-dd"
                                                   << "1-5"
                                                   << "9"
                                                   << "20260105"
                                                   << "09:00";
        QTest::newRow("blanks only") << "yyyy-MM-dd"
                                     << "  "
                                     << "  "
                                     << ""
                                     << "";
    }
    void fromEditor()
    {
        QFETCH(QString, system);
        QFETCH(QString, editorDate);
        QFETCH(QString, editorTime);
        QFETCH(QString, storedDate);
        QFETCH(QString, storedTime);
        FixedClock clock(QDate(2026, 1, 1));
        DateFormats formats(systemNamed(system), clock);
        formats.SaveUserDateFormats();
        formats.UseWorkingDateFormats();
        QCOMPARE(EditorConversions::dateFromEditor(formats, editorDate), storedDate);
        QCOMPARE(EditorConversions::timeFromEditor(formats, editorTime), storedTime);
    }

    void editorTextReadsBack_data()
    {
        QTest::addColumn<QString>("system");
        QTest::newRow("dd-mmm-yy") << "dd-mmm-yy";
        QTest::newRow("d.M.yyyy") << "d.M.yyyy";
        QTest::newRow("yyyy-MM-dd") << "yyyy-MM-dd";
        QTest::newRow("d mmm yyyy") << "d mmm yyyy";
        QTest::newRow("en_US") << "en_US";
        QTest::newRow("de_DE") << "de_DE";
        QTest::newRow("fr_FR") << "fr_FR";
        QTest::newRow("ja_JP") << "ja_JP";
    }
    void editorTextReadsBack()
    {
        // Whatever the editor shows for a stored value, leaving the field unchanged stores it again.
        QFETCH(QString, system);
        FixedClock clock(QDate(2026, 1, 1));
        const bool locale = system.contains(u'_');
        DateFormats formats(locale ? RegionalSettings::fromLocale(QLocale(system)) : systemNamed(system), clock);
        formats.SaveUserDateFormats();
        formats.narrowUserShortDatePattern();
        for (const char* stored : {"20240105", "20261231", "04000229", "99991231", "20000101"}) {
            const QString editor = EditorConversions::dateToEditor(formats, QString::fromLatin1(stored));
            QCOMPARE(EditorConversions::dateFromEditor(formats, editor), QString::fromLatin1(stored));
        }
        for (const char* stored : {"00:00", "00:59", "11:59", "12:00", "12:01", "23:59"}) {
            const QString editor = EditorConversions::timeToEditor(formats, QString::fromLatin1(stored));
            QCOMPARE(EditorConversions::timeFromEditor(formats, editor), QString::fromLatin1(stored));
        }
    }

    void everyQtLocaleReadsBack()
    {
        // The same for every locale Qt knows: a regional pattern the editor could not read back would
        // cost the task its date as soon as the user left the field.
        FixedClock clock(QDate(2026, 1, 1));
        const QList<QLocale> locales =
            QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
        QVERIFY(locales.size() > 100);
        for (const QLocale& locale : locales) {
            DateFormats formats(RegionalSettings::fromLocale(locale), clock);
            formats.SaveUserDateFormats();
            const ShortDateNarrowing narrowing(formats);
            for (const char* stored : {"20240105", "99991231"}) {
                const QString editor = EditorConversions::dateToEditor(formats, QString::fromLatin1(stored));
                if (EditorConversions::dateFromEditor(formats, editor) != QLatin1String(stored))
                    QFAIL(qPrintable(locale.name() + QStringLiteral(": ") + editor));
            }
            for (const char* stored : {"00:00", "12:00", "23:59"}) {
                const QString editor = EditorConversions::timeToEditor(formats, QString::fromLatin1(stored));
                if (EditorConversions::timeFromEditor(formats, editor) != QLatin1String(stored))
                    QFAIL(qPrintable(locale.name() + QStringLiteral(": ") + editor));
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestEditorConversions)
#include "TestEditorConversions.moc"
