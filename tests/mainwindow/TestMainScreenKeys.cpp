#include "support/RecordingMainScreen.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <QtTest>

using namespace quorvo;

class TestMainScreenKeys : public QObject
{
    Q_OBJECT

private:
    RecordingHelpService m_help;
    FixedClock m_clock{QDate(2024, 1, 5)};

    QWidget* target(RecordingMainScreen& window, const QString& name)
    {
        if (name == QLatin1String("grid"))
            return window.activeGrid();
        if (name == QLatin1String("notes"))
            return window.activeNotes();
        return window.findChild<QWidget*>(name);
    }

private slots:
    void routing_data()
    {
        // The window sees each key before the control with the focus. "task" is whether the view has a current
        // task (the record-bound buttons shown); "handler" is what ran, empty when the key went on to the control;
        // "notes" is the notes box's text afterwards, from "abc" with the cursor at the start.
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("task");
        QTest::addColumn<QString>("handler");
        QTest::addColumn<QString>("notes");

        const Qt::KeyboardModifiers none = Qt::NoModifier;
        const Qt::KeyboardModifiers keypad = Qt::KeypadModifier;
        const Qt::KeyboardModifiers alt = Qt::AltModifier;
        const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
        const QString abc = QStringLiteral("abc");

        QTest::newRow("Insert in the grid") << "grid" << int(Qt::Key_Insert) << none << true << "New" << abc;
        QTest::newRow("Insert in the notes") << "notes" << int(Qt::Key_Insert) << none << true << "New" << abc;
        QTest::newRow("Insert, empty view") << "grid" << int(Qt::Key_Insert) << none << false << "New" << abc;
        QTest::newRow("Insert on a button") << "Filterbutton" << int(Qt::Key_Insert) << none << true << "New" << abc;
        QTest::newRow("keypad + in the notes") << "notes" << int(Qt::Key_Plus) << keypad << true << "New" << abc;
        QTest::newRow("main + types in the notes") << "notes" << int(Qt::Key_Plus) << none << true << ""
                                                   << "+abc";
        QTest::newRow("Delete in the grid") << "grid" << int(Qt::Key_Delete) << none << true << "Delete" << abc;
        QTest::newRow("Delete while typing notes") << "notes" << int(Qt::Key_Delete) << none << true << "Delete" << abc;
        QTest::newRow("keypad Delete in the notes")
            << "notes" << int(Qt::Key_Delete) << keypad << true << "Delete" << abc;
        QTest::newRow("Delete, empty view, edits the notes") << "notes" << int(Qt::Key_Delete) << none << false << ""
                                                             << "bc";
        QTest::newRow("Shift+Delete stays the notes' cut")
            << "notes" << int(Qt::Key_Delete) << shift << true << "" << abc;
        QTest::newRow("Shift+Insert stays the notes' paste")
            << "notes" << int(Qt::Key_Insert) << shift << true << "" << abc;
        QTest::newRow("Enter in the grid") << "grid" << int(Qt::Key_Return) << none << true << "Edit" << abc;
        QTest::newRow("keypad Enter in the grid") << "grid" << int(Qt::Key_Enter) << keypad << true << "Edit" << abc;
        QTest::newRow("Enter in the grid, empty view") << "grid" << int(Qt::Key_Return) << none << false << "" << abc;
        QTest::newRow("Enter in the notes is a new line") << "notes" << int(Qt::Key_Return) << none << true << ""
                                                          << "\nabc";
        QTest::newRow("F1 in the notes") << "notes" << int(Qt::Key_F1) << none << true << "Help" << abc;
        // Exit closes the window, which saves and closes what start-up opened.
        const QString exit = QStringLiteral("Exit,SavePreferences,savePlacement,closeTable");
        QTest::newRow("Alt+X in the grid") << "grid" << int(Qt::Key_X) << alt << true << exit << abc;
        QTest::newRow("Alt+X in the notes, empty view") << "notes" << int(Qt::Key_X) << alt << false << exit << abc;
        // The buttons' accelerators win over the menu bar's ("&Filter" and "&File", the two "&Help"s).
        QTest::newRow("Alt+F is the Filter button") << "grid" << int(Qt::Key_F) << alt << true << "Filter" << abc;
        QTest::newRow("Alt+H is the Help button") << "notes" << int(Qt::Key_H) << alt << true << "Help" << abc;
        QTest::newRow("Alt+E edits") << "notes" << int(Qt::Key_E) << alt << true << "Edit" << abc;
        QTest::newRow("Alt+E, empty view") << "grid" << int(Qt::Key_E) << alt << false << "" << abc;
        QTest::newRow("Alt+O toggles done") << "grid" << int(Qt::Key_O) << alt << true << "Done" << abc;
    }

    void routing()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, task);
        QFETCH(QString, handler);
        QFETCH(QString, notes);

        RecordingMainScreen window(m_help, m_clock);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_VERIFY(!window.firstActivation());
        window.SetButtons(!task);
        // Where each key goes is under test here; without a table the notes box would be read-only.
        window.activeNotes()->setReadOnly(false);
        window.activeNotes()->setPlainText(QStringLiteral("abc"));
        window.activeNotes()->moveCursor(QTextCursor::Start);
        QWidget* control = target(window, focus);
        QVERIFY(control);
        control->setFocus();
        QTRY_VERIFY(control->hasFocus());
        window.log.clear();
        m_help.topics.clear();

        QTest::keyClick(control, static_cast<Qt::Key>(key), modifiers);

        QCOMPARE(window.log.join(QLatin1Char(',')), handler);
        QCOMPARE(window.activeNotes()->toPlainText(), notes);
        QVERIFY(!QApplication::activePopupWidget());
        QCOMPARE(window.isVisible(), !handler.startsWith(QLatin1String("Exit")));
        if (handler == QLatin1String("Help"))
            QCOMPARE(m_help.topics, QList<int>{1009});
    }

    void keysOfOtherWindowsStayThere()
    {
        // A dialog of the main window has keys of its own: Delete in its field is not the main window's.
        RecordingMainScreen window(m_help, m_clock);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(!window.firstActivation());
        window.SetButtons(false);

        QDialog dialog(&window);
        auto* field = new QLineEdit(QStringLiteral("abc"), &dialog);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(field);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        field->setFocus();
        field->setCursorPosition(0);
        window.log.clear();

        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClick(field, Qt::Key_Insert);

        QVERIFY(window.log.isEmpty());
        QCOMPARE(field->text(), QStringLiteral("bc"));
    }

    void buttonsRunTheirHandlers_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("handler");

        QTest::newRow("Edit") << "Editbutton"
                              << "Edit";
        QTest::newRow("New") << "Newbutton"
                             << "New";
        QTest::newRow("Clone") << "CloneButton"
                               << "Clone";
        QTest::newRow("Delete") << "DeleteButton"
                                << "Delete";
        QTest::newRow("Filter") << "Filterbutton"
                                << "Filter";
        QTest::newRow("Sort") << "OrderButton"
                              << "Sort";
        QTest::newRow("Done") << "DoneToggleButton"
                              << "Done";
        QTest::newRow("Report") << "Printbutton"
                                << "Report";
        QTest::newRow("Calendar") << "CalendarButton"
                                  << "Calendar";
        QTest::newRow("Help") << "Helpbutton"
                              << "Help";
        QTest::newRow("FILTERED") << "FilterClearbutton"
                                  << "FilterClear";
        QTest::newRow("Show DONE") << "ShowDone"
                                   << "ShowDone";
        QTest::newRow("Exit") << "ExitButton"
                              << "Exit";
    }

    void buttonsRunTheirHandlers()
    {
        QFETCH(QString, button);
        QFETCH(QString, handler);
        RecordingMainScreen window(m_help, m_clock);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(!window.firstActivation());
        window.log.clear();

        auto* pushButton = window.findChild<QPushButton*>(button);
        QVERIFY(pushButton);
        pushButton->click();
        QCOMPARE(window.log.value(0), handler);
    }
};

QTEST_MAIN(TestMainScreenKeys)
#include "TestMainScreenKeys.moc"
