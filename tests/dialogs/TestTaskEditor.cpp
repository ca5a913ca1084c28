#include "datetime/DateFormats.h"
#include "datetime/ShortDateNarrowing.h"
#include "dialogs/TDateSelector.h"
#include "dialogs/TSetTimeDialog.h"
#include "dialogs/TTaskEditor.h"
#include "ui/HelpTopics.h"
#include "ui/ModalRunner.h"
#include "ui/TCalendar.h"

#include "support/FixedClock.h"
#include "support/RecordingHelpService.h"
#include "support/RegionalFixtures.h"
#include "support/ScriptedMessages.h"
#include "support/TypeText.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

using namespace quorvo;

namespace {

RegionalSettings systemNamed(const QString& name)
{
    if (name == u"dmy")
        return RegionalFixtures::dayMonthYear();
    if (name == u"ymd")
        return RegionalFixtures::yearMonthDay();
    return RegionalFixtures::monthDayYear();
}

// The editor as the task commands show it: user settings captured, narrowed and in force.
struct Fixture
{
    explicit Fixture(const QString& system, QStringList keyWords = {}) : formats(systemNamed(system), clock)
    {
        formats.SaveUserDateFormats();
        formats.UseWorkingDateFormats();
        narrowing = std::make_unique<ShortDateNarrowing>(formats);
        editor = std::make_unique<TTaskEditor>(formats, keyWords, help);
        formats.UseUserDateFormats();
    }

    bool show()
    {
        editor->show();
        editor->activateWindow();
        return QTest::qWaitForWindowActive(editor.get());
    }

    FixedClock clock{QDate(2026, 12, 7), QTime(14, 30, 15)};
    DateFormats formats;
    RecordingHelpService help;
    ScriptedMessages messages;
    std::unique_ptr<ShortDateNarrowing> narrowing;
    std::unique_ptr<TTaskEditor> editor;
};

void typeInto(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->clear();
    typeText(field, text);
}

const QString kDateMessageMdy = QStringLiteral("Please use the date format m/d/yyyy\r   Example: 12/7/2026");
const QString kDateMessageDmy = QStringLiteral("Please use the date format dd/mm/yyyy\r   Example: 07/12/2026");
const QString kTimeMessageMdy =
    QStringLiteral("Invalid time. Please use your Windows Time format\r   Example: 2:30 PM");
const QString kTimeMessageDmy = QStringLiteral("Invalid time. Please use your Windows Time format\r   Example: 14:30");

} // namespace

class TestTaskEditor : public QObject
{
    Q_OBJECT

private slots:
    void leavingTheDate_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");

        QTest::newRow("two-digit year widened") << "mdy"
                                                << "3/4/26"
                                                << "3/4/2026"
                                                << "";
        QTest::newRow("no year is this year") << "dmy"
                                              << "3/4"
                                              << "03/04/2026"
                                              << "";
        QTest::newRow("year first") << "ymd"
                                    << "26-1-5"
                                    << "2026-01-05"
                                    << "";
        QTest::newRow("month 13") << "mdy"
                                  << "13/45/2026"
                                  << "" << kDateMessageMdy;
        QTest::newRow("no 29 February in 2027") << "mdy"
                                                << "2/29/2027"
                                                << "" << kDateMessageMdy;
        QTest::newRow("31 February, day first") << "dmy"
                                                << "31/2/2026"
                                                << "" << kDateMessageDmy;
        QTest::newRow("blanks are not empty") << "dmy"
                                              << "   "
                                              << "" << kDateMessageDmy;
        QTest::newRow("year-first message") << "ymd"
                                            << "2026/01/05"
                                            << ""
                                            << "Please use the date format yyyy-mm-dd\r   Example: 2026-12-07";
        QTest::newRow("empty is no date") << "mdy"
                                          << ""
                                          << ""
                                          << "";
    }

    void leavingTheDate()
    {
        QFETCH(QString, system);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, message);

        Fixture f(system);
        QVERIFY(f.show());
        typeInto(f.editor->dateEdit(), typed);
        QTest::keyClick(f.editor->dateEdit(), Qt::Key_Tab);
        QCOMPARE(f.editor->dateEdit()->text(), shown);
        QCOMPARE(f.messages.infos(), message.isEmpty() ? QStringList{} : QStringList{message});
        // A failed check keeps the user in the field; a passed one lets the Tab through.
        QCOMPARE(QApplication::focusWidget(), message.isEmpty() ? f.editor->timeEdit() : f.editor->dateEdit());
        QVERIFY(f.editor->isVisible());
    }

    void leavingTheTime_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");

        QTest::newRow("24-hour entry on a 12-hour clock") << "mdy"
                                                          << "14:30"
                                                          << "2:30 PM"
                                                          << "";
        QTest::newRow("designator on a 24-hour clock") << "dmy"
                                                       << "2:30 pm"
                                                       << "14:30"
                                                       << "";
        QTest::newRow("hour alone") << "dmy"
                                    << "9"
                                    << "09:00"
                                    << "";
        QTest::newRow("seconds dropped from the field") << "mdy"
                                                        << "1:05:59 pm"
                                                        << "1:05 PM"
                                                        << "";
        QTest::newRow("24:00") << "mdy"
                               << "24:00"
                               << "" << kTimeMessageMdy;
        QTest::newRow("13 PM") << "dmy"
                               << "13 PM"
                               << "" << kTimeMessageDmy;
        QTest::newRow("dot for a colon") << "dmy"
                                         << "2.30"
                                         << "" << kTimeMessageDmy;
    }

    void leavingTheTime()
    {
        QFETCH(QString, system);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, message);

        Fixture f(system);
        QVERIFY(f.show());
        typeInto(f.editor->timeEdit(), typed);
        QTest::keyClick(f.editor->timeEdit(), Qt::Key_Tab);
        QCOMPARE(f.editor->timeEdit()->text(), shown);
        QCOMPARE(f.messages.infos(), message.isEmpty() ? QStringList{} : QStringList{message});
        QCOMPARE(QApplication::focusWidget() == f.editor->timeEdit(), !message.isEmpty());
    }

    void okStep_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("focused"); // afterwards, when the dialog stays open

        QTest::newRow("Enter with both valid") << "12/24/2026"
                                               << "9:15 AM"
                                               << "Enter" << true << QStringList{} << "";
        QTest::newRow("Ctrl+S with both valid") << "12/24/2026"
                                                << ""
                                                << "Ctrl+S" << true << QStringList{} << "";
        QTest::newRow("Ok with both empty") << ""
                                            << ""
                                            << "Ok" << true << QStringList{} << "";
        QTest::newRow("Enter with a bad date") << "13/45/2026"
                                               << ""
                                               << "Enter" << false << QStringList{kDateMessageMdy} << "DateEdit";
        QTest::newRow("Ctrl+S with a bad time") << ""
                                                << "25:61"
                                                << "Ctrl+S" << false << QStringList{kTimeMessageMdy} << "TimeEdit";
        QTest::newRow("both bad: date first")
            << "0/0/0"
            << "x"
            << "Ok" << false << QStringList{kDateMessageMdy, kTimeMessageMdy} << "TimeEdit";
    }

    void okStep()
    {
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QString, how);
        QFETCH(bool, closes);
        QFETCH(QStringList, messages);
        QFETCH(QString, focused);

        Fixture f(QStringLiteral("mdy"));
        QVERIFY(f.show());
        f.editor->dateEdit()->setText(date);
        f.editor->timeEdit()->setText(time);
        // The key goes to the field holding the focus, before any check has run.
        QLineEdit* task = f.editor->descriptionEdit();
        task->setFocus();
        if (how == u"Enter")
            QTest::keyClick(task, Qt::Key_Return);
        else if (how == u"Ctrl+S")
            QTest::keyClick(task, Qt::Key_S, Qt::ControlModifier);
        else
            QTest::mouseClick(f.editor->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
        QCOMPARE(f.messages.infos(), messages);
        QCOMPARE(f.editor->isVisible(), !closes);
        if (closes) {
            QCOMPARE(f.editor->result(), int(QDialog::Accepted));
            return;
        }
        // The last offending field is emptied and has the focus; pressing Enter again now closes with Ok.
        auto* offending = f.editor->findChild<QLineEdit*>(focused);
        QCOMPARE(QApplication::focusWidget(), offending);
        QVERIFY(offending->text().isEmpty());
        QTest::keyClick(offending, Qt::Key_Return);
        QCOMPARE(f.editor->result(), int(QDialog::Accepted));
        QVERIFY(f.editor->dateEdit()->text().isEmpty());
        QVERIFY(f.editor->timeEdit()->text().isEmpty());
    }

    void clickingAButtonLeavesTheField_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("result"); // -1 while the dialog stays open
        QTest::addColumn<int>("messages");

        QTest::newRow("Ok after a good date") << "OKButton"
                                              << "3/4/26" << int(QDialog::Accepted) << 0;
        QTest::newRow("Ok after a bad date: the message, and no Ok") << "OKButton"
                                                                     << "13/45/2026" << -1 << 1;
        QTest::newRow("Cancel after a bad date") << "CancelButton"
                                                 << "13/45/2026" << -1 << 1;
        QTest::newRow("Cancel after a good date") << "CancelButton"
                                                  << "3/4/26" << int(QDialog::Rejected) << 0;
    }

    void clickingAButtonLeavesTheField()
    {
        // A real click through the window: the button takes the focus on the press, which runs the check.
        QFETCH(QString, button);
        QFETCH(QString, typed);
        QFETCH(int, result);
        QFETCH(int, messages);

        Fixture f(QStringLiteral("mdy"));
        QVERIFY(f.show());
        typeInto(f.editor->dateEdit(), typed);
        f.editor->setResult(-1);
        auto* target = f.editor->findChild<QPushButton*>(button);
        const QPoint at = target->mapTo(f.editor.get(), target->rect().center());
        QTest::mouseClick(f.editor->windowHandle(), Qt::LeftButton, {}, at);
        QCOMPARE(f.messages.infos().size(), messages);
        QCOMPARE(f.editor->result(), result);
        QVERIFY(!target->isDown());
        if (result == -1) {
            QVERIFY(f.editor->isVisible());
            QCOMPARE(QApplication::focusWidget(), f.editor->dateEdit());
        }
    }

    void escapeSkipsTheChecks()
    {
        Fixture f(QStringLiteral("mdy"));
        QVERIFY(f.show());
        typeInto(f.editor->dateEdit(), QStringLiteral("13/45/2026"));
        QTest::keyClick(f.editor->dateEdit(), Qt::Key_Escape);
        QCOMPARE(f.editor->result(), int(QDialog::Rejected));
        QVERIFY(!f.editor->isVisible());
        QVERIFY(f.messages.shown().isEmpty());
    }

    void closeQuery_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("infos");

        QTest::newRow("Yes with valid fields saves") << "12/24/2026" << true << int(QDialog::Accepted) << QStringList{};
        QTest::newRow("No cancels") << "12/24/2026" << false << int(QDialog::Rejected) << QStringList{};
        QTest::newRow("Yes with a bad date cancels, never an unchecked Ok")
            << "13/45/2026" << true << int(QDialog::Rejected) << QStringList{kDateMessageMdy};
    }

    void closeQuery()
    {
        QFETCH(QString, date);
        QFETCH(bool, yes);
        QFETCH(int, result);
        QFETCH(QStringList, infos);

        Fixture f(QStringLiteral("mdy"));
        QVERIFY(f.show());
        f.editor->dateEdit()->setText(date);
        f.messages.answer(yes);
        QVERIFY(f.editor->close());
        QCOMPARE(f.messages.questions(), QStringList{"Save changes"});
        QCOMPARE(f.messages.infos(), infos);
        QCOMPARE(f.editor->result(), result);
        QVERIFY(!f.editor->isVisible());
    }

    void quickDates()
    {
        // Captions in the working form, the chosen date in the user's, today taken at the choice.
        Fixture f(QStringLiteral("dmy"));
        QMenu* menu = f.editor->quickDateMenu();
        QCOMPARE(menu->actions().size(), 17);
        QAction* tomorrow = menu->findChild<QAction*>("Tomorrow");
        QVERIFY(tomorrow);
        QCOMPARE(tomorrow->text(), QStringLiteral("Tomorrow\t12/08/2026"));
        f.clock.set(QDateTime(QDate(2026, 12, 8), QTime(0, 5)));
        tomorrow->trigger();
        QCOMPARE(f.editor->dateEdit()->text(), QStringLiteral("09/12/2026"));
        menu->findChild<QAction*>("ThirtyDaysFromToday")->trigger();
        QCOMPARE(f.editor->dateEdit()->text(), QStringLiteral("07/01/2027"));
    }

    void keyWords()
    {
        Fixture f(QStringLiteral("mdy"), {"Work", "home", "Smith,J"});
        QStringList captions;
        for (QAction* action : f.editor->keyListMenu()->actions())
            captions << action->text();
        QCOMPARE(captions, (QStringList{"Work", "home", "Smith,J"}));
        f.editor->keyListMenu()->actions()[0]->trigger();
        f.editor->keyListMenu()->actions()[0]->trigger();
        f.editor->keyListMenu()->actions()[2]->trigger();
        QCOMPARE(f.editor->keyWordsEdit()->text(), QStringLiteral("Work Work Smith,J"));
    }

    void calendarButton_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("after");

        QTest::newRow("starts at the typed date") << "mdy"
                                                  << "3/4/27" << QDate(2027, 3, 4) << true << "3/5/2027";
        QTest::newRow("starts today without a date") << "dmy"
                                                     << "" << QDate(2026, 12, 7) << true << "08/12/2026";
        QTest::newRow("starts today with a bad date") << "dmy"
                                                      << "45/45" << QDate(2026, 12, 7) << true << "08/12/2026";
        QTest::newRow("Cancel keeps the field") << "ymd"
                                                << "2027-01-02" << QDate(2027, 1, 2) << false << "2027-01-02";
    }

    void calendarButton()
    {
        QFETCH(QString, system);
        QFETCH(QString, field);
        QFETCH(QDate, start);
        QFETCH(bool, ok);
        QFETCH(QString, after);

        Fixture f(system);
        QVERIFY(f.show());
        f.editor->dateEdit()->setText(field);
        f.editor->descriptionEdit()->setFocus();
        QDate started;
        ScopedModalScript script([&](QDialog& dialog) {
            auto& picker = dynamic_cast<TDateSelector&>(dialog);
            started = picker.date().toQDate();
            picker.calendar()->nextMonth(); // away and back, then one day on
            picker.calendar()->prevMonth();
            picker.calendar()->setDay(picker.calendar()->day() + 1);
            return ok ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
        QTest::mouseClick(f.editor->findChild<QPushButton*>("CalendarButton"), Qt::LeftButton);
        QCOMPARE(started, start);
        QCOMPARE(f.editor->dateEdit()->text(), after);
        QCOMPARE(QApplication::focusWidget(), f.editor->dateEdit());
    }

    void quickTimeButton_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QTime>("start");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("after");

        QTest::newRow("starts at now when empty") << "mdy"
                                                  << "" << QTime(14, 30) << true << "6:45 PM";
        QTest::newRow("starts at the typed time") << "mdy"
                                                  << "9:15 AM" << QTime(9, 15) << true << "6:45 PM";
        QTest::newRow("a bad time starts at now") << "dmy"
                                                  << "99" << QTime(14, 30) << true << "18:45";
        QTest::newRow("Cancel keeps the field") << "dmy"
                                                << "07:05" << QTime(7, 5) << false << "07:05";
    }

    void quickTimeButton()
    {
        QFETCH(QString, system);
        QFETCH(QString, field);
        QFETCH(QTime, start);
        QFETCH(bool, ok);
        QFETCH(QString, after);

        Fixture f(system);
        QVERIFY(f.show());
        f.editor->timeEdit()->setText(field);
        f.editor->descriptionEdit()->setFocus();
        QTime started;
        ScopedModalScript script([&](QDialog& dialog) {
            auto& picker = dynamic_cast<TSetTimeDialog&>(dialog);
            started = picker.time().toQTime();
            picker.HourClick(18);
            picker.MinuteClick(45);
            return ok ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
        QTest::mouseClick(f.editor->findChild<QPushButton*>("QuickTimeButton"), Qt::LeftButton);
        QCOMPARE(started, start);
        QCOMPARE(f.editor->timeEdit()->text(), after);
    }

    void formatHints_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("dateHint");
        QTest::addColumn<QString>("timeHint");

        QTest::newRow("month-day-year") << "mdy"
                                        << "(use format m/d/yyyy)"
                                        << "(use format 2:30 PM)";
        QTest::newRow("day-month-year") << "dmy"
                                        << "(use format dd/mm/yyyy)"
                                        << "(use format 14:30)";
        QTest::newRow("year-month-day") << "ymd"
                                        << "(use format yyyy-mm-dd)"
                                        << "(use format 14:30)";
    }

    void formatHints()
    {
        QFETCH(QString, system);
        QFETCH(QString, dateHint);
        QFETCH(QString, timeHint);

        Fixture f(system);
        QVERIFY(f.show());
        QCOMPARE(f.editor->dateFormatFrame()->toolTip(), dateHint);
        QCOMPARE(f.editor->timeFormatFrame()->toolTip(), timeHint);
    }

    void openingAndKeys()
    {
        Fixture f(QStringLiteral("mdy"));
        f.editor->descriptionEdit()->setText(QStringLiteral("{Task description}"));
        QVERIFY(f.show());
        // The placeholder is selected, so typing replaces it; one that is kept is accepted as it stands.
        QCOMPARE(QApplication::focusWidget(), f.editor->descriptionEdit());
        QCOMPARE(f.editor->descriptionEdit()->selectedText(), QStringLiteral("{Task description}"));
        QVERIFY(f.editor->pMedium()->isChecked());
        QCOMPARE(f.editor->descriptionEdit()->maxLength(), 50);

        QStringList order;
        QWidget* start = QApplication::focusWidget();
        for (QWidget* w = start->nextInFocusChain(); w != start; w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus && w->window() == f.editor.get() && !w->objectName().isEmpty())
                order << w->objectName();
        QCOMPARE(order, (QStringList{"IsDone", "KeyWords", "DateEdit", "TimeEdit", "pHigh", "pMedium", "pLow", "Notes",
                                     "OKButton", "CancelButton", "MouseHelpButton", "Helpbutton", "QuickTimeButton",
                                     "CalendarButton"}));

        f.editor->findChild<QPushButton*>("Helpbutton")->click();
        QCOMPARE(f.help.topics, QList<int>{HelpTopics::TaskEditor});
        QTest::keyClick(f.editor->descriptionEdit(), Qt::Key_Return);
        QCOMPARE(f.editor->result(), int(QDialog::Accepted));
        QCOMPARE(f.editor->descriptionEdit()->text(), QStringLiteral("{Task description}"));
    }

    void popupHelp_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");

        QTest::newRow("calendar") << "CalendarButton"
                                  << "Click here to select a date from a calendar";
        QTest::newRow("date") << "DateEdit"
                              << "Enter the date here (format will depend upon your Windows settings)";
        QTest::newRow("time") << "TimeEdit"
                              << "Enter the time here (HH:MMam/pm)";
        QTest::newRow("quick time") << "QuickTimeButton"
                                    << "Click here to call up the point-and-click Quick Time Set dialog";
        QTest::newRow("low") << "pLow"
                             << "Check for low priority";
        QTest::newRow("key words") << "KeyWords"
                                   << "HOME or SCHOOL";
        QTest::newRow("none for the labels") << "NotesLabel"
                                             << "";
    }

    void popupHelp()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);

        Fixture f(QStringLiteral("mdy"));
        auto* widget = f.editor->findChild<QWidget*>(control);
        QVERIFY(widget);
        if (text.isEmpty())
            QVERIFY(widget->whatsThis().isEmpty());
        else
            QVERIFY2(widget->whatsThis().contains(text.toHtmlEscaped()), qPrintable(widget->whatsThis()));
    }
};

QTEST_MAIN(TestTaskEditor)
#include "TestTaskEditor.moc"
