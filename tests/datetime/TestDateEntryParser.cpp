#include "datetime/DateEntryParser.h"

#include <QtTest>

using namespace quorvo;

namespace {

FormatSettings settingsFor(const QString& pattern, QChar separator)
{
    return FormatSettings{pattern, separator, u':', QStringLiteral("AM"), QStringLiteral("PM")};
}

} // namespace

class TestDateEntryParser : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        // The expected date in ISO form; empty when the text must fail.
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<int>("currentYear");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        const QString mdy = QStringLiteral("m/d/yyyy");
        const QChar slash = u'/';
        QTest::newRow("mdy three numbers") << mdy << slash << 2026 << "3/4/2026"
                                           << "2026-03-04";
        QTest::newRow("mdy two-digit year") << mdy << slash << 2026 << "3/4/26"
                                            << "2026-03-04";
        QTest::newRow("mdy 99 into this century") << mdy << slash << 2026 << "1/5/99"
                                                  << "2099-01-05";
        QTest::newRow("mdy 99 in 1999") << mdy << slash << 1999 << "1/5/99"
                                        << "1999-01-05";
        QTest::newRow("mdy year 0") << mdy << slash << 2026 << "1/5/0"
                                    << "2000-01-05";
        QTest::newRow("mdy year 0099 is 99") << mdy << slash << 2026 << "1/5/0099"
                                             << "2099-01-05";
        QTest::newRow("mdy year 100 stays") << mdy << slash << 2026 << "1/5/100"
                                            << "0100-01-05";
        QTest::newRow("mdy two numbers") << mdy << slash << 2026 << "3/4"
                                         << "2026-03-04";
        QTest::newRow("mdy 29 Feb 2027") << mdy << slash << 2026 << "2/29/2027"
                                         << "";
        QTest::newRow("mdy 29 Feb 2028") << mdy << slash << 2026 << "2/29/2028"
                                         << "2028-02-29";
        QTest::newRow("mdy 29 Feb 1900") << mdy << slash << 2026 << "2/29/1900"
                                         << "";
        QTest::newRow("mdy 29 Feb 2000") << mdy << slash << 2026 << "2/29/2000"
                                         << "2000-02-29";
        QTest::newRow("mdy 29 Feb this year") << mdy << slash << 2027 << "2/29"
                                              << "";
        QTest::newRow("separator after second") << mdy << slash << 2026 << "1/5/"
                                                << "";
        QTest::newRow("separator after third") << mdy << slash << 2026 << "1/5/2026/"
                                               << "2026-01-05";
        QTest::newRow("two after third") << mdy << slash << 2026 << "1/5/2026//"
                                         << "";
        QTest::newRow("blanks everywhere") << mdy << slash << 2026 << "  1 / 5 /2026 /  "
                                           << "2026-01-05";
        QTest::newRow("blank after second") << mdy << slash << 2026 << "1/5 "
                                            << "2026-01-05";
        QTest::newRow("leading zeros") << mdy << slash << 2026 << "01/05/02026"
                                       << "2026-01-05";
        QTest::newRow("month 13") << mdy << slash << 2026 << "13/1/2026"
                                  << "";
        QTest::newRow("month 0") << mdy << slash << 2026 << "0/1/2026"
                                 << "";
        QTest::newRow("day 32") << mdy << slash << 2026 << "1/32/2026"
                                << "";
        QTest::newRow("31 April") << mdy << slash << 2026 << "4/31/2026"
                                  << "";
        QTest::newRow("last day") << mdy << slash << 2026 << "12/31/9999"
                                  << "9999-12-31";
        QTest::newRow("five-digit year") << mdy << slash << 2026 << "1/1/10000"
                                         << "";
        QTest::newRow("wrong separator") << mdy << slash << 2026 << "1-5-2026"
                                         << "";
        QTest::newRow("one number") << mdy << slash << 2026 << "15"
                                    << "";
        QTest::newRow("four numbers") << mdy << slash << 2026 << "1/5/20/26"
                                      << "";
        QTest::newRow("text after") << mdy << slash << 2026 << "1/5/2026x"
                                    << "";
        QTest::newRow("sign") << mdy << slash << 2026 << "+1/5/2026"
                              << "";
        QTest::newRow("decimal point") << mdy << slash << 2026 << "1.5/2026"
                                       << "";

        const QString dmy = QStringLiteral("dd.mm.yyyy");
        const QChar dot = u'.';
        QTest::newRow("dmy three numbers") << dmy << dot << 2026 << "3.4.2026"
                                           << "2026-04-03";
        QTest::newRow("dmy two numbers") << dmy << dot << 2026 << "3.4"
                                         << "2026-04-03";
        QTest::newRow("dmy two-digit year") << dmy << dot << 2026 << "31.12.26"
                                            << "2026-12-31";
        QTest::newRow("dmy 29 Feb 2027") << dmy << dot << 2026 << "29.2.2027"
                                         << "";
        QTest::newRow("dmy 29 Feb 2028") << dmy << dot << 2026 << "29.2.2028"
                                         << "2028-02-29";
        QTest::newRow("dmy slash") << dmy << dot << 2026 << "3/4/2026"
                                   << "";

        const QString ymd = QStringLiteral("yyyy-mm-dd");
        const QChar dash = u'-';
        QTest::newRow("ymd three numbers") << ymd << dash << 2026 << "2026-3-4"
                                           << "2026-03-04";
        QTest::newRow("ymd two-digit year") << ymd << dash << 2026 << "26-3-4"
                                            << "2026-03-04";
        QTest::newRow("ymd two numbers: month, day") << ymd << dash << 2026 << "3-4"
                                                     << "2026-03-04";
        QTest::newRow("ymd 29 Feb 2027") << ymd << dash << 2026 << "2027-2-29"
                                         << "";

        // Only blanks between the numbers when the separator is a blank, as in "d mmm yyyy".
        const QString blank = QStringLiteral("d mmm yyyy");
        const QChar space = u' ';
        QTest::newRow("blank separator") << blank << space << 2026 << "5 01 2024"
                                         << "2024-01-05";
        QTest::newRow("blank separator, runs") << blank << space << 2026 << " 5   1  2024 "
                                               << "2024-01-05";
        QTest::newRow("blank separator, two numbers") << blank << space << 2026 << "5 1 "
                                                      << "2026-01-05";
        QTest::newRow("blank separator, slash") << blank << space << 2026 << "5/1/2024"
                                                << "";
        QTest::newRow("blank separator, none") << blank << space << 2026 << "51"
                                               << "";
    }
    void parse()
    {
        QFETCH(QString, pattern);
        QFETCH(QChar, separator);
        QFETCH(int, currentYear);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const auto date = DateEntryParser::parse(text, settingsFor(pattern, separator), currentYear);
        QCOMPARE(date ? date->toQDate().toString(Qt::ISODate) : QString(), expected);
    }

    void badInputFailsCleanly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QString() << "";
        QTest::newRow("blanks only") << "     "
                                     << "";
        QTest::newRow("a thousand nines") << QString(1000, u'9') << "";
        QTest::newRow("a thousand nines as the day") << "1/" + QString(1000, u'9') + "/2026"
                                                     << "";
        QTest::newRow("a thousand zeros before 1") << QString(1000, u'0') + "1/" + QString(1000, u'0') + "5/2026"
                                                   << "2026-01-05";
        QTest::newRow("letters") << "jan/five/twenty"
                                 << "";
        QTest::newRow("tab before") << "\t1/5/2026"
                                    << "";
        QTest::newRow("newline after") << "1/5/2026\n"
                                       << "";
        QTest::newRow("NUL inside") << QString::fromUtf16(u"1/\u00005/2026", 9) << "";
        QTest::newRow("control characters") << "\x01\x02\x1b"
                                            << "";
        QTest::newRow("no-break space") << QString::fromUtf16(u"1/5/2026\u00a0") << "";
        QTest::newRow("full-width digits") << QString::fromUtf16(u"\uff11/\uff15/2026") << "";
        QTest::newRow("Arabic-Indic digits") << QString::fromUtf16(u"\u0661/\u0665/2026") << "";
        QTest::newRow("lone surrogate") << QString::fromUtf16(u"1/5/\xd800") << "";
    }
    void badInputFailsCleanly()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const auto date = DateEntryParser::parse(text, settingsFor(QStringLiteral("m/d/yyyy"), u'/'), 2026);
        QCOMPARE(date ? date->toQDate().toString(Qt::ISODate) : QString(), expected);
    }
};

QTEST_APPLESS_MAIN(TestDateEntryParser)
#include "TestDateEntryParser.moc"
