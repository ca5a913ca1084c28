#include "mainwindow/WindowPlacement.h"
#include "store/IniFile.h"

#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

using namespace quorvo;

namespace quorvo {

// Stands in for the print preview window: placement takes the section from the class name.
class TPreviewForm : public QWidget
{
    Q_OBJECT
};

} // namespace quorvo

namespace {

const ScreenInfo kScreen{QRect(0, 0, 1024, 768), 96};

QRect savedRect(const IniFile& file, const QByteArray& section)
{
    const int left = file.readInt(section, "Left", -1);
    const int top = file.readInt(section, "Top", -1);
    return QRect(QPoint(left, top),
                 QPoint(file.readInt(section, "Right", -1) - 1, file.readInt(section, "Bottom", -1) - 1));
}

} // namespace

class TestWindowPlacement : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path() const { return m_dir.filePath(QStringLiteral("TODO.INI")); }

    void put(const QByteArray& content)
    {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(content), content.size());
    }

    QByteArray contents() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(path());
    }

    void sectionName_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QString>("section");
        QTest::newRow("96") << 96 << "TMainScreen_Placement";
        QTest::newRow("below 96") << 72 << "TMainScreen_Placement";
        QTest::newRow("97") << 97 << "TMainScreen_Placement97";
        QTest::newRow("120") << 120 << "TMainScreen_Placement120";
        QTest::newRow("144") << 144 << "TMainScreen_Placement144";
    }

    void sectionName()
    {
        QFETCH(int, dpi);
        QFETCH(QString, section);
        QCOMPARE(WindowPlacement::sectionName(QStringLiteral("TMainScreen"), dpi), section);
        QCOMPARE(WindowPlacement(path(), QStringLiteral("TMainScreen"), ScreenInfo{{}, dpi}).sectionName(), section);
    }

    void restore_data()
    {
        QTest::addColumn<QByteArray>("saved"); // the lines of the TMainScreen_Placement section
        QTest::addColumn<QRect>("expected");

        const QRect centred(312, 234, 400, 300); // the window's own 400 by 300 in the middle of 1024 by 768

        QTest::newRow("inside the screen")
            << QByteArray("Left=10\nTop=20\nRight=610\nBottom=420\n") << QRect(10, 20, 600, 400);
        QTest::newRow("Right 1600 on 1024 moves left by 576")
            << QByteArray("Left=700\nTop=100\nRight=1600\nBottom=600\n") << QRect(124, 100, 900, 500);
        QTest::newRow("below the screen moves up")
            << QByteArray("Left=0\nTop=500\nRight=400\nBottom=900\n") << QRect(0, 368, 400, 400);
        QTest::newRow("right and below") << QByteArray("Left=800\nTop=600\nRight=1200\nBottom=900\n")
                                         << QRect(624, 468, 400, 300);
        QTest::newRow("wider than the screen keeps its width")
            << QByteArray("Left=0\nTop=0\nRight=1200\nBottom=300\n") << QRect(-176, 0, 1200, 300);
        QTest::newRow("off the screen to the left comes back")
            << QByteArray("Left=-1500\nTop=10\nRight=-900\nBottom=410\n") << QRect(0, 10, 600, 400);
        QTest::newRow("off the screen above comes back")
            << QByteArray("Left=10\nTop=-900\nRight=410\nBottom=-500\n") << QRect(10, 0, 400, 400);
        QTest::newRow("partly left of the screen stays")
            << QByteArray("Left=-100\nTop=10\nRight=300\nBottom=410\n") << QRect(-100, 10, 400, 400);
        QTest::newRow("Bottom 0 means nothing saved")
            << QByteArray("Left=10\nTop=20\nRight=610\nBottom=0\n") << centred;
        QTest::newRow("no area is nothing saved") << QByteArray("Left=500\nTop=0\nRight=400\nBottom=300\n") << centred;
        QTest::newRow("garbage is nothing saved") << QByteArray("Left=a\nTop=b\nRight=c\nBottom=d\n") << centred;
        QTest::newRow("hex") << QByteArray("Left=0x10\nTop=0x10\nRight=0x110\nBottom=0x110\n")
                             << QRect(16, 16, 256, 256);
        QTest::newRow("no section") << QByteArray() << centred;
    }

    void restore()
    {
        QFETCH(QByteArray, saved);
        QFETCH(QRect, expected);
        put(saved.isEmpty() ? QByteArray("[Other]\nA=1\n") : "[TMainScreen_Placement]\n" + saved);

        QWidget window;
        window.resize(400, 300);
        const WindowPlacement placement(path(), QStringLiteral("TMainScreen"), kScreen);
        QVERIFY(placement.restore(&window, &window));
        QCOMPARE(window.geometry(), expected);
        QVERIFY(!window.isMaximized());

        // The placement in force is in the file at once.
        const IniFile file(path());
        QCOMPARE(savedRect(file, "TMainScreen_Placement"), expected);
        QCOMPARE(file.readString("TMainScreen_Placement", "Maximized"), QByteArray("0"));
    }

    // Qt scales a 120-dpi desktop by 1.25: the 1280 by 960 pixel screen is 1024 by 768 in window geometry.
    // The file holds screen pixels both ways.
    void scaledScreenKeepsScreenPixels_data()
    {
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QRect>("savedBack"); // in screen pixels
        QTest::newRow("Left 100 is 80 units") << QByteArray("Left=100\nTop=50\nRight=600\nBottom=450\n")
                                              << QRect(80, 40, 400, 320) << QRect(100, 50, 500, 400);
        QTest::newRow("shifted by the pixel width of the screen")
            << QByteArray("Left=1000\nTop=0\nRight=1500\nBottom=400\n") << QRect(624, 0, 400, 320)
            << QRect(780, 0, 500, 400);
        QTest::newRow("odd pixels round")
            << QByteArray("Left=3\nTop=3\nRight=503\nBottom=403\n") << QRect(2, 2, 400, 320) << QRect(3, 3, 500, 400);
    }

    void scaledScreenKeepsScreenPixels()
    {
        QFETCH(QByteArray, saved);
        QFETCH(QRect, geometry);
        QFETCH(QRect, savedBack);
        put("[TMainScreen_Placement120]\n" + saved);
        QWidget window;
        const ScreenInfo scaled{QRect(0, 0, 1024, 768), 120, 1.25};
        const WindowPlacement placement(path(), QStringLiteral("TMainScreen"), scaled);
        QVERIFY(placement.restore(&window, &window));
        QCOMPARE(window.geometry(), geometry);
        QCOMPARE(savedRect(IniFile(path()), "TMainScreen_Placement120"), savedBack);
    }

    void screenPixelsOfASecondScreen()
    {
        // A screen to the right of a 1920-pixel one keeps its origin; the rest scales about it.
        const ScreenInfo second{QRect(1920, 0, 1024, 768), 120, 1.25};
        QCOMPARE(second.toPixels(QRect(2000, 100, 400, 300)), QRect(2020, 125, 500, 375));
        QCOMPARE(second.fromPixels(QRect(2020, 125, 500, 375)), QRect(2000, 100, 400, 300));
    }

    void restoreMaximized_data()
    {
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<bool>("designedMaximized");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("saved maximized") << QByteArray("Maximized=1\n") << false << true;
        QTest::newRow("saved normal") << QByteArray("Maximized=0\n") << true << false;
        QTest::newRow("Maximized missing, designed normal") << QByteArray() << false << false;
        QTest::newRow("Maximized missing, designed maximized") << QByteArray() << true << true;
    }

    void restoreMaximized()
    {
        QFETCH(QByteArray, saved);
        QFETCH(bool, designedMaximized);
        QFETCH(bool, maximized);
        put("[TPreviewForm_Placement]\nLeft=10\nTop=20\nRight=610\nBottom=420\n" + saved);

        QWidget window;
        const WindowPlacement placement(path(), QStringLiteral("TPreviewForm"), kScreen);
        QVERIFY(placement.restore(&window, nullptr, designedMaximized));
        QCOMPARE(window.isMaximized(), maximized);
        QCOMPARE(window.normalGeometry(), QRect(10, 20, 600, 400));

        // The immediate save keeps the normal rectangle, not the maximized one.
        const IniFile file(path());
        QCOMPARE(savedRect(file, "TPreviewForm_Placement"), QRect(10, 20, 600, 400));
        QCOMPARE(file.readBool("TPreviewForm_Placement", "Maximized", !maximized), maximized);
    }

    void eachResolutionKeepsItsOwnSection()
    {
        const QByteArray at96 = "[TMainScreen_Placement]\nLeft=10\nTop=10\nRight=410\nBottom=310\nMaximized=0\n";
        put(at96 + "[TMainScreen_Placement120]\nLeft=50\nTop=60\nRight=650\nBottom=560\nMaximized=0\n");

        QWidget window;
        const WindowPlacement at120(path(), QStringLiteral("TMainScreen"), ScreenInfo{kScreen.geometry, 120});
        QVERIFY(at120.restore(&window, &window));
        QCOMPARE(window.geometry(), QRect(50, 60, 600, 500));

        window.setGeometry(70, 80, 500, 300);
        QVERIFY(at120.save(&window));
        QCOMPARE(contents(),
                 at96 + "[TMainScreen_Placement120]\nLeft=70\nTop=80\nRight=570\nBottom=380\nMaximized=0\n");

        QWidget other;
        QVERIFY(WindowPlacement(path(), QStringLiteral("TMainScreen"), kScreen).restore(&other, &other));
        QCOMPARE(other.geometry(), QRect(10, 10, 400, 300));
    }

    void firstSaveCreatesTheFile()
    {
        QWidget window;
        window.setGeometry(100, 50, 618, 405);
        QVERIFY(WindowPlacement(path(), QStringLiteral("TMainScreen"), kScreen).save(&window));
        QCOMPARE(contents(),
                 QByteArray("[TMainScreen_Placement]\nLeft=100\nTop=50\nRight=718\nBottom=455\nMaximized=0\n"));
    }

    void savingAShownMaximizedWindowKeepsItsNormalRectangle()
    {
        QWidget window;
        window.setGeometry(100, 120, 500, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect normal = window.geometry();
        window.showMaximized();
        QTRY_VERIFY(window.isMaximized());

        QVERIFY(WindowPlacement(path(), QStringLiteral("TMainScreen"), kScreen).save(&window));
        const IniFile file(path());
        QCOMPARE(savedRect(file, "TMainScreen_Placement"), normal);
        QVERIFY(file.readBool("TMainScreen_Placement", "Maximized", false));
    }

    void programCallsUseTheWindowsClassAndScreen()
    {
        TPreviewForm window;
        QCOMPARE(WindowClassName(&window), QStringLiteral("TPreviewForm"));
        const QString section =
            WindowPlacement::sectionName(QStringLiteral("TPreviewForm"), ScreenInfo::of(&window).logicalDpi);
        put("[" + section.toLatin1() + "]\nLeft=30\nTop=40\nRight=330\nBottom=240\n");
        QVERIFY(RestoreWindowPlacement(&window, path(), nullptr));
        QCOMPARE(window.geometry(), QRect(30, 40, 300, 200));
        window.move(35, 45);
        QVERIFY(SaveWindowPlacement(&window, path()));
        QCOMPARE(savedRect(IniFile(path()), section.toLatin1()), QRect(35, 45, 300, 200));
    }

    void unwritableFileFailsTheSave()
    {
        QWidget window;
        window.resize(400, 300);
        const WindowPlacement placement(m_dir.filePath(QStringLiteral("missing/TODO.INI")), QStringLiteral("T"),
                                        kScreen);
        QVERIFY(!placement.restore(&window, &window));
        QCOMPARE(window.pos(), QPoint(312, 234)); // still placed
    }
};

QTEST_MAIN(TestWindowPlacement)
#include "TestWindowPlacement.moc"
