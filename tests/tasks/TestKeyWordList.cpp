#include "tasks/KeyWordList.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace quorvo;

class TestKeyWordList : public QObject
{
    Q_OBJECT

private slots:
    void wordRule_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("comma belongs to the word")
            << QStringList{"Home,work", "home", "HOME"} << QStringList{"Home,work", "home"};
        QTest::newRow("blanks in a row") << QStringList{"  a   b  "} << QStringList{"a", "b"};
        QTest::newRow("tab is no separator") << QStringList{"a\tb c"} << QStringList{"a\tb", "c"};
        QTest::newRow("first spelling kept") << QStringList{"Work", "WORK work"} << QStringList{"Work"};
        QTest::newRow("first-met order") << QStringList{"z y", "x z"} << QStringList{"z", "y", "x"};
        QTest::newRow("empty and blank texts") << QStringList{"", "   "} << QStringList{};
        QTest::newRow("letters beyond ASCII fold too")
            << QStringList{QString::fromUtf8("Café"), QString::fromUtf8("CAFÉ")}
            << QStringList{QString::fromUtf8("Café")};
    }

    void wordRule()
    {
        QFETCH(QStringList, keys);
        QFETCH(QStringList, expected);
        KeyWordList list;
        for (const QString& text : keys)
            list.breakStringIntoWords(text);
        QCOMPARE(list.words(), expected);
    }

    // Random KEYS texts over a tiny alphabet, so repeats in other cases are frequent, against a plain
    // quadratic model of the rule.
    void agreesWithModel()
    {
        QRandomGenerator random(8);
        const QString alphabet = QStringLiteral("aAbB, \t");
        KeyWordList list;
        QStringList model;
        for (int task = 0; task < 500; ++task) {
            QString text;
            const int length = int(random.bounded(12));
            for (int i = 0; i < length; ++i)
                text += alphabet.at(int(random.bounded(alphabet.size())));
            const int before = list.size();
            const int added = list.breakStringIntoWords(text);
            for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                const bool known = std::any_of(model.cbegin(), model.cend(), [&](const QString& w) {
                    return w.compare(word, Qt::CaseInsensitive) == 0;
                });
                if (!known)
                    model.append(word);
            }
            QCOMPARE(list.words(), model);
            QCOMPARE(added, list.size() - before);
        }
        QVERIFY(list.contains(QStringLiteral("A")) == list.contains(QStringLiteral("a")));
        list.clear();
        QVERIFY(list.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestKeyWordList)
#include "TestKeyWordList.moc"
