#include "ui/TGraphicPanel.h"

#include <QSignalSpy>
#include <QtTest>

using quorvo::TGraphicPanel;
using Bevel = TGraphicPanel::Bevel;

Q_DECLARE_METATYPE(TGraphicPanel::Bevel)

namespace {

const QColor kLight(250, 0, 0);
const QColor kDark(0, 0, 250);
const QColor kFace(0, 200, 0);

TGraphicPanel* makePanel(QWidget* parent, QSize size)
{
    auto* panel = new TGraphicPanel(parent);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Light, kLight);
    palette.setColor(QPalette::Dark, kDark);
    palette.setColor(QPalette::Button, kFace);
    palette.setColor(QPalette::ButtonText, Qt::black);
    panel->setPalette(palette);
    panel->resize(size);
    return panel;
}

char code(QRgb pixel)
{
    const QColor colour(pixel);
    if (colour == Qt::black)
        return 'K';
    if (colour == kLight)
        return 'L';
    if (colour == kDark)
        return 'D';
    if (colour == kFace)
        return 'F';
    return '?';
}

// The first pixels from one edge towards the middle, along a line through the middle of the panel.
QString band(const QImage& image, QPoint start, QPoint step, int length)
{
    QString out;
    for (int i = 0; i < length; ++i)
        out += QLatin1Char(code(image.pixel(start + step * i)));
    return out;
}

// The mean column of the caption's pixels, or -1 when none was drawn.
double captionCentre(const QImage& image)
{
    double sum = 0;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100 && code(image.pixel(x, y)) != 'D') {
                sum += x;
                ++count;
            }
    return count ? sum / count : -1;
}

} // namespace

class TestGraphicPanel : public QObject
{
    Q_OBJECT

private slots:
    void frames_data()
    {
        QTest::addColumn<bool>("single");
        QTest::addColumn<Bevel>("outer");
        QTest::addColumn<Bevel>("inner");
        QTest::addColumn<int>("bevelWidth");
        QTest::addColumn<int>("borderWidth");
        QTest::addColumn<QString>("fromTopLeft");
        QTest::addColumn<QString>("fromBottomRight");

        QTest::newRow("defaults: one raised bevel") << false << Bevel::Raised << Bevel::None << 1 << 0 << "LFFFF"
                                                    << "DFFFF";
        QTest::newRow("lowered swaps the colours") << false << Bevel::Lowered << Bevel::None << 1 << 0 << "DFFFF"
                                                   << "LFFFF";
        QTest::newRow("single border outside the bevel") << true << Bevel::Raised << Bevel::None << 1 << 0 << "KLFFF"
                                                         << "KDFFF";
        QTest::newRow("every frame, two pixels of bevel")
            << true << Bevel::Raised << Bevel::Lowered << 2 << 1 << "KLLFDDF"
            << "KDDFLLF";
        QTest::newRow("no frames at all") << false << Bevel::None << Bevel::None << 1 << 3 << "FFFFF"
                                          << "FFFFF";
        QTest::newRow("inner bevel behind a border width") << false << Bevel::None << Bevel::Raised << 1 << 2 << "FFLFF"
                                                           << "FFDFF";
    }

    void frames()
    {
        QFETCH(bool, single);
        QFETCH(Bevel, outer);
        QFETCH(Bevel, inner);
        QFETCH(int, bevelWidth);
        QFETCH(int, borderWidth);
        QFETCH(QString, fromTopLeft);
        QFETCH(QString, fromBottomRight);

        QWidget parent;
        TGraphicPanel* panel = makePanel(&parent, {40, 30});
        panel->setBorderStyle(single ? TGraphicPanel::BorderStyle::Single : TGraphicPanel::BorderStyle::None);
        panel->setBevelOuter(outer);
        panel->setBevelInner(inner);
        panel->setBevelWidth(bevelWidth);
        panel->setBorderWidth(borderWidth);
        const QImage image = panel->grab().toImage();
        const int n = int(fromTopLeft.size());

        QCOMPARE(band(image, {0, 15}, {1, 0}, n), fromTopLeft);
        QCOMPARE(band(image, {20, 0}, {0, 1}, n), fromTopLeft);
        QCOMPARE(band(image, {39, 15}, {-1, 0}, n), fromBottomRight);
        QCOMPARE(band(image, {20, 29}, {0, -1}, n), fromBottomRight);
    }

    void captionPlacement_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");

        QTest::newRow("centre") << int(Qt::AlignHCenter) << "WW" << 40.0 << 60.0;
        QTest::newRow("left") << int(Qt::AlignLeft) << "WW" << 0.0 << 30.0;
        QTest::newRow("right") << int(Qt::AlignRight) << "WW" << 70.0 << 100.0;
        QTest::newRow("a tab is expanded, not drawn as a box") << int(Qt::AlignLeft) << "\tWW" << 30.0 << 100.0;
    }

    void captionPlacement()
    {
        QFETCH(int, alignment);
        QFETCH(QString, caption);
        QFETCH(double, low);
        QFETCH(double, high);

        QWidget parent;
        TGraphicPanel* panel = makePanel(&parent, {100, 24});
        panel->setBevelOuter(Bevel::None);
        panel->setAlignment(Qt::Alignment(alignment));
        panel->setCaption(caption);
        const double centre = captionCentre(panel->grab().toImage());
        QVERIFY2(centre >= low && centre <= high, qPrintable(QString::number(centre)));
    }

    void colours()
    {
        // The cell the time picker highlights: its own fill and caption colour, not the palette's.
        QWidget parent;
        TGraphicPanel* panel = makePanel(&parent, {40, 30});
        panel->setColor(Qt::white);
        QCOMPARE(QColor(panel->grab().toImage().pixel(20, 15)), QColor(Qt::white));
        QPalette parentPalette = parent.palette();
        parentPalette.setColor(QPalette::Window, Qt::yellow);
        parent.setPalette(parentPalette);
        panel->setParentColor(true);
        QCOMPARE(QColor(panel->grab().toImage().pixel(20, 15)), QColor(Qt::yellow));
    }

    void clicks()
    {
        QWidget parent;
        parent.resize(200, 100);
        TGraphicPanel* panel = makePanel(&parent, {40, 30});
        parent.show();
        QSignalSpy clicked(panel, &TGraphicPanel::clicked);
        QSignalSpy doubled(panel, &TGraphicPanel::doubleClicked);

        QTest::mouseClick(panel, Qt::LeftButton, {}, {5, 5});
        QCOMPARE(clicked.count(), 1);
        QTest::mouseClick(panel, Qt::RightButton, {}, {5, 5});
        QCOMPARE(clicked.count(), 1);
        // Dragged off the cell before letting go: no click.
        QTest::mousePress(panel, Qt::LeftButton, {}, {5, 5});
        QTest::mouseRelease(panel, Qt::LeftButton, {}, {60, 5});
        QCOMPARE(clicked.count(), 1);
        // A double click: its first press clicks, its second only double-clicks.
        clicked.clear();
        QTest::mouseClick(panel, Qt::LeftButton, {}, {5, 5});
        QTest::mouseDClick(panel, Qt::LeftButton, {}, {5, 5});
        QTest::mouseRelease(panel, Qt::LeftButton, {}, {5, 5});
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(doubled.count(), 1);
    }
};

QTEST_MAIN(TestGraphicPanel)
#include "TestGraphicPanel.moc"
