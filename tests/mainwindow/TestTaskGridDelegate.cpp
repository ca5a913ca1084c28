#include "datetime/DateFormats.h"
#include "mainwindow/TaskGridDelegate.h"
#include "mainwindow/TaskViewModel.h"
#include "support/FixedClock.h"
#include "support/RegionalFixtures.h"
#include "support/TaskTableFixture.h"
#include "support/TypeText.h"

#include <QLineEdit>
#include <QTableView>
#include <QtTest>

#include <memory>

using namespace quorvo;
using namespace Qt::StringLiterals;

namespace {

// The delegate as the grid paints with it: initStyleOption is where a cell gets its font.
class PaintingDelegate : public TaskGridDelegate
{
public:
    using TaskGridDelegate::initStyleOption;
    using TaskGridDelegate::TaskGridDelegate;
};

struct CellFont
{
    bool bold;
    bool italic;
};

} // namespace

class TestTaskGridDelegate : public QObject
{
    Q_OBJECT

private:
    FixedClock m_clock{QDate(2024, 1, 5), QTime(23, 59)};
    DateFormats m_formats{RegionalFixtures::monthDayYear(), m_clock};

    CellFont fontOf(const PaintingDelegate& delegate, const QModelIndex& index)
    {
        QStyleOptionViewItem option;
        option.font.setBold(false);
        option.font.setItalic(false);
        delegate.initStyleOption(&option, index);
        return {option.font.bold(), option.font.italic()};
    }

private slots:
    void emphasis_data()
    {
        QTest::addColumn<QByteArray>("priority");
        QTest::addColumn<QByteArray>("date");
        QTest::addColumn<bool>("done");
        QTest::addColumn<bool>("ready");
        QTest::addColumn<bool>("priorityBold");
        QTest::addColumn<bool>("dateBoldItalic");

        QTest::newRow("high, due today") << QByteArray("A") << QByteArray("20240105") << false << true << true << true;
        QTest::newRow("high, due today, done")
            << QByteArray("A") << QByteArray("20240105") << true << true << false << false;
        QTest::newRow("lower-case a reads High but is plain")
            << QByteArray("a") << QByteArray("20240105") << false << true << false << true;
        QTest::newRow("medium, due tomorrow")
            << QByteArray("B") << QByteArray("20240106") << false << true << false << false;
        QTest::newRow("high, due yesterday")
            << QByteArray("A") << QByteArray("20240104") << false << true << true << false;
        QTest::newRow("no date") << QByteArray("C") << QByteArray("") << false << true << false << false;
        QTest::newRow("not a date") << QByteArray("A") << QByteArray("20241340") << false << true << true << false;
        QTest::newRow("before the grid is ready")
            << QByteArray("A") << QByteArray("20240105") << false << false << false << false;
    }

    void emphasis()
    {
        QFETCH(QByteArray, priority);
        QFETCH(QByteArray, date);
        QFETCH(bool, done);
        QFETCH(bool, ready);
        QFETCH(bool, priorityBold);
        QFETCH(bool, dateBoldItalic);
        TaskTableFixture fixture;
        QVERIFY(fixture.create({{date.toStdString(), "10:00", "Task", "home", priority.toStdString(), done, "notes"}}));
        TaskViewModel model(fixture.table(), m_formats);
        QVERIFY(model.refresh().ok());
        PaintingDelegate delegate(m_clock);
        delegate.setGridReady(ready);

        const CellFont priorityFont = fontOf(delegate, model.index(0, TaskViewModel::PriorityColumn));
        QCOMPARE(priorityFont.bold, priorityBold);
        QCOMPARE(priorityFont.italic, false);
        const CellFont dateFont = fontOf(delegate, model.index(0, TaskViewModel::DateColumn));
        QCOMPARE(dateFont.bold, dateBoldItalic);
        QCOMPARE(dateFont.italic, dateBoldItalic);
        for (int column : {TaskViewModel::TimeColumn, TaskViewModel::TaskColumn, TaskViewModel::DoneColumn,
                           TaskViewModel::KeysColumn}) {
            const CellFont plain = fontOf(delegate, model.index(0, column));
            QVERIFY2(!plain.bold && !plain.italic, qPrintable(QString("column %1").arg(column)));
        }
    }

    void todayIsReadAtEachPaint()
    {
        // The program runs past midnight: yesterday's emphasis goes, today's comes.
        FixedClock clock(QDate(2024, 1, 4), QTime(23, 59));
        TaskTableFixture fixture;
        QVERIFY(fixture.create({{"20240105", "", "Task", "", "B", false, ""}}));
        TaskViewModel model(fixture.table(), m_formats);
        QVERIFY(model.refresh().ok());
        PaintingDelegate delegate(clock);
        delegate.setGridReady(true);
        const QModelIndex date = model.index(0, TaskViewModel::DateColumn);
        QVERIFY(!fontOf(delegate, date).bold);
        clock.set(QDateTime(QDate(2024, 1, 5), QTime(0, 1)));
        QVERIFY(fontOf(delegate, date).bold);
    }

    void editors_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");

        QTest::newRow("task takes 50") << int(TaskViewModel::TaskColumn) << QString(55, u'x') << QString(50, u'x');
        QTest::newRow("key words take 60") << int(TaskViewModel::KeysColumn) << QString(65, u'k') << QString(60, u'k');
        QTest::newRow("Windows-1252 letters pass")
            << int(TaskViewModel::TaskColumn) << u"Caf\u00E9 \u20AC5"_s << u"Caf\u00E9 \u20AC5"_s;
        QTest::newRow("others are refused") << int(TaskViewModel::TaskColumn) << u"a\u03A9b\u4E2Dc"_s << "abc";
    }

    void editors()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        TaskTableFixture fixture;
        QVERIFY(fixture.create({{"", "", "", "", "", false, ""}}));
        TaskViewModel model(fixture.table(), m_formats);
        QVERIFY(model.refresh().ok());
        PaintingDelegate delegate(m_clock);
        QWidget parent;
        std::unique_ptr<QWidget> editor(delegate.createEditor(&parent, QStyleOptionViewItem(), model.index(0, column)));
        auto* line = qobject_cast<QLineEdit*>(editor.get());
        QVERIFY(line);
        typeText(line, typed);
        QCOMPARE(line->text(), shown);
        // A paste is checked as a whole.
        line->clear();
        line->insert(u"pasted \u03A9"_s);
        QCOMPARE(line->text(), QString());
    }
};

QTEST_MAIN(TestTaskGridDelegate)
#include "TestTaskGridDelegate.moc"
