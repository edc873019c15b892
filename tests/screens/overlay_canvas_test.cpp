#include <QtTest>
#include <cmath>
#include <limits>

#include "screens/widgets/line_shape.h"
#include "screens/widgets/overlay_canvas.h"

using quillon::screens::keyColour;
using quillon::screens::LineShape;
using quillon::screens::OverlayCanvas;

class OverlayCanvasTest : public QObject {
    Q_OBJECT

  private slots:
    void drawsInTwipsOverTheKeyColour();
    void clearingRemovesDrawingsButKeepsThePicture();
    void lineShapesArePaintedOnTopAndMoveWithTheirCoordinates();
    void pointsWithoutAPlaceOnTheScreenAreNotDrawn();
};

void OverlayCanvasTest::pointsWithoutAPlaceOnTheScreenAreNotDrawn() {
    OverlayCanvas canvas;
    canvas.resize(200, 200);
    const double nan = std::nan("");
    const double inf = std::numeric_limits<double>::infinity();
    canvas.line(nan, 0, 1500, 1500, Qt::white);
    canvas.circle(750, 750, inf, Qt::white);
    canvas.point(inf, 750, Qt::white);
    LineShape* line = canvas.addLine("lnMeasure");
    line->setCoordinates(nan, 0, nan, 3000);
    const QImage shown = canvas.composed();
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            QCOMPARE(shown.pixelColor(x, y), keyColour);
        }
    }
}

void OverlayCanvasTest::drawsInTwipsOverTheKeyColour() {
    OverlayCanvas canvas;
    canvas.resize(400, 400);
    QCOMPARE(canvas.colourAt(1500, 1500), keyColour);

    canvas.setPenWidth(2);
    canvas.line(0, 1500, 3000, 1500, Qt::white);
    QCOMPARE(canvas.colourAt(1500, 1500), QColor(Qt::white));
    QCOMPARE(canvas.colourAt(1500, 1800), keyColour);

    // A point as wide as the pen, centred on its position: pixel (200, 300) and its neighbour.
    canvas.point(3000, 4500, Qt::white);
    QCOMPARE(canvas.colourAt(3000, 4500), QColor(Qt::white));
    QCOMPARE(canvas.colourAt(2985, 4485), QColor(Qt::white));
    QCOMPARE(canvas.colourAt(3030, 4500), keyColour);

    // A circle of radius 180 twips (12 pixels) passes 12 pixels right of its centre.
    canvas.setPenWidth(1);
    canvas.circle(3000, 3000, 180, Qt::white);
    QCOMPARE(canvas.colourAt(3000 + 180, 3000), QColor(Qt::white));
    QCOMPARE(canvas.colourAt(3000, 3000), keyColour);
}

void OverlayCanvasTest::clearingRemovesDrawingsButKeepsThePicture() {
    OverlayCanvas canvas;
    canvas.resize(300, 300);
    QImage picture(100, 100, QImage::Format_RGB32);
    picture.fill(QColor(0, 128, 0));
    canvas.setPicture(picture);
    QCOMPARE(canvas.colourAt(750, 750), QColor(0, 128, 0));
    QCOMPARE(canvas.colourAt(1800, 1800), keyColour);  // beyond the picture

    canvas.setPenWidth(2);
    canvas.line(0, 750, 1500, 750, Qt::white);
    QCOMPARE(canvas.colourAt(750, 750), QColor(Qt::white));
    // Erasing paints the key colour over the picture; clearing the drawings shows it again.
    canvas.line(0, 750, 1500, 750, keyColour);
    QCOMPARE(canvas.colourAt(750, 750), keyColour);
    canvas.clear();
    QCOMPARE(canvas.colourAt(750, 750), QColor(0, 128, 0));

    canvas.clearPicture();
    QVERIFY(!canvas.hasPicture());
    QCOMPARE(canvas.colourAt(750, 750), keyColour);
}

void OverlayCanvasTest::lineShapesArePaintedOnTopAndMoveWithTheirCoordinates() {
    OverlayCanvas canvas;
    canvas.resize(400, 500);
    LineShape* measure = canvas.addLine("lnMeasure");
    QCOMPARE(canvas.findChild<LineShape*>("lnMeasure"), measure);
    measure->setCoordinates(3720, 720, 3720, 6360);
    measure->setColour(Qt::white);
    canvas.setPenWidth(3);
    canvas.line(3000, 1500, 4500, 1500, Qt::black);
    QCOMPARE(canvas.colourAt(3720, 1500), QColor(Qt::white));
    QCOMPARE(canvas.colourAt(3600, 1500), QColor(Qt::black));

    measure->setX(3000);
    QCOMPARE(measure->X1(), 3000.0);
    QCOMPARE(measure->X2(), 3000.0);
    QCOMPARE(canvas.colourAt(3720, 1500), QColor(Qt::black));
    QCOMPARE(canvas.colourAt(3000, 3000), QColor(Qt::white));

    measure->setVisible(false);
    QCOMPARE(canvas.colourAt(3000, 3000), keyColour);
}

QTEST_MAIN(OverlayCanvasTest)
#include "overlay_canvas_test.moc"
