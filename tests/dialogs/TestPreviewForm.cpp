#include "dialogs/TPreviewForm.h"
#include "reports/PageStream.h"
#include "support/RecordingHelpService.h"
#include "ui/TFilePreview.h"

#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

using namespace quorvo;

class TestPreviewForm : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    RecordingHelpService m_help;

    static PageStream pages(int count)
    {
        PageStream stream(QSizeF(8.5, 11));
        for (int i = 0; i < count; ++i)
            stream.append(QPicture());
        return stream;
    }

    QString preferences() const { return m_dir.filePath(QStringLiteral("TODO.INI")); }

    static void open(TPreviewForm& form, const PageStream& stream, double zoom = TPreviewForm::PageWidth)
    {
        form.setPageStream(&stream);
        form.setOpeningZoom(zoom);
        form.show();
        form.FormActivate();
    }

private slots:
    void opensAtPageWidthWithCaption();
    void zoomStaysWithinLimits_data();
    void zoomStaysWithinLimits();
    void hundredPercentAfterPageWidth();
    void onePageHidesThePageButtons();
    void navigationStopsAtTheEnds();
    void mouseZoomsInAndOut();
    void arrowsScroll();
    void helpOpensTopic1017();
    void placementIsRestored();
};

void TestPreviewForm::opensAtPageWidthWithCaption()
{
    const PageStream stream = pages(3);
    TPreviewForm form(preferences(), nullptr, &m_help);
    open(form, stream);
    const double width = qBound(10.0, form.FilePreview1->zoomPageWidthFactor(), 200.0);
    QCOMPARE(form.FilePreview1->zoom(), width);
    QVERIFY(form.FilePreview1->zoomPageFactor() < width);
    QCOMPARE(form.windowTitle(), QStringLiteral("Preview Page 1 of 3 ( %1% )").arg(qRound(width)));
    for (QPushButton* button : {form.sbFirstPage, form.sbPrevPage, form.sbNextPage, form.sbLastPAge})
        QVERIFY(!button->isHidden());
    // The page widget is as wide as the box allows, the scroll bar included.
    QCoreApplication::processEvents();
    const int viewport = form.ScrollBox1->viewport()->width();
    QVERIFY(form.FilePreview1->pageWidget()->width() <= viewport);
    QVERIFY(form.FilePreview1->pageWidget()->width() >= viewport - 2);
}

void TestPreviewForm::zoomStaysWithinLimits_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<bool>("zoomIn");
    QTest::addColumn<QList<double>>("steps");
    QTest::newRow("in from 190") << 190.0 << true << QList<double>{200, 200};
    QTest::newRow("out from 20") << 20.0 << false << QList<double>{10, 10};
    QTest::newRow("in from 55.5") << 55.5 << true << QList<double>{65.5, 75.5};
    QTest::newRow("in from 195") << 195.0 << true << QList<double>{200, 200};
}

void TestPreviewForm::zoomStaysWithinLimits()
{
    QFETCH(double, start);
    QFETCH(bool, zoomIn);
    QFETCH(QList<double>, steps);
    const PageStream stream = pages(2);
    TPreviewForm form(preferences(), nullptr, &m_help);
    open(form, stream, start);
    QCOMPARE(form.FilePreview1->zoom(), start);
    for (double expected : steps) {
        (zoomIn ? form.sbZoomIn : form.sbZoomOut)->click();
        QCOMPARE(form.FilePreview1->zoom(), expected);
    }
    form.FilePreview1->setZoom(5);
    QCOMPARE(form.FilePreview1->zoom(), 10.0);
    form.FilePreview1->setZoom(500);
    QCOMPARE(form.FilePreview1->zoom(), 200.0);
    form.FilePreview1->setZoom(-3);
    QCOMPARE(form.FilePreview1->zoom(), 200.0);
}

void TestPreviewForm::hundredPercentAfterPageWidth()
{
    const PageStream stream = pages(3);
    TPreviewForm form(preferences(), nullptr, &m_help);
    open(form, stream);
    form.sbZoomPage->click();
    QCOMPARE(form.FilePreview1->zoom(), qBound(10.0, form.FilePreview1->zoomPageFactor(), 200.0));
    form.sbZoomPageWidth->click();
    form.zbZoom100->click();
    QCOMPARE(form.windowTitle(), QStringLiteral("Preview Page 1 of 3 ( 100% )"));
}

void TestPreviewForm::onePageHidesThePageButtons()
{
    const PageStream stream = pages(1);
    TPreviewForm form(preferences(), nullptr, &m_help);
    open(form, stream);
    for (QPushButton* button : {form.sbFirstPage, form.sbPrevPage, form.sbNextPage, form.sbLastPAge})
        QVERIFY(button->isHidden());
    QVERIFY(form.windowTitle().startsWith(QStringLiteral("Preview Page 1 of 1 ( ")));
}

void TestPreviewForm::navigationStopsAtTheEnds()
{
    const PageStream stream = pages(3);
    TPreviewForm form(preferences(), nullptr, &m_help);
    open(form, stream, 50);
    const auto page = [&] { return form.windowTitle().section(u' ', 2, 2).toInt(); };
    form.sbPrevPage->click();
    QCOMPARE(page(), 1);
    form.sbNextPage->click();
    QCOMPARE(page(), 2);
    form.sbLastPAge->click();
    QCOMPARE(page(), 3);
    form.sbNextPage->click();
    QCOMPARE(page(), 3);
    QCOMPARE(form.windowTitle(), QStringLiteral("Preview Page 3 of 3 ( 50% )"));
    form.sbFirstPage->click();
    QCOMPARE(page(), 1);
}

void TestPreviewForm::mouseZoomsInAndOut()
{
    const PageStream stream = pages(1);
    TPreviewForm form(preferences(), nullptr, &m_help);
    open(form, stream, 50);
    QTest::mouseClick(form.FilePreview1->pageWidget(), Qt::LeftButton);
    QCOMPARE(form.FilePreview1->zoom(), 60.0);
    QTest::mouseClick(form.FilePreview1->pageWidget(), Qt::RightButton);
    QTest::mouseClick(form.FilePreview1->pageWidget(), Qt::MiddleButton);
    QCOMPARE(form.FilePreview1->zoom(), 40.0);
    QCOMPARE(form.ScrollBox1->cursor().shape(), Qt::BitmapCursor);
}

void TestPreviewForm::arrowsScroll()
{
    const PageStream stream = pages(1);
    TPreviewForm form(preferences(), nullptr, &m_help);
    open(form, stream, 150);
    QScrollBar* bar = form.ScrollBox1->verticalScrollBar();
    QVERIFY(bar->maximum() > 2 * bar->singleStep());
    QTest::keyClick(&form, Qt::Key_Up);
    QCOMPARE(bar->value(), 0);
    QTest::keyClick(&form, Qt::Key_Down);
    QTest::keyClick(&form, Qt::Key_Down);
    QCOMPARE(bar->value(), 2 * bar->singleStep());
    bar->setValue(bar->maximum());
    QTest::keyClick(&form, Qt::Key_Down);
    QCOMPARE(bar->value(), bar->maximum());
}

void TestPreviewForm::helpOpensTopic1017()
{
    const PageStream stream = pages(1);
    TPreviewForm form(preferences(), nullptr, &m_help);
    m_help.topics.clear();
    form.Helpbutton->click();
    QCOMPARE(m_help.topics, QList<int>{1017});
    QCOMPARE(form.sbZoomIn->whatsThis().contains(QStringLiteral("Click here to Zoom in.")), true);
    QCOMPARE(form.MouseHelpButton->whatsThis(), QString());
}

void TestPreviewForm::placementIsRestored()
{
    const PageStream stream = pages(1);
    QRect saved;
    {
        TPreviewForm form(preferences(), nullptr, &m_help);
        open(form, stream);
        form.setGeometry(QRect(40, 50, 700, 500));
        form.accept();
        saved = form.geometry();
    }
    TPreviewForm again(preferences(), nullptr, &m_help);
    QCOMPARE(again.geometry().size(), saved.size());
    QCOMPARE(again.geometry().topLeft(), saved.topLeft());
}

QTEST_MAIN(TestPreviewForm)
#include "TestPreviewForm.moc"
