// The filter window: its controls as the user meets them, what Ok, Cancel and Reset hand back, the key
// word menu, help and pop-up texts.
#include "mainwindow/TFilterForm.h"
#include "support/RecordingHelpService.h"
#include "ui/PopupHelp.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace quorvo;

namespace {

QStringList radioCaptions(QWidget* group)
{
    QStringList captions;
    for (auto* item : group->findChildren<QRadioButton*>())
        captions.append(item->text());
    return captions;
}

FilterCriteria sample()
{
    FilterCriteria c;
    c.dateFilterIndex = 6;
    c.priorityFilterIndex = 2;
    c.keysFilterText = "home,work";
    c.taskFilterText = "call";
    c.showDoneTasks = true;
    return c;
}

} // namespace

class TestFilterForm : public QObject
{
    Q_OBJECT

    RecordingHelpService m_help;

private slots:
    void looksAsDesigned()
    {
        TFilterForm form(m_help, {});
        QCOMPARE(form.windowTitle(), QString("Task Filter"));
        QCOMPARE(form.size(), QSize(447, 305));
        QVERIFY(!(form.windowFlags() & Qt::WindowCloseButtonHint));
        auto* date = form.findChild<QGroupBox*>("DateFilter");
        auto* priority = form.findChild<QGroupBox*>("PriorityFilter");
        QVERIFY(date && priority);
        QCOMPARE(date->title(), QString("&Date Filter"));
        QCOMPARE(radioCaptions(date), QStringList({"All Dates", "Today ", "Tomorrow", "Next 7 Days", "Next 30 Days",
                                                   "Next 365 Days", "Before Today"}));
        QCOMPARE(radioCaptions(priority),
                 QStringList({"All Priorities", "High Priority Only", "Medium Priority Only", "Low Priority Only"}));
        QCOMPARE(form.findChild<QGroupBox*>("KeysBox")->title(),
                 QString("&Keys Filter (contains any of the following keys)"));
        QCOMPARE(form.findChild<QLabel*>("Label3")->text(), QString("(separate keys with commas)"));
        QCOMPARE(form.findChild<QGroupBox*>("TaskFilterBox")->title(),
                 QString("&Task Filter (contains the following text)"));
        const QList<std::pair<const char*, const char*>> buttons{
            {"OKButton", "Ok"}, {"CancelButton", "Cancel"}, {"ResetButton", "Reset"}, {"Helpbutton", "Help"}};
        for (const auto& [name, caption] : buttons)
            QCOMPARE(form.findChild<QPushButton*>(name)->text(), QString(caption));
        QVERIFY(form.findChild<QPushButton*>("OKButton")->isDefault());
        // The right-hand column sits beside the dates, each box below the one before, all above the bar.
        const QRect keys = form.findChild<QWidget*>("KeysBox")->geometry();
        const QRect task = form.findChild<QWidget*>("TaskFilterBox")->geometry();
        QCOMPARE(date->size(), QSize(124, 215));
        QCOMPARE(keys.size(), QSize(298, 79));
        QVERIFY(keys.left() > date->geometry().right() && keys.bottom() < priority->geometry().top() &&
                priority->geometry().bottom() < task.top() && task.bottom() < 305 - 51);
    }

    void okHandsBackTheControls()
    {
        TFilterForm form(m_help, {});
        form.setCriteria(sample());
        QCOMPARE(form.criteria(), sample());
        form.findChild<QRadioButton*>("DateFilterItem3")->setChecked(true);
        form.findChild<QLineEdit*>("TaskFilter")->setText(" x ");
        QTest::mouseClick(form.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        FilterCriteria expected = sample();
        expected.dateFilterIndex = 3;
        expected.taskFilterText = " x ";
        QCOMPARE(form.criteria(), expected);
    }

    void resetKeepsTheTaskTextAndCloses()
    {
        TFilterForm form(m_help, {});
        form.setCriteria(sample());
        QTest::mouseClick(form.findChild<QPushButton*>("ResetButton"), Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        FilterCriteria expected;
        expected.taskFilterText = "call";
        expected.showDoneTasks = true;
        QCOMPARE(form.criteria(), expected);
    }

    void cancelAndEscapeReject()
    {
        TFilterForm form(m_help, {});
        form.show();
        QTest::keyClick(&form, Qt::Key_Escape);
        QCOMPARE(form.result(), int(QDialog::Rejected));
    }

    void keyWordMenuAppendsWithACommaAndNoBlank()
    {
        TFilterForm form(m_help, {"home", "R&D", "caf\u00e9"});
        QStringList captions;
        for (QAction* item : form.keyListMenu()->actions())
            captions.append(item->text());
        QCOMPARE(captions, QStringList({"home", "R&&D", "caf\u00e9"}));
        auto* keyWords = form.findChild<QLineEdit*>("KeyWords");
        form.keyListMenu()->actions()[0]->trigger();
        QCOMPARE(keyWords->text(), QString("home"));
        form.keyListMenu()->actions()[1]->trigger();
        QCOMPARE(keyWords->text(), QString("home,R&D"));
    }

    void helpOpensTheFilterTopic()
    {
        RecordingHelpService help;
        TFilterForm form(help, {});
        QTest::mouseClick(form.findChild<QPushButton*>("Helpbutton"), Qt::LeftButton);
        QCOMPARE(help.topics, QList<int>({1018}));
    }

    void popupTexts_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::newRow("ok") << "OKButton"
                            << "Click here to accept your selection and exit";
        QTest::newRow("keys box shows the key words' text")
            << "KeysBox"
            << "Enter any Key Words to filter on here. If you use more than one Key Word, separate them with a comma. "
               "i.e. 'Joe, Betty'.\r\n";
        QTest::newRow("task text") << "TaskFilter"
                                   << "Enter a word or phrase to look for in the task (only one word or phrase can be "
                                      "used)";
        QTest::newRow("reset") << "ResetButton"
                               << "Click here to reset the filter back to its defaults - which is all tasks.";
    }

    void popupTexts()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        TFilterForm form(m_help, {});
        QCOMPARE(form.findChild<QWidget*>(control)->whatsThis(), PopupHelp::richText(text));
    }
};

QTEST_MAIN(TestFilterForm)
#include "TestFilterForm.moc"
