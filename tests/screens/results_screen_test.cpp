#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include "screens/results/deviation_graph.h"
#include "screens/results/results_screen.h"
#include "screens/start/start_screen.h"
#include "screens/widgets/line_shape.h"
#include "screens/widgets/overlay_canvas.h"
#include "support/app_harness.h"

using quillon::platform::MessageStyle;
using quillon::screens::DeviationGraph;
using quillon::screens::LineShape;
using quillon::testing::AppHarness;

namespace {

template <typename T>
T* control(QWidget& screen, const char* name) {
    T* found = screen.findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no control %s", name);
    }
    return found;
}

void click_option(QRadioButton* option) {
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
}

// A program whose results folder is its own folder, with a measured pass of all-zero samples.
struct MeasuredPass : AppHarness {
    MeasuredPass() {
        settings.values["Quillon/Settings/resultspath"] = folder.path();
        app.startUp();
        session.passMeasured = 1;
        session.lastSampleIndex = 161;
        session.passSampleCount = 162;
        dialogs.inputAnswers = {QString("12.34"), std::nullopt, QString("windy")};
    }
};

}  // namespace

class ResultsScreenTest : public QObject {
    Q_OBJECT

  private slots:
    void promptsGoIntoTheirBoxesAndTheLegendIsListed();
    void withoutAMeasuredPassNothingIsReported();
    void theGraphOfAnAllZeroPassLiesOnTheCentreLine();
    void theFrameFollowsDisciplineAndDirection();
    void returnFlipsTheDirectionInSlalomOnly();
};

void ResultsScreenTest::promptsGoIntoTheirBoxesAndTheLegendIsListed() {
    MeasuredPass h;
    auto& results = h.app.results();
    QCOMPARE(results.windowTitle(), QString("Path Deviation Display and Information"));
    QCOMPARE(control<QLabel>(results, "Label1")->text(), QString("Pass Results"));
    const QStringList prompts{"Enter split time:", "Enter full time:", "Enter comment if desired:"};
    const QStringList titles{"Split Time", "Full Time", "Comment"};
    QCOMPARE(h.dialogs.shown.size(), size_t(3));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(h.dialogs.shown[static_cast<size_t>(i)].text, prompts[i]);
        QCOMPARE(h.dialogs.shown[static_cast<size_t>(i)].title, titles[i]);
    }
    QCOMPARE(control<QLineEdit>(results, "txtSplit")->text(), QString("12.34"));
    QCOMPARE(control<QLineEdit>(results, "txtFull")->text(), QString());  // cancelled
    QCOMPARE(control<QLineEdit>(results, "txtComment")->text(), QString("windy"));
    auto* legend = control<QListWidget>(results, "List1");
    QCOMPARE(legend->count(), 2);
    QCOMPARE(legend->item(0)->text(), QString("Black/Red - Measured Data"));
    QCOMPARE(legend->item(1)->text(), QString("Blue - Best Fit Path Line"));
}

void ResultsScreenTest::withoutAMeasuredPassNothingIsReported() {
    AppHarness h;
    h.app.startUp();
    auto& results = h.app.results();
    const auto messages = h.dialogs.messages();
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].text, QString("No Results loaded yet"));
    QCOMPARE(control<QListWidget>(results, "List1")->count(), 0);
    QVERIFY(control<QPlainTextEdit>(results, "txtResults")->toPlainText().isEmpty());
    QVERIFY(!control<QTimer>(results, "Timer1")->isActive());
}

void ResultsScreenTest::theGraphOfAnAllZeroPassLiesOnTheCentreLine() {
    MeasuredPass h;
    auto& results = h.app.results();
    results.show();
    auto* timer = control<QTimer>(results, "Timer1");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 500);
    QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), 2000);

    // Every pixel drawn lies on the centre line or on the red crosses two pixels beside it,
    // and the centre line is drawn over the whole course.
    const QImage& drawing = results.canvas().drawing();
    const int centre = static_cast<int>(DeviationGraph::centreX / 15);
    int drawnRows = 0;
    for (int y = 0; y < drawing.height(); ++y) {
        bool rowDrawn = false;
        for (int x = 0; x < drawing.width(); ++x) {
            if (qAlpha(drawing.pixel(x, y)) == 0) {
                continue;
            }
            QVERIFY2(std::abs(x - centre) <= 2, qPrintable(QString("pixel %1,%2").arg(x).arg(y)));
            rowDrawn = rowDrawn || x == centre;
        }
        drawnRows += rowDrawn ? 1 : 0;
    }
    QVERIFY(drawnRows >= static_cast<int>(259 * 1.5));
    // The red cross of sample 0 at the top of the course (the boat came toward the camera).
    QCOMPARE(drawing.pixelColor(centre + 2, 20), QColor(255, 0, 0));
}

void ResultsScreenTest::theFrameFollowsDisciplineAndDirection() {
    {
        MeasuredPass h;
        auto& results = h.app.results();
        QTRY_VERIFY_WITH_TIMEOUT(!control<QTimer>(results, "Timer1")->isActive(), 2000);
        QCOMPARE(control<QLabel>(results, "Label2")->text(), QString("24    12     0    12    24"));
        QCOMPARE(control<QLabel>(results, "Label8")->text(), QString("1"));
        QCOMPARE(control<QLabel>(results, "Label3")->text(), QString("6"));
        QVERIFY(control<LineShape>(results, "Line14")->isVisible());
        QVERIFY(!control<LineShape>(results, "Line16")->isVisible());
        QCOMPARE(control<LineShape>(results, "Line2")->Y2(), 6135.0);
    }
    {
        MeasuredPass h;
        click_option(control<QRadioButton>(h.app.start(), "optAway"));
        auto& results = h.app.results();
        QTRY_VERIFY_WITH_TIMEOUT(!control<QTimer>(results, "Timer1")->isActive(), 2000);
        QCOMPARE(control<QLabel>(results, "Label8")->text(), QString("6"));
        QCOMPARE(control<QLabel>(results, "Label3")->text(), QString("1"));
    }
    {
        MeasuredPass h;
        click_option(control<QRadioButton>(h.app.start(), "optJump"));
        h.session.lastSampleIndex = 177;
        auto& results = h.app.results();
        QTRY_VERIFY_WITH_TIMEOUT(!control<QTimer>(results, "Timer1")->isActive(), 2000);
        QCOMPARE(control<QLabel>(results, "Label2")->text(), QString("48    24     0    24    48"));
        QVERIFY(!control<LineShape>(results, "Line14")->isVisible());
        QVERIFY(!control<LineShape>(results, "Line6")->isVisible());
        QVERIFY(control<LineShape>(results, "Line16")->isVisible());
        QCOMPARE(control<LineShape>(results, "Line2")->Y2(), 6615.0);
        QCOMPARE(control<LineShape>(results, "Line5")->Y1(), 6615.0);
    }
}

void ResultsScreenTest::returnFlipsTheDirectionInSlalomOnly() {
    AppHarness h;
    h.app.startUp();
    auto& start = h.app.start();
    auto* away = control<QRadioButton>(start, "optAway");

    const struct {
        const char* discipline;
        bool awayAfter;
    } cases[] = {{"optSlalom", true}, {"optSlalom", false}, {"optJump", false}};
    for (const auto& c : cases) {
        click_option(control<QRadioButton>(start, c.discipline));
        start.hide();
        auto& results = h.app.results();
        results.show();
        QTest::mouseClick(control<QPushButton>(results, "Command1"), Qt::LeftButton);
        QVERIFY(!h.app.hasResultsScreen());
        QVERIFY(start.isVisible());
        QCOMPARE(away->isChecked(), c.awayAfter);
        QCOMPARE(h.session.directionSign, c.awayAfter ? 1.0 : -1.0);
    }
}

QTEST_MAIN(ResultsScreenTest)
#include "results_screen_test.moc"
