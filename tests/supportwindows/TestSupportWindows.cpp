// The Configuration Information and About windows, and what the report reads from this machine.
#include "store/ProgramDir.h"
#include "support/ScriptedMessages.h"
#include "support/SystemPlatformInfo.h"
#include "support/TConfigurationInfo.h"
#include "support/TSplashform.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvo;

class TestSupportWindows : public QObject
{
    Q_OBJECT

private slots:
    void configurationLayout()
    {
        TConfigurationInfo form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Configuration Information"));
        QCOMPARE(form.size(), QSize(420, 373));
        auto* memo = form.findChild<QPlainTextEdit*>("Memo1");
        QCOMPARE(memo->size(), QSize(397, 221));
        QCOMPARE(memo->font().family(), QStringLiteral("Liberation Mono"));
        QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
        QVERIFY(!memo->tabChangesFocus());
        QCOMPARE(form.findChild<QLabel*>("Label1")->height(), 79);
        auto* ok = form.findChild<QPushButton*>("Button2");
        auto* copy = form.findChild<QPushButton*>("Button1");
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(copy->text(), QStringLiteral("Copy to Clipboard"));
        // OK at the left, the copy button in the middle, both in one row under the report.
        QCOMPARE(ok->y(), copy->y());
        QVERIFY(ok->x() < copy->x());
        QVERIFY(qAbs(copy->geometry().center().x() - 420 / 2) <= 1);
        QVERIFY(ok->y() > memo->geometry().bottom());
        QVERIFY(!form.findChild<QPlainTextEdit*>("CopyPasteMemo")->isVisibleTo(&form));
    }

    void copyTakesTheEditedTextWithCrLf()
    {
        ScriptedMessages messages;
        TConfigurationInfo form;
        form.appendLines({"first", "Label:       \tvalue", "", "last"});
        form.show();
        auto* memo = form.memo();
        QCOMPARE(memo->textCursor().position(), 0);
        // The user edits the report before copying it.
        QTextCursor cursor = memo->textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(" edited");
        memo->setTextCursor(cursor);
        const int position = memo->textCursor().position();
        const int scroll = memo->verticalScrollBar()->value();

        form.findChild<QPushButton*>("Button1")->click();

        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("first\r\nLabel:       \tvalue\r\n\r\nlast edited"));
        QCOMPARE(messages.infos(), QStringList{"Information copied to Windows clipboard"});
        QCOMPARE(messages.captions, QStringList{"Configuration Information"});
        QCOMPARE(memo->textCursor().position(), position);
        QVERIFY(!memo->textCursor().hasSelection());
        QCOMPARE(memo->verticalScrollBar()->value(), scroll);
    }

    void aboutWindow()
    {
        TSplashform form;
        QCOMPARE(form.windowTitle(), QStringLiteral("About Quorvo"));
        QCOMPARE(form.findChild<QLabel*>("VersionLabel")->text(), QStringLiteral("Version 2.8b"));
        QCOMPARE(form.findChild<QLabel*>("Label3216")->text(),
                 sizeof(void*) == 8 ? QStringLiteral("64-bit version") : QStringLiteral("32-bit version"));
        QVERIFY(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!form.windowFlags().testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(!form.windowFlags().testFlag(Qt::WindowMinMaxButtonsHint));
        QVERIFY(!form.findChild<QLabel*>("Image1")->pixmap().isNull());
        QVERIFY(!form.windowIcon().isNull());
        auto* ok = form.findChild<QPushButton*>("OKButton");
        QCOMPARE(ok->text(), QStringLiteral("Ok"));
        form.show();
        ok->click();
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Accepted));
    }

    void memoryFromTheKernel()
    {
        const QString meminfo = "MemTotal:       32594320 kB\n"
                                "MemFree:         1000000 kB\n"
                                "MemAvailable:   16297160 kB\n"
                                "SwapTotal:       8388604 kB\n"
                                "SwapFree:        4194302 kB\n"
                                "CommitLimit:    24685764 kB\n"
                                "Committed_AS:   12342882 kB\n";
        PlatformInfo info;
        SystemPlatformInfo::readMemInfo(meminfo, info);
        QCOMPARE(info.physicalTotal, Q_INT64_C(32594320) * 1024);
        QCOMPARE(info.physicalAvailable, Q_INT64_C(16297160) * 1024);
        QCOMPARE(info.swapTotal, Q_INT64_C(8388604) * 1024);
        QCOMPARE(info.swapAvailable, Q_INT64_C(4194302) * 1024);
        QCOMPARE(info.virtualTotal, Q_INT64_C(24685764) * 1024);
        QCOMPARE(info.virtualAvailable, Q_INT64_C(12342882) * 1024);
        QCOMPARE(info.memoryLoad, 50);

        PlatformInfo old;
        SystemPlatformInfo::readMemInfo("MemTotal: 1000 kB\nMemFree: 250 kB\n", old);
        QCOMPARE(old.physicalAvailable, Q_INT64_C(250) * 1024);
        QCOMPARE(old.memoryLoad, 75);
        PlatformInfo none;
        SystemPlatformInfo::readMemInfo(QString(), none);
        QCOMPARE(none.memoryLoad, 0);
    }

    void systemLocale_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("lang");
        QTest::newRow("plain") << "LANG=de_DE.UTF-8\n"
                               << "de_DE.UTF-8";
        QTest::newRow("quoted, among others") << "# generated\nLANGUAGE=\"en\"\nLANG=\"fr_FR.UTF-8\"\n"
                                              << "fr_FR.UTF-8";
        QTest::newRow("none") << "LC_ALL=C\n"
                              << "";
    }

    void systemLocale()
    {
        QFETCH(QString, file);
        QFETCH(QString, lang);
        QCOMPARE(SystemPlatformInfo::langOf(file), lang);
    }

    void languageAndCountryNames()
    {
        QCOMPARE(SystemPlatformInfo::languageName("de_DE.UTF-8"), QStringLiteral("German (Germany)"));
        QCOMPARE(SystemPlatformInfo::countryCode("de_DE.UTF-8"), QStringLiteral("DE"));
        QCOMPARE(SystemPlatformInfo::languageName(""), QString());
        QCOMPARE(SystemPlatformInfo::countryCode(""), QString());
    }

    void dataDirectory()
    {
        QTemporaryDir dir;
        const QString programDir = DirectoryWithSlash(dir.path());
        const QString fallback = dir.filePath("user/data");
        QCOMPARE(DataDirFor(programDir, fallback), programDir);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
        // A program directory where no file can be made: the user's data directory, made when missing.
        QCOMPARE(DataDirFor("/nonexistent/quorvo/", fallback), DirectoryWithSlash(fallback));
        QVERIFY(QFileInfo(fallback).isDir());
    }
};

QTEST_MAIN(TestSupportWindows)
#include "TestSupportWindows.moc"
