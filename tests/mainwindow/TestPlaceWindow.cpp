#include "mainwindow/PlaceWindow.h"
#include "mainwindow/PopupBelowButton.h"

#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

using namespace quorvo;

namespace {

const ScreenInfo kScreen{QRect(0, 0, 1024, 768), 96};

QMargins frameMargins(const QWidget& window)
{
    const QRect inner = window.geometry();
    const QRect outer = window.frameGeometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                    outer.bottom() - inner.bottom());
}

// A shown main window whose outer rectangle, frame included, is `frame`; returns its frame margins.
QMargins showMainWindow(QWidget& mainWindow, const QRect& frame)
{
    mainWindow.show();
    if (!QTest::qWaitForWindowExposed(&mainWindow))
        return {};
    const QMargins margins = frameMargins(mainWindow);
    mainWindow.setGeometry(frame.marginsRemoved(margins));
    return margins;
}

} // namespace

class TestPlaceWindow : public QObject
{
    Q_OBJECT

private slots:
    void overTheMainWindow_data()
    {
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QSize>("dialog");
        QTest::addColumn<QPoint>("expected");

        QTest::newRow("centred over it") << QRect(100, 50, 600, 400) << QSize(200, 100) << QPoint(300, 200);
        QTest::newRow("larger than the main window, not clamped")
            << QRect(10, 10, 200, 100) << QSize(400, 300) << QPoint(-90, -90);
        QTest::newRow("odd negative difference rounds toward zero")
            << QRect(0, 0, 100, 100) << QSize(201, 103) << QPoint(-50, -1);
        QTest::newRow("beyond the screen stays there")
            << QRect(900, 700, 400, 300) << QSize(100, 100) << QPoint(1050, 800);
    }

    void overTheMainWindow()
    {
        QFETCH(QRect, main);
        QFETCH(QSize, dialog);
        QFETCH(QPoint, expected);
        // Rectangles and sizes are outer ones, frame included: that is what the user sees centred.
        QWidget mainWindow;
        const QMargins margins = showMainWindow(mainWindow, main);
        QTRY_COMPARE(mainWindow.frameGeometry(), main);

        QDialog window(&mainWindow);
        window.resize(dialog.shrunkBy(margins));
        PlaceWindow(&window, &mainWindow, kScreen);
        QCOMPARE(window.pos(), expected);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.frameGeometry(), QRect(expected, dialog));
    }

    void centredOnTheScreen_data()
    {
        QTest::addColumn<int>("which"); // 0 main maximized, 1 the main window itself, 2 no main window
        QTest::newRow("main window maximized") << 0;
        QTest::newRow("the main window itself") << 1;
        QTest::newRow("no main window") << 2;
    }

    void centredOnTheScreen()
    {
        QFETCH(int, which);
        QWidget mainWindow;
        mainWindow.setGeometry(100, 50, 600, 400);
        if (which == 0)
            mainWindow.setWindowState(Qt::WindowMaximized);

        QWidget dialog;
        dialog.resize(200, 100);
        QWidget* window = which == 1 ? &mainWindow : &dialog;
        PlaceWindow(window, which == 2 ? nullptr : &mainWindow, kScreen);
        // 600 by 400 and 200 by 100 in the middle of 1024 by 768.
        QCOMPARE(window->pos(), which == 1 ? QPoint(212, 184) : QPoint(412, 334));
    }

    void maximizeButtonBringsTheSystemMenu_data()
    {
        QTest::addColumn<bool>("maximizeButton");
        QTest::newRow("with maximize button") << true;
        QTest::newRow("without") << false;
    }

    void maximizeButtonBringsTheSystemMenu()
    {
        QFETCH(bool, maximizeButton);
        QWidget window(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        window.setWindowFlag(Qt::WindowMaximizeButtonHint, maximizeButton);
        window.resize(100, 100);
        PlaceWindow(&window, nullptr, kScreen);
        QCOMPARE(window.windowFlags().testFlag(Qt::WindowSystemMenuHint), maximizeButton);
        QCOMPARE(window.pos(), QPoint(462, 334));
    }

    void unsizedDialogIsCentredAtItsShownSize()
    {
        QWidget mainWindow;
        showMainWindow(mainWindow, QRect(0, 0, 1000, 800));
        QTRY_COMPARE(mainWindow.frameGeometry(), QRect(0, 0, 1000, 800));

        QDialog dialog(&mainWindow);
        auto* layout = new QVBoxLayout(&dialog);
        auto* content = new QWidget;
        content->setFixedSize(300, 200);
        layout->addWidget(content);
        PlaceWindow(&dialog, &mainWindow, kScreen);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QRect outer = dialog.frameGeometry();
        QVERIFY2(outer.width() > 300 && outer.height() > 200,
                 qPrintable(QStringLiteral("%1x%2").arg(outer.width()).arg(outer.height())));
        QCOMPARE(outer.topLeft(), QPoint((1000 - outer.width()) / 2, (800 - outer.height()) / 2));
    }

    void popupBelowButton()
    {
        QWidget window;
        window.setGeometry(200, 150, 300, 200);
        QPushButton button(QStringLiteral("&Sort"), &window);
        button.setGeometry(20, 30, 80, 25);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QMenu menu;
        menu.addAction(QStringLiteral("By date"));
        PopupBelowButton(&button, &menu);
        QTRY_VERIFY(menu.isVisible());
        const QPoint lowerLeft = window.geometry().topLeft() + QPoint(20, 30 + 25);
        QCOMPARE(PopupPointBelow(&button), lowerLeft);
        QCOMPARE(menu.pos(), lowerLeft);
        menu.close();
    }
};

QTEST_MAIN(TestPlaceWindow)
#include "TestPlaceWindow.moc"
