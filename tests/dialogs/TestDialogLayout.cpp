#include "datetime/DateFormats.h"
#include "dialogs/TDateSelector.h"
#include "dialogs/TSetTimeDialog.h"
#include "dialogs/TTaskEditor.h"

#include "support/FixedClock.h"
#include "support/RecordingHelpService.h"
#include "support/RegionalFixtures.h"

#include <QAbstractButton>
#include <QLabel>
#include <QtTest>

#include <functional>
#include <memory>

using namespace quorvo;

using DialogFactory = std::function<std::unique_ptr<QDialog>(const DateFormats&, HelpService&)>;
Q_DECLARE_METATYPE(DialogFactory)

class TestDialogLayout : public QObject
{
    Q_OBJECT

    FixedClock m_clock{QDate(2026, 9, 30), QTime(23, 59)};
    RecordingHelpService m_help;

private slots:
    void fits_data()
    {
        QTest::addColumn<DialogFactory>("create");
        QTest::addColumn<QSize>("client");

        QTest::newRow("time picker") << DialogFactory([](const DateFormats& formats, HelpService& help) {
            return std::make_unique<TSetTimeDialog>(formats, help);
        }) << QSize(306, 334);
        QTest::newRow("date picker") << DialogFactory([](const DateFormats& formats, HelpService& help) {
            return std::make_unique<TDateSelector>(formats, help);
        }) << QSize(413, 247);
        QTest::newRow("task editor") << DialogFactory([](const DateFormats& formats, HelpService& help) {
            return std::make_unique<TTaskEditor>(formats, QStringList{"home"}, help);
        }) << QSize(392, 376);
    }

    void fits()
    {
        // Nothing sticks out of its panel and no caption is cut off, with the longest day and month names.
        QFETCH(DialogFactory, create);
        QFETCH(QSize, client);

        DateFormats formats(RegionalFixtures::monthDayYear(), m_clock);
        std::unique_ptr<QDialog> dialog = create(formats, m_help);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QCOMPARE(dialog->size(), client);
        for (QWidget* child : dialog->findChildren<QWidget*>()) {
            if (child->isWindow() || !child->isVisible() || child->objectName().startsWith(QLatin1String("qt_")))
                continue;
            const QString name = child->objectName() + QLatin1Char(' ') + child->metaObject()->className();
            QVERIFY2(child->parentWidget()->rect().contains(child->geometry()), qPrintable(name));
            // The caption's own width, with room for a button's glyph and its bevel.
            int needed = 0;
            if (auto* label = qobject_cast<QLabel*>(child)) {
                needed = child->fontMetrics().horizontalAdvance(label->text());
            } else if (auto* button = qobject_cast<QAbstractButton*>(child)) {
                QString caption = button->text().remove(QLatin1Char('&'));
                if (!caption.isEmpty())
                    needed = child->fontMetrics().horizontalAdvance(caption) + 6;
                if (!button->icon().isNull())
                    needed += button->iconSize().width() + 4;
            }
            QVERIFY2(needed <= child->width(),
                     qPrintable(QStringLiteral("%1 needs %2, has %3").arg(name).arg(needed).arg(child->width())));
        }
    }
};

QTEST_MAIN(TestDialogLayout)
#include "TestDialogLayout.moc"
