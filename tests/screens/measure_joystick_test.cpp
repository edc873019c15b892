#include <QLabel>
#include <QtTest>

#include "screens/measure/measure_screen.h"
#include "screens/start/start_screen.h"
#include "screens/widgets/line_shape.h"
#include "support/app_harness.h"

using quillon::platform::ArrowKey;
using quillon::screens::LineShape;
using quillon::screens::MeasureScreen;
using namespace quillon::testing;
namespace joystick_result = quillon::platform::joystick_result;

// A joystick that is missing when the program starts and is plugged in on the Measure screen.
class MeasureJoystickTest : public QObject {
    Q_OBJECT

  private slots:
    void aJoystickPluggedInLaterRestsOnThePathCentre_data();
    void aJoystickPluggedInLaterRestsOnThePathCentre();
};

void MeasureJoystickTest::aJoystickPluggedInLaterRestsOnThePathCentre_data() {
    QTest::addColumn<quint32>("rest");
    QTest::addColumn<quint32>("deflected");
    QTest::addColumn<double>("offset");  // twips from the path centre
    QTest::newRow("resting in the middle, full left") << 32768u << 0u << -627.0;
    QTest::newRow("resting off the middle, half right") << 30000u << 62678u << 625.0;
    QTest::newRow("resting at 32767, a little left") << 32767u << 26231u << -125.0;
}

void MeasureJoystickTest::aJoystickPluggedInLaterRestsOnThePathCentre() {
    QFETCH(quint32, rest);
    QFETCH(quint32, deflected);
    QFETCH(double, offset);

    AppHarness h;
    h.joystick.capabilitiesResult = joystick_result::badDevice;
    h.joystick.positionResult = joystick_result::badDevice;
    h.startWithResultsHere();
    // A camera looking straight down; the Setup screen exists before any setup is valid.
    h.app.setup();
    h.session.calibration.model.set_coefficients({-4.0, 1.0 / 1024, 0, 0, 0, 62.5, 0, -1.0 / 16});
    h.session.setupValid = 1;
    click(h.app.start(), "Command1");
    MeasureScreen& measure = h.app.measure();
    auto* line = measure.findChild<LineShape*>("lnMeasure");
    auto* twin = measure.findChild<LineShape*>("lnMeasure1");
    auto* status = control<QLabel>(measure, "status");
    const double centre = measure.findChild<LineShape*>("lnHorizPos")->X1() + 400;
    auto pollWithRightHeld = [&] {
        h.keys.hold(ArrowKey::Right, true);
        measure.Timer1_Timer();
        h.keys.hold(ArrowKey::Right, false);
    };

    // No joystick: the keys move the line.
    pollWithRightHeld();
    QCOMPARE(status->text(), QString("Status: joyGetPosEx error, rc = 165"));
    QCOMPARE(line->X1(), centre + 15);

    // Plugged in at rest: its reading now is its centre.
    h.joystick.positionResult = joystick_result::ok;
    h.joystick.current.x = rest;
    measure.Timer1_Timer();
    QCOMPARE(status->text(), QString("Status: Joystick Connected"));
    QCOMPARE(control<QLabel>(measure, "Labelx")->text(), QString::number(rest));
    QCOMPARE(line->X1(), centre);
    QCOMPARE(twin->X1(), centre - 15);

    h.joystick.current.x = deflected;
    measure.Timer1_Timer();
    QCOMPARE(line->X1(), centre + offset);
    // While it is connected it overwrites the keys' steps.
    pollWithRightHeld();
    QCOMPARE(line->X1(), centre + offset);

    // Pulled out: the line stays where it was and the keys move it again.
    h.joystick.positionResult = joystick_result::unplugged;
    pollWithRightHeld();
    QCOMPARE(status->text(), QString("Status: Joystick Unplugged"));
    QCOMPARE(line->X1(), centre + offset + 15);

    // Another joystick, resting elsewhere, is centred on its own rest reading.
    h.joystick.positionResult = joystick_result::ok;
    h.joystick.current.x = rest + 500;
    measure.Timer1_Timer();
    QCOMPARE(status->text(), QString("Status: Joystick Connected"));
    QCOMPARE(line->X1(), centre);

    // The operator was told about the missing joystick at start-up only.
    QCOMPARE(h.dialogs.messages().size(), size_t(1));
}

QTEST_MAIN(MeasureJoystickTest)
#include "measure_joystick_test.moc"
