#include <QComboBox>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "screens/measure/measure_screen.h"
#include "screens/results/results_screen.h"
#include "screens/setup/setup_screen.h"
#include "screens/start/start_screen.h"
#include "screens/widgets/overlay_canvas.h"
#include "support/app_harness.h"

using quillon::platform::ArrowKey;
using namespace quillon::testing;

// Walks the program through a slalom pass over the demo course and saves what a person sees
// of each screen: the whole display. Not a test (CTest does not list it): scripts/screenshots.sh
// runs it in 1920 x 1080 and 1024 x 768 Xvfb displays with QUILLON_SCREENSHOTS naming the
// folder.
class ScreenTourTest : public QObject {
    Q_OBJECT

  private slots:
    void tourOfTheDemoCourse();
};

namespace {

// "measure-screen.png" on the 1920 x 1080 display the README shows, "measure-screen-1024.png"
// on a 1024-wide one.
void save_display(const QString& folder, const char* name) {
    QTest::qWait(300);  // let the window system map and paint the window
    QScreen* screen = QGuiApplication::primaryScreen();
    QString file = QString::fromLatin1(name);
    if (screen->size().width() != 1920) {
        file.replace(".png", QStringLiteral("-%1.png").arg(screen->size().width()));
    }
    QVERIFY(screen->grabWindow(0).save(folder + "/" + file));
}

}  // namespace

void ScreenTourTest::tourOfTheDemoCourse() {
    const QString folder = qEnvironmentVariable("QUILLON_SCREENSHOTS");
    if (folder.isEmpty()) {
        QFAIL("set QUILLON_SCREENSHOTS to the folder the screenshots go in");
    }
    const QString data = QStringLiteral(QUILLON_DATA_DIR "/");
    AppHarness h;
    h.joystick.positionResult = quillon::platform::joystick_result::unplugged;
    h.startWithResultsHere();
    auto& start = h.app.start();
    control<QComboBox>(start, "cbSkiers")->setEditText("Jane Doe");
    control<QComboBox>(start, "cbDrivers")->setEditText("Bo Reyes");
    click(start, "btnSetup");

    auto& setup = h.app.setup();
    h.dialogs.fileAnswers = {data + "SlalomOK.bmp", data + "SlalomOK.ipt"};
    trigger(setup, "mnuLoadPicture");
    trigger(setup, "gridLoad");
    click(setup, "show_alignment");
    click(setup, "btnShowAllBuoys");
    save_display(folder, "setup-screen.png");
    trigger(setup, "gridExit");

    click(start, "Command1");
    auto& measure = h.app.measure();
    measure.canvas().setPicture(QImage(data + "SlalomOK.bmp"));
    click_option(measure, "cbPath");
    click(measure, "Command1");
    h.dialogs.inputAnswers = {QString("10.4"), QString("17.2"), QString("calm")};
    auto& poll = *h.pulseClocks.clocks[0];
    auto& sampling = *h.pulseClocks.clocks[1];
    // The operator lets the boat drift right, then brings it back across the centre.
    for (int tick = 0;; ++tick) {
        h.keys.hold(ArrowKey::Right, tick < 8);
        h.keys.hold(ArrowKey::Left, tick >= 60 && tick < 75);
        poll.tick();
        poll.tick();
        if (tick == 80) {
            save_display(folder, "measure-screen.png");
        }
        if (!sampling.tick()) {
            break;
        }
    }
    auto& results = h.app.results();
    QTRY_VERIFY(!control<QTimer>(results, "Timer1")->isActive());
    save_display(folder, "results-screen.png");
}

QTEST_MAIN(ScreenTourTest)
#include "screen_tour.moc"
