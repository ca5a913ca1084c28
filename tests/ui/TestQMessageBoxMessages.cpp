#include "ui/QMessageBoxMessages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace quorvo;

namespace {

// What the box looked like while it was up.
struct Seen
{
    bool found = false;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMessageBox::StandardButton escapeButton = QMessageBox::NoButton;
    Qt::TextFormat format = Qt::AutoText;
    bool cursorOverridden = false;
    bool modal = false;
};

// Waits for the modal box, records it and lets `close` dismiss it. Polls, so a box that never comes
// leaves the test failing instead of hanging; the owner deletes a timer that never fired.
void whenBoxShows(QObject* owner, Seen& seen, std::function<void(QMessageBox*)> close)
{
    auto* timer = new QTimer(owner);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [&seen, close, timer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        seen.found = true;
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.defaultButton = box->standardButton(box->defaultButton());
        seen.escapeButton = box->standardButton(box->escapeButton());
        seen.format = box->textFormat();
        seen.cursorOverridden = QApplication::overrideCursor() != nullptr;
        seen.modal = box->isModal();
        timer->stop();
        timer->deleteLater();
        close(box);
    });
    timer->start();
}

void clickButton(QMessageBox* box, QMessageBox::StandardButton which)
{
    box->button(which)->click();
}

} // namespace

class TestQMessageBoxMessages : public QObject
{
    Q_OBJECT

    QMessageBoxMessages m_messages;

private slots:
    void cleanup()
    {
        qDeleteAll(findChildren<QTimer*>());
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }

    void question_data()
    {
        QTest::addColumn<int>("how"); // 0 Yes, 1 No, 2 Escape
        QTest::addColumn<bool>("answer");
        QTest::newRow("Yes") << 0 << true;
        QTest::newRow("No") << 1 << false;
        QTest::newRow("Escape is No") << 2 << false;
    }

    void question()
    {
        QFETCH(int, how);
        QFETCH(bool, answer);
        Seen seen;
        whenBoxShows(this, seen, [how](QMessageBox* box) {
            if (how == 2)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                clickButton(box, how == 0 ? QMessageBox::Yes : QMessageBox::No);
        });
        const bool result = m_messages.askYesNo(QStringLiteral("Delete all tasks?\rThis cannot be undone."));
        QVERIFY(seen.found);
        QCOMPARE(result, answer);
        QCOMPARE(seen.caption, QStringLiteral("Quorvo"));
        QCOMPARE(seen.icon, QMessageBox::Question);
        QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(seen.defaultButton, QMessageBox::Yes);
        QCOMPARE(seen.escapeButton, QMessageBox::No);
        QCOMPARE(seen.text, QStringLiteral("Delete all tasks?\nThis cannot be undone."));
        QCOMPARE(seen.format, Qt::PlainText);
        QVERIFY(seen.modal);
    }

    void information()
    {
        // Two hourglasses stacked by nested long commands: both are gone when the box shows.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        Seen seen;
        whenBoxShows(this, seen, [](QMessageBox* box) { clickButton(box, QMessageBox::Ok); });
        m_messages.showInfo(QStringLiteral("Saved as /tmp/<b>Todo</b>.htm"));
        QVERIFY(seen.found);
        QVERIFY(!seen.cursorOverridden);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(seen.caption, QStringLiteral("Information"));
        QCOMPARE(seen.icon, QMessageBox::Information);
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(seen.text, QStringLiteral("Saved as /tmp/<b>Todo</b>.htm"));
        QCOMPARE(seen.format, Qt::PlainText);
    }

    void error()
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        Seen seen;
        whenBoxShows(this, seen, [](QMessageBox* box) { clickButton(box, QMessageBox::Ok); });
        m_messages.showError(QStringLiteral("No space left on device"));
        QVERIFY(seen.found);
        QVERIFY(!seen.cursorOverridden);
        QCOMPARE(seen.caption, QStringLiteral("Quorvo"));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void longTextIsCut()
    {
        Seen seen;
        whenBoxShows(this, seen, [](QMessageBox* box) { clickButton(box, QMessageBox::Ok); });
        m_messages.showInfo(QString(300, u'x'));
        QVERIFY(seen.found);
        QCOMPARE(seen.text, QString(255, u'x'));
    }

    void freeFunctionsReachTheBoxes()
    {
        Messages* previous = Messages::install(&m_messages);
        Seen seen;
        whenBoxShows(this, seen, [](QMessageBox* box) { clickButton(box, QMessageBox::Yes); });
        const bool yes = AskYesNo(QStringLiteral("Delete this task? "));
        Messages::install(previous);
        QVERIFY(seen.found);
        QVERIFY(yes);
        QCOMPARE(seen.text, QStringLiteral("Delete this task? "));
    }
};

QTEST_MAIN(TestQMessageBoxMessages)
#include "TestQMessageBoxMessages.moc"
