#include <QPainter>
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
    void theVideoShowsWhereTheSurfaceIsExactlyTheKeyColour();
    void theVideoIsFittedWithBlackBars();
};

// A video frame of one colour per quarter, so that a pixel tells where it came from.
static QImage quarters(int width, int height) {
    QImage frame(width, height, QImage::Format_RGB32);
    QPainter painter(&frame);
    painter.fillRect(0, 0, width / 2, height / 2, QColor(10, 20, 30));
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, QColor(40, 50, 60));
    painter.fillRect(0, height / 2, width / 2, height - height / 2, QColor(70, 80, 90));
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2,
                     QColor(100, 110, 120));
    return frame;
}

void OverlayCanvasTest::theVideoShowsWhereTheSurfaceIsExactlyTheKeyColour() {
    OverlayCanvas canvas;
    canvas.resize(200, 200);
    canvas.setVideoFrame(quarters(200, 200));
    const QColor topLeftVideo(10, 20, 30);
    const QColor nearMagenta(254, 0, 255);
    canvas.line(0, 750, 3000, 750, Qt::white);    // row 50, white
    canvas.line(0, 600, 3000, 600, nearMagenta);  // row 40, not quite the key
    canvas.line(0, 450, 3000, 450, Qt::white);    // row 30, then erased in the key colour
    canvas.line(0, 450, 3000, 450, keyColour);

    struct Case {
        const char* what;
        double x, y;
        QColor expected;
    };
    const Case cases[] = {
        {"untouched surface shows the video", 300, 300, topLeftVideo},
        {"another quarter of the frame", 2400, 2400, QColor(100, 110, 120)},
        {"a white mark stays white", 300, 750, Qt::white},
        {"only the exact key colour is keyed", 300, 600, nearMagenta},
        {"erasing in the key colour uncovers the video", 300, 450, topLeftVideo},
    };
    for (const Case& c : cases) {
        QVERIFY2(canvas.colourAt(c.x, c.y) == c.expected, c.what);
    }

    QImage picture(100, 100, QImage::Format_RGB32);
    picture.fill(QColor(0, 128, 0));
    canvas.setPicture(picture);
    QCOMPARE(canvas.colourAt(300, 300), QColor(0, 128, 0));
    QCOMPARE(canvas.colourAt(300, 750), QColor(Qt::white));
    QCOMPARE(canvas.colourAt(2400, 2400), QColor(100, 110, 120));  // beyond the picture
    canvas.point(300, 300, keyColour);                             // erasing over the picture
    QCOMPARE(canvas.colourAt(300, 300), topLeftVideo);

    canvas.clearPicture();
    QCOMPARE(canvas.colourAt(300, 150), topLeftVideo);
    canvas.setVideoFrame({});
    QCOMPARE(canvas.colourAt(300, 150), keyColour);
}

void OverlayCanvasTest::theVideoIsFittedWithBlackBars() {
    OverlayCanvas canvas;
    canvas.resize(400, 200);
    canvas.setVideoFrame(quarters(160, 120));  // 4:3 on a 2:1 surface: 267 wide, centred
    QCOMPARE(canvas.videoRect(), QRect(67, 0, 266, 200));
    QCOMPARE(canvas.colourAt(15 * 10, 15 * 100), QColor(Qt::black));
    QCOMPARE(canvas.colourAt(15 * 390, 15 * 100), QColor(Qt::black));
    QCOMPARE(canvas.colourAt(15 * 100, 15 * 50), QColor(10, 20, 30));
    QCOMPARE(canvas.colourAt(15 * 300, 15 * 150), QColor(100, 110, 120));
    QCOMPARE(canvas.videoAsShown().pixelColor(100, 50), QColor(10, 20, 30));
    QCOMPARE(canvas.videoAsShown().pixelColor(10, 50), QColor(Qt::black));
}

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
