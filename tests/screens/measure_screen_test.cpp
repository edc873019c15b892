#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "calibration/calibration.h"
#include "course/reference_course.h"
#include "screens/measure/measure_screen.h"
#include "screens/results/results_screen.h"
#include "screens/start/start_screen.h"
#include "screens/widgets/line_shape.h"
#include "screens/widgets/overlay_canvas.h"
#include "support/app_harness.h"

using quillon::platform::ArrowKey;
using quillon::screens::LineShape;
using quillon::screens::MeasureScreen;
using quillon::screens::OverlayCanvas;
using namespace quillon::testing;

namespace {

// A camera looking straight down: survey x = (X - 4096) / 1024 and y = (1000 - Y) / 16, so
// every mapping in the tests is exact.
// The Setup screen exists before any setup is valid: its load clears the flag.
void use_plan_view(quillon::app::Application& app, quillon::session::PassSession& session) {
    app.setup();
    auto& model = session.calibration.model;
    model.set_coefficients({-4.0, 1.0 / 1024, 0, 0, 0, 62.5, 0, -1.0 / 16});
    session.setupValid = 1;
}

double screen_x(double surveyX) {
    return 4096 + 1024 * surveyX;
}
double screen_y(double surveyY) {
    return 1000 - 16 * surveyY;
}

// A program with a valid plan-view setup, its results folder its own folder, and the Measure
// screen up from the Start screen.
struct OnMeasure : AppHarness {
    OnMeasure() {
        startWithResultsHere();
        use_plan_view(app, session);
        dialogs.inputAnswers = {QString(), QString(), QString()};
    }
    MeasureScreen& open() {
        click(app.start(), "Command1");
        return app.measure();
    }
    FakePulseClock& tmr1() { return *pulseClocks.clocks[0]; }
    FakePulseClock& tmr2() { return *pulseClocks.clocks[1]; }
    // Ticks the sampling clock until the pass ends; returns the number of ticks.
    int runPass() {
        int ticks = 0;
        while (tmr2().tick()) {
            ++ticks;
        }
        return ticks + 1;
    }
};

}  // namespace

class MeasureScreenTest : public QObject {
    Q_OBJECT

  private slots:
    void aPassStoresNPlusOneSamples_data();
    void aPassStoresNPlusOneSamples();
    void aShorterPassLeavesTheOldSamplesAboveItsEnd();
    void viewOnlyFlipsTheDirectionAndStaysUp_data();
    void viewOnlyFlipsTheDirectionAndStaysUp();
    void arrowKeysMoveTheLineOneStepPerPoll();
    void theDeviationIsRoundedHalvesUp_data();
    void theDeviationIsRoundedHalvesUp();
    void entriesAreKeptWithinTheirLimits_data();
    void entriesAreKeptWithinTheirLimits();
    void hiddenStatusShowsNeitherTimeNorDone();
    void theJoystickSetsTheLineFromItsRestPosition();
    void withoutAJoystickTheOperatorIsToldOnce();
    void activationFillsThePassInformation();
    void enterOnStartPassStartsThePass();
    void withTheMouseOnlyTheBareSurfaceStartsAPass();
    void theDurationCheckIsAPreciseOneShotOfTheNominalPass();
    void restoringFromMinimizedLeavesThePassAsItWas_data();
    void restoringFromMinimizedLeavesThePassAsItWas();
    void panelsKeepClearOfEachOtherAndOfTheMarks_data();
    void panelsKeepClearOfEachOtherAndOfTheMarks();
    void marksOfThePreviousSetupOrDisciplineAreCleared_data();
    void marksOfThePreviousSetupOrDisciplineAreCleared();
};

void MeasureScreenTest::aPassStoresNPlusOneSamples_data() {
    QTest::addColumn<QString>("discipline");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<int>("samples");
    QTest::addColumn<QString>("lastDistance");
    QTest::addColumn<double>("centreX");  // the survey x of the path the line starts on
    QTest::addColumn<double>("startY");   // where the marker starts and ends, survey y
    QTest::addColumn<double>("endY");
    const struct {
        const char *name, *discipline, *speed, *direction;
        int samples;
        const char* lastDistance;
        double centreX, startY, endY;
    } rows[] = {
        {"slalom 58", "optSlalom", "opt36", "optTowards", 162, "259.0", 1.25, 0, -259},
        {"slalom 46 away", "optSlalom", "optOtherSpeed", "optAway", 204, "259.0", 1.25, -259, 0},
        {"jump 72", "optJump", "optj45", "optTowards", 141, "280.0", 2, 0, -280},
        // Jump counts from the slalom's gates too: going away it ends 280 m on from -259.
        {"jump 72 away", "optJump", "optj45", "optAway", 141, "280.0", 2, -259, 21},
        {"jump 48", "optJump", "optj30", "optTowards", 211, "280.0", 2, 0, -280}};
    for (const auto& r : rows) {
        QTest::newRow(r.name) << r.discipline << r.speed << r.direction << r.samples
                              << r.lastDistance << r.centreX << r.startY << r.endY;
    }
}

void MeasureScreenTest::aPassStoresNPlusOneSamples() {
    QFETCH(QString, discipline);
    QFETCH(QString, speed);
    QFETCH(QString, direction);
    QFETCH(int, samples);
    QFETCH(QString, lastDistance);
    QFETCH(double, centreX);
    QFETCH(double, startY);
    QFETCH(double, endY);
    OnMeasure h;
    click_option(h.app.start(), qPrintable(discipline));
    click_option(h.app.start(), qPrintable(speed));
    click_option(h.app.start(), qPrintable(direction));
    auto& measure = h.open();
    // The marker starts where the boat enters the course, centred on the path with the line.
    auto* marker = control<LineShape>(measure, "lnHorizPos");
    QCOMPARE(marker->Y1(), screen_y(startY));
    QCOMPARE(marker->X1(), screen_x(centreX) - 400);
    QCOMPARE(marker->X2(), screen_x(centreX) + 400);
    QCOMPARE(control<LineShape>(measure, "lnMeasure")->X1(), screen_x(centreX));
    QCOMPARE(control<LineShape>(measure, "lnMeasure1")->X1(), screen_x(centreX) + 15);

    click(measure, "Command1");
    QVERIFY(measure.passRunning());
    QCOMPARE(h.tmr1().periodMs(), 50);
    QCOMPARE(h.tmr2().periodMs(), 100);
    // Every sample moves the marker to the course's row of that sample, as the recorder and
    // the tracker take it (course::pass_row_y).
    const auto passDirection = direction == "optAway" ? quillon::course::Direction::Away
                                                      : quillon::course::Direction::Towards;
    const double length = quillon::course::course_length(discipline == "optJump"
                                                             ? quillon::course::Discipline::Jump
                                                             : quillon::course::Discipline::Slalom);
    int ticks = 1;
    while (h.tmr2().tick()) {
        ++ticks;
        const int k = h.session.sampleIndex - 1;
        const double rowY =
            quillon::course::pass_row_y(passDirection, double(k) / (samples - 1) * length);
        QVERIFY2(std::abs(marker->Y1() - screen_y(rowY)) < 1e-6, qPrintable(QString::number(k)));
    }
    QCOMPARE(ticks, samples);
    QCOMPARE(h.session.sampleIndex, samples);
    QCOMPARE(int(h.session.passSampleCount), samples);
    QCOMPARE(control<QLineEdit>(measure, "txtSample")->text(), QString::number(samples - 1));
    QCOMPARE(control<QLineEdit>(measure, "txtDistance")->text(), lastDistance);
    QCOMPARE(marker->Y1(), screen_y(endY));
    QCOMPARE(h.session.passMeasured, 1);
    QVERIFY(!h.tmr1().running() && !h.tmr2().running());
    // The joystick rests at the centre: all samples 0 give zero figures.
    QCOMPARE(h.session.passMeanAbsDeviation, 0.0);
    QCOMPARE(h.session.passMaxAbsDeviation, 0.0);
    QCOMPARE(int(h.session.passMaxAbsIndex), 0);
    QVERIFY(!h.session.keepStartFocus);
    // "Pass Completed", then the Results screen in place of this one.
    QCOMPARE(h.dialogs.messages().back().text, QString("Pass Completed"));
    QVERIFY(!measure.isVisible());
    QVERIFY(h.app.results().isVisible());
}

void MeasureScreenTest::aShorterPassLeavesTheOldSamplesAboveItsEnd() {
    OnMeasure h;
    click_option(h.app.start(), "optOtherSpeed");
    auto& measure = h.open();
    // The keys move the line only while no joystick sets it.
    h.joystick.positionResult = quillon::platform::joystick_result::unplugged;
    auto& keys = h.keys;
    // Hold the line off centre for the whole first, longer pass.
    keys.hold(ArrowKey::Right, true);
    measure.Timer1_Timer();
    keys.hold(ArrowKey::Right, false);
    click(measure, "Command1");
    h.runPass();
    QVERIFY(h.session.samples[203] != 0);

    h.app.unloadResults();
    measure.show();
    click_option(h.app.start(), "opt36");
    measure.Form_Activate();
    click(measure, "Command1");
    QCOMPARE(h.runPass(), 162);
    QCOMPARE(h.session.samples[100], 0.0);
    QVERIFY(h.session.samples[162] != 0);
    QVERIFY(h.session.samples[203] != 0);
    QCOMPARE(h.session.passMaxAbsDeviation, 0.0);
}

void MeasureScreenTest::viewOnlyFlipsTheDirectionAndStaysUp_data() {
    QTest::addColumn<QString>("discipline");
    QTest::addColumn<bool>("awayAfter");
    QTest::newRow("slalom") << "optSlalom" << true;
    QTest::newRow("jump") << "optJump" << false;
}

void MeasureScreenTest::viewOnlyFlipsTheDirectionAndStaysUp() {
    QFETCH(QString, discipline);
    QFETCH(bool, awayAfter);
    OnMeasure h;
    click_option(h.app.start(), qPrintable(discipline));
    auto& measure = h.open();
    click_option(measure, "chkViewOnly");
    click(measure, "Command1");
    h.runPass();
    QVERIFY(measure.isVisible());
    QVERIFY(!h.app.hasResultsScreen());
    QCOMPARE(control<QRadioButton>(h.app.start(), "optAway")->isChecked(), awayAfter);
    QCOMPARE(measure.findChild<LineShape*>("lnHorizPos")->Y1(), screen_y(awayAfter ? -259.0 : 0.0));
    QCOMPARE(h.session.directionSign, awayAfter ? 1.0 : -1.0);
}

void MeasureScreenTest::arrowKeysMoveTheLineOneStepPerPoll() {
    OnMeasure h;
    auto& measure = h.open();
    auto* line = measure.findChild<LineShape*>("lnMeasure");
    auto* twin = measure.findChild<LineShape*>("lnMeasure1");
    // The keys move the line only while no joystick sets it.
    h.joystick.positionResult = quillon::platform::joystick_result::unplugged;
    const double start = line->X1();
    h.keys.hold(ArrowKey::Right, true);
    for (int poll = 0; poll < 20; ++poll) {
        measure.Timer1_Timer();
    }
    h.keys.hold(ArrowKey::Right, false);
    QCOMPARE(line->X1(), start + 300);
    QCOMPARE(twin->X1(), start + 315);

    // Up stops at the top end 720; Down stops once past 6000.
    h.keys.hold(ArrowKey::Up, true);
    measure.Timer1_Timer();
    QCOMPARE(line->Y1(), 720.0);
    h.keys.hold(ArrowKey::Up, false);
    line->setY1(5985);
    h.keys.hold(ArrowKey::Down, true);
    measure.Timer1_Timer();
    QCOMPARE(line->Y1(), 6030.0);
    measure.Timer1_Timer();
    QCOMPARE(line->Y1(), 6030.0);
    QCOMPARE(line->Y2(), 6360.0);
}

void MeasureScreenTest::theDeviationIsRoundedHalvesUp_data() {
    QTest::addColumn<double>("offset");
    QTest::addColumn<QString>("shown");
    QTest::newRow("0.125 right") << 0.125 << "0.13";
    QTest::newRow("0.125 left") << -0.125 << "-0.12";
    QTest::newRow("centre") << 0.0 << "0";
    QTest::newRow("0.07") << 0.0703125 << "0.07";
    QTest::newRow("a metre") << 1.0 << "1";
}

void MeasureScreenTest::theDeviationIsRoundedHalvesUp() {
    QFETCH(double, offset);
    QFETCH(QString, shown);
    OnMeasure h;
    auto& measure = h.open();
    measure.findChild<LineShape*>("lnMeasure")->setX(screen_x(1.25 + offset));
    measure.Timer1_Timer();
    QCOMPARE(control<QLineEdit>(measure, "txtDeviation")->text(), shown);
}

void MeasureScreenTest::entriesAreKeptWithinTheirLimits_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    const char* rows[][3] = {{"txtBoundryWidth", "30", "24"},   {"txtBoundryWidth", "0", "1"},
                             {"txtBoundryWidth", "wide", "1"},  {"txtBoundryWidth", "7", "7"},
                             {"txtJumpBoundry", "0.1", "0.2"},  {"txtJumpBoundry", "1.5", "1.0"},
                             {"txtJumpBoundry", "0.75", "0.75"}};
    for (const auto& row : rows) {
        QTest::addRow("%s %s", row[0], row[1]) << row[0] << row[1] << row[2];
    }
}

void MeasureScreenTest::entriesAreKeptWithinTheirLimits() {
    QFETCH(QString, entry);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    OnMeasure h;
    auto& measure = h.open();
    control<QLineEdit>(measure, qPrintable(entry))->setText(typed);
    QCOMPARE(control<QLineEdit>(measure, qPrintable(entry))->text(), kept);
    if (entry == "txtBoundryWidth") {
        QCOMPARE(measure.findChild<LineShape*>("lnLeft")->width(), kept.toInt());
        QCOMPARE(measure.findChild<LineShape*>("lnRight")->width(), kept.toInt());
    } else {
        QCOMPARE(measure.boundaryDistance(), kept.toDouble());
    }
}

void MeasureScreenTest::hiddenStatusShowsNeitherTimeNorDone() {
    OnMeasure h;
    auto& measure = h.open();
    click_option(measure, "chkViewOnly");
    click(measure, "cmdStatus");
    QVERIFY(measure.statusHidden());
    click(measure, "Command1");
    control<QTimer>(measure, "checkTimer")->start(1);
    QTRY_VERIFY(!control<QTimer>(measure, "checkTimer")->isActive());
    h.runPass();
    QVERIFY(!control(measure, "Label3")->isVisible());
    QVERIFY(!control(measure, "Label7")->isVisible());

    click(measure, "cmdStatus");
    QVERIFY(!measure.statusHidden());
    click(measure, "Command1");
    control<QTimer>(measure, "checkTimer")->start(1);
    QTRY_VERIFY(control(measure, "Label3")->isVisible());
    h.tmr2().tick();
    // The step after the nominal duration shows how many samples had been taken.
    QCOMPARE(control<QLabel>(measure, "Label3")->text(), QString("1"));
    h.runPass();
    QVERIFY(control(measure, "Label7")->isVisible());
}

void MeasureScreenTest::theJoystickSetsTheLineFromItsRestPosition() {
    OnMeasure h;
    auto& measure = h.open();
    auto* line = measure.findChild<LineShape*>("lnMeasure");
    const double centre = measure.findChild<LineShape*>("lnHorizPos")->X1() + 400;
    measure.Timer1_Timer();
    QCOMPARE(line->X1(), centre);
    QCOMPARE(measure.findChild<LineShape*>("lnMeasure1")->X1(), centre - 15);
    QCOMPARE(control<QLabel>(measure, "status")->text(), QString("Status: Joystick Connected"));

    h.joystick.current.x = 32767 + 65356;
    measure.Timer1_Timer();
    QCOMPARE(line->X1(), centre + 1250);

    h.joystick.positionResult = quillon::platform::joystick_result::unplugged;
    measure.Timer1_Timer();
    QCOMPARE(control<QLabel>(measure, "status")->text(), QString("Status: Joystick Unplugged"));
    QCOMPARE(line->X1(), centre + 1250);
    h.joystick.positionResult = 6;
    measure.Timer1_Timer();
    QCOMPARE(control<QLabel>(measure, "status")->text(),
             QString("Status: joyGetPosEx error, rc = 6"));
}

void MeasureScreenTest::withoutAJoystickTheOperatorIsToldOnce() {
    AppHarness h;
    h.joystick.capabilitiesResult = quillon::platform::joystick_result::badDevice;
    h.joystick.positionResult = quillon::platform::joystick_result::badDevice;
    h.startWithResultsHere();
    use_plan_view(h.app, h.session);
    const auto messages = h.dialogs.messages();
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].text, QString("Couldn't Detect the Joystick."));
    h.app.measure().show();
    h.app.measure().hide();
    h.app.measure().show();
    QCOMPARE(h.dialogs.messages().size(), size_t(1));  // told at start-up only
    QCOMPARE(control<QLabel>(h.app.measure(), "status")->text(),
             QString("Status: joyGetPosEx error, rc = 165"));
}

void MeasureScreenTest::activationFillsThePassInformation() {
    OnMeasure h;
    auto& start = h.app.start();
    click_option(start, "optOtherSpeed");
    click_option(start, "Option9");
    auto& measure = h.open();
    QCOMPARE(control<QLabel>(measure, "lblSpeed")->text(), QString("46"));
    QCOMPARE(control<QLabel>(measure, "lblLine")->text(), QString(" 9.75"));
    QVERIFY(h.session.keepStartFocus);
    QVERIFY(!control(measure, "frmJumpPath")->isVisible());

    // Jump: the path centre is Split unless View Only picks another.
    click(measure, "btnAbort");
    click_option(start, "optJump");
    h.open();
    QCOMPARE(measure.pathCentreX(), 2.0);
    QVERIFY(!control(measure, "lblLine")->isVisible());
    click_option(measure, "optjwide");
    QCOMPARE(measure.pathCentreX(), 2.0);
    click_option(measure, "chkViewOnly");
    click_option(measure, "optjnarrow");
    QCOMPARE(measure.pathCentreX(), 1.0);
    QCOMPARE(measure.findChild<LineShape*>("lnMeasure")->X1(), screen_x(1.0));
}

void MeasureScreenTest::enterOnStartPassStartsThePass() {
    OnMeasure h;
    auto& measure = h.open();
    auto* startPass = control<QPushButton>(measure, "Command1");
    startPass->setFocus();
    QTest::keyClick(startPass, Qt::Key_Return);
    QVERIFY(measure.passRunning());
    QCOMPARE(h.tmr2().starts, 1);
    // Again while running: the pass starts over from sample 0.
    h.tmr2().tick();
    QTest::keyClick(startPass, Qt::Key_Return);
    QCOMPARE(h.session.sampleIndex, 0);
    QCOMPARE(h.tmr2().starts, 2);
}

void MeasureScreenTest::withTheMouseOnlyTheBareSurfaceStartsAPass() {
    OnMeasure h;
    auto& measure = h.open();
    click_option(measure, "chkUseMouse");
    for (const char* label : {"Label1", "lblSpeed", "Label5", "Label11"}) {
        QTest::mouseClick(control<QLabel>(measure, label), Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY2(!measure.passRunning(), label);
    }
    auto& canvas = measure.canvas();
    const QPoint bare(canvas.width() / 2, canvas.height() / 2);
    QVERIFY(!canvas.childAt(bare));
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, bare);
    QVERIFY(measure.passRunning());
}

// A coarse timer may fire up to 5 % early, which showed "Time" at 156 of 161 samples.
void MeasureScreenTest::theDurationCheckIsAPreciseOneShotOfTheNominalPass() {
    OnMeasure h;
    auto& measure = h.open();
    click(measure, "Command1");
    auto* check = control<QTimer>(measure, "checkTimer");
    QVERIFY(check->isActive());
    QVERIFY(check->isSingleShot());
    QCOMPARE(check->interval(), 161 * 100);
    QCOMPARE(check->timerType(), Qt::PreciseTimer);
}

void MeasureScreenTest::restoringFromMinimizedLeavesThePassAsItWas_data() {
    QTest::addColumn<int>("restoredTo");
    QTest::newRow("to maximized") << int(Qt::WindowMaximized);
    QTest::newRow("to normal") << int(Qt::WindowNoState);
}

void MeasureScreenTest::restoringFromMinimizedLeavesThePassAsItWas() {
    QFETCH(int, restoredTo);
    OnMeasure h;
    auto& measure = h.open();
    auto* line = measure.findChild<LineShape*>("lnMeasure");
    auto* marker = measure.findChild<LineShape*>("lnHorizPos");
    h.joystick.positionResult = quillon::platform::joystick_result::unplugged;
    click(measure, "Command1");
    for (int step = 0; step < 20; ++step) {
        h.tmr2().tick();
    }
    h.keys.hold(ArrowKey::Right, true);
    measure.Timer1_Timer();
    h.keys.hold(ArrowKey::Right, false);
    const double lineX = line->X1();
    const double markerY = marker->Y1();
    QVERIFY(lineX != screen_x(1.25));
    QVERIFY(markerY != screen_y(0));

    // As the window system minimizes and restores it: the pass goes on where it was.
    measure.showMinimized();
    QVERIFY(measure.isMinimized());
    measure.setWindowState(Qt::WindowStates(restoredTo));
    QVERIFY(!measure.isMinimized());
    QCOMPARE(line->X1(), lineX);
    QCOMPARE(marker->Y1(), markerY);
    QVERIFY(measure.passRunning());
    h.tmr2().tick();
    QCOMPARE(h.session.sampleIndex, 21);

    // Shown by the program, the screen is activated again: line and marker at the start. So it
    // is when it was left while minimized (a pass ends, and the screen hides, while it is).
    click(measure, "btnAbort");
    h.open();
    QCOMPARE(line->X1(), screen_x(1.25));
    QCOMPARE(marker->Y1(), screen_y(0));
    line->setX(screen_x(2));
    measure.showMinimized();
    measure.hide();
    h.app.start().show();
    h.open();
    QVERIFY(!measure.isMinimized());
    QCOMPARE(line->X1(), screen_x(1.25));
}

void MeasureScreenTest::panelsKeepClearOfEachOtherAndOfTheMarks_data() {
    QTest::addColumn<QString>("course");
    QTest::addColumn<QSize>("display");
    QTest::addColumn<bool>("collapsed");  // the options collapsed to their button
    for (const QString course : {"Slalom", "Jump"}) {
        for (const QSize display : {QSize(1024, 768), QSize(1280, 1024), QSize(1920, 1080)}) {
            for (const bool collapsed : {false, true}) {
                const QString name = QStringLiteral("%1 %2x%3%4")
                                         .arg(course)
                                         .arg(display.width())
                                         .arg(display.height())
                                         .arg(collapsed ? " collapsed" : "");
                QTest::newRow(qPrintable(name)) << course << display << collapsed;
            }
        }
    }
}

// The demo setups are calibrated for a 1024 x 768 surface, so their buoys lie where a camera
// behind the near gate puts them on the smallest screen the program supports. The panels are
// checked with everything they can show: a long name, the joystick's error, the mouse hint,
// and with the options collapsed. No pixel of the course between the gates is under a panel,
// nor, where the options stack into a column, the measurement line up to the top of the surface
// (a boat coming toward the camera is there at the start of its pass).
void MeasureScreenTest::panelsKeepClearOfEachOtherAndOfTheMarks() {
    QFETCH(QString, course);
    QFETCH(QSize, display);
    QFETCH(bool, collapsed);
    AppHarness h;
    h.joystick.positionResult = quillon::platform::joystick_result::badDevice;
    h.startWithResultsHere();
    h.session.screenWidthPx = std::to_string(display.width());
    h.session.screenHeightPx = std::to_string(display.height());
    h.app.setup();
    auto& start = h.app.start();
    if (course == "Jump") {
        click_option(start, "optJump");
    }
    control<QComboBox>(start, "cbDrivers")->setEditText("Bartholomew Montgomery-Fitzgerald");
    const QString setupFile = QStringLiteral(QUILLON_DATA_DIR "/") + course + "OK.ipt";
    QVERIFY(quillon::calibration::load_setup_file(h.session.calibration, setupFile.toStdString())
                .display.has_value());
    quillon::calibration::finish_setup_load(h.session.calibration, h.session.setupValid);
    click(start, "Command1");
    auto& measure = h.app.measure();
    QCOMPARE(measure.centralWidget()->width(), display.width());
    click_option(measure, "chkUseMouse");
    if (collapsed) {
        click(measure, "btnOptions");
        QVERIFY(!control(measure, "optionsBody")->isVisible());
        QCOMPARE(control<QPushButton>(measure, "btnOptions")->text(), QString("Show Options"));
    }
    measure.Timer1_Timer();
    QApplication::processEvents();

    const QWidget* surface = measure.centralWidget();
    const QRect information = control(measure, "informationPanel")->geometry();
    const QRect options = control(measure, "optionsPanel")->geometry();
    QVERIFY(!information.intersects(options));
    // Each wholly on the surface, in its own corner.
    for (const QRect& panel : {information, options}) {
        QVERIFY(surface->rect().contains(panel));
    }
    QVERIFY(information.left() <= 8 && surface->height() - 1 - information.bottom() <= 8);
    // The band of options in the upper-right corner; a column of them against the top or the
    // bottom edge.
    const bool stacked = display.width() < 1280;
    QVERIFY(options.top() <= 8 || (stacked && surface->height() - 1 - options.bottom() <= 8));
    QVERIFY(stacked || surface->width() - 1 - options.right() <= 8);

    const auto& gates = h.session.calibration.corners;
    const QPolygon between({QPointF(gates.ul_screen_x, gates.ul_screen_y).toPoint() / 15,
                            QPointF(gates.ur_screen_x, gates.ur_screen_y).toPoint() / 15,
                            QPointF(gates.lr_screen_x, gates.lr_screen_y).toPoint() / 15,
                            QPointF(gates.ll_screen_x, gates.ll_screen_y).toPoint() / 15});
    const QRegion courseBetweenGates(between, Qt::OddEvenFill);
    for (const QRect& panel : {information, options}) {
        QVERIFY2(courseBetweenGates.intersected(panel).isEmpty(),
                 qPrintable(QStringLiteral("the course under the panel at %1, %2 %3 x %4")
                                .arg(panel.x())
                                .arg(panel.y())
                                .arg(panel.width())
                                .arg(panel.height())));
    }
    if (stacked) {
        // Straight up from the middle of the far gate.
        const QPoint farGate =
            QPointF((gates.ul_screen_x + gates.ur_screen_x) / 30, gates.ul_screen_y / 15).toPoint();
        const QRect beyondFarGate(QPoint(farGate.x() - 2, 0), QPoint(farGate.x() + 2, farGate.y()));
        QVERIFY(!beyondFarGate.intersects(options));
    }

    const auto& c = h.session.calibration.corners;
    const double radius = h.session.calibration.marker_circle_radius / 15 + 1;  // and the pen
    QVERIFY(radius > 1);
    const QPointF marks[] = {{c.ul_screen_x / 15, c.ul_screen_y / 15},
                             {c.ur_screen_x / 15, c.ur_screen_y / 15},
                             {c.ll_screen_x / 15, c.ll_screen_y / 15},
                             {c.lr_screen_x / 15, c.lr_screen_y / 15}};
    for (const QPointF& mark : marks) {
        for (const QRect& panel : {information, options}) {
            const QRectF area(panel);
            const double dx = mark.x() - std::clamp(mark.x(), area.left(), area.right());
            const double dy = mark.y() - std::clamp(mark.y(), area.top(), area.bottom());
            QVERIFY2(std::hypot(dx, dy) > radius,
                     qPrintable(QStringLiteral("mark at %1, %2 under the panel at %3, %4 %5 x %6")
                                    .arg(mark.x())
                                    .arg(mark.y())
                                    .arg(panel.x())
                                    .arg(panel.y())
                                    .arg(panel.width())
                                    .arg(panel.height())));
        }
    }
}

namespace {

// The plan view moved `shift` twips to the right, its gate buoys marked where it puts them.
void use_shifted_plan_view(quillon::session::PassSession& session, double shift) {
    session.calibration.model.set_coefficients(
        {-4.0 - shift / 1024, 1.0 / 1024, 0, 0, 0, 62.5, 0, -1.0 / 16});
    auto& c = session.calibration.corners;
    c = {screen_x(2.5) + shift, screen_y(0),    screen_x(0) + shift, screen_y(0),
         screen_x(2.5) + shift, screen_y(-259), screen_x(0) + shift, screen_y(-259)};
}

}  // namespace

void MeasureScreenTest::marksOfThePreviousSetupOrDisciplineAreCleared_data() {
    QTest::addColumn<double>("shift");        // twips the second setup moves everything right
    QTest::addColumn<QString>("discipline");  // selected before the screen comes up again
    QTest::addColumn<bool>("buoysGone");      // whether the first setup's buoy marks must go
    QTest::newRow("another setup") << 3000.0 << "optSlalom" << true;
    QTest::newRow("jump instead of slalom") << 0.0 << "optJump" << false;
    QTest::newRow("another setup and jump") << 3000.0 << "optJump" << true;
}

// The first setup's marks are drawn, then the screen comes up again after another setup was
// loaded or the discipline changed: only the marks of now are on the surface.
void MeasureScreenTest::marksOfThePreviousSetupOrDisciplineAreCleared() {
    QFETCH(double, shift);
    QFETCH(QString, discipline);
    QFETCH(bool, buoysGone);
    OnMeasure h;
    use_shifted_plan_view(h.session, 0);
    auto& measure = h.open();
    const QImage& drawing = measure.canvas().drawing();
    // Anything drawn within a pixel of the point.
    const auto drawn = [&](double xTwips, double yTwips) {
        const QPoint centre = OverlayCanvas::toPixels(xTwips, yTwips).toPoint();
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (drawing.pixelColor(centre + QPoint(dx, dy)).alpha() > 0) {
                    return true;
                }
            }
        }
        return false;
    };
    // The first setup's buoy marks, and its slalom guide crosses and centre-line ticks.
    std::vector<QPointF> buoys, slalomOverlay;
    for (const double x : {0.0, 2.5}) {
        for (const double y : {0.0, -259.0}) {
            buoys.emplace_back(screen_x(x), screen_y(y));
        }
    }
    for (const double y : {-27.0, -68.0, -109.0, -150.0, -191.0, -232.0}) {
        for (const double x : {0.1, 1.25, 2.4}) {
            slalomOverlay.emplace_back(screen_x(x), screen_y(y));
        }
    }
    for (const auto* marks : {&buoys, &slalomOverlay}) {
        for (const QPointF& mark : *marks) {
            QVERIFY(drawn(mark.x(), mark.y()));
        }
    }

    click(measure, "btnAbort");
    use_shifted_plan_view(h.session, shift);
    click_option(h.app.start(), qPrintable(discipline));
    h.open();
    for (const QPointF& mark : slalomOverlay) {
        QVERIFY2(
            !drawn(mark.x(), mark.y()),
            qPrintable(QStringLiteral("a mark of before at %1, %2").arg(mark.x()).arg(mark.y())));
    }
    for (const QPointF& mark : buoys) {
        QCOMPARE(drawn(mark.x(), mark.y()), !buoysGone);
        QVERIFY(drawn(mark.x() + shift, mark.y()));
    }
}

QTEST_MAIN(MeasureScreenTest)
#include "measure_screen_test.moc"
