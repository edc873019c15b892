#include <QGuiApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>
#include <functional>

#include "platform/file_filter.h"
#include "platform/key_state.h"
#include "platform/precise_pulse_clock.h"

using namespace quillon::platform;

// How the program loses (or keeps) the focus, as the window system tells it.
using FocusChange = std::function<void(QWidget& window)>;
Q_DECLARE_METATYPE(FocusChange)

class PlatformTest : public QObject {
    Q_OBJECT

  private slots:
    void pulseClockTicksUntilStopped();
    void pulseClockOneShotTicksOnce();
    void keyStateLatchesShortTaps();
    void keyStateReleasesHeldKeysWhenTheFocusGoes_data();
    void keyStateReleasesHeldKeysWhenTheFocusGoes();
    void fileFiltersBecomeQtNameFilters();
};

void PlatformTest::pulseClockTicksUntilStopped() {
    PrecisePulseClock clock;
    clock.setPeriodMs(5);
    clock.setResolutionMs(1);
    clock.setPeriodic(1);
    QList<int> elapsed;
    connect(&clock, &PulseClock::Timer, this, [&](int ms) {
        elapsed << ms;
        if (elapsed.size() == 4) {
            clock.setRunning(false);
        }
    });
    clock.setRunning(true);
    QTRY_COMPARE_WITH_TIMEOUT(elapsed.size(), 4, 5000);
    QVERIFY(!clock.running());
    // Tick k is never delivered before its deadline.
    for (int k = 0; k < elapsed.size(); ++k) {
        QVERIFY2(elapsed[k] >= 5 * (k + 1), qPrintable(QString::number(elapsed[k])));
    }
}

void PlatformTest::pulseClockOneShotTicksOnce() {
    PrecisePulseClock clock;
    clock.setPeriodMs(5);
    clock.setPeriodic(0);
    QSignalSpy ticks(&clock, &PulseClock::Timer);
    clock.setRunning(true);
    QTRY_COMPARE_WITH_TIMEOUT(ticks.count(), 1, 5000);
    QVERIFY(!clock.running());
}

void PlatformTest::keyStateLatchesShortTaps() {
    QLineEdit target;
    target.show();
    QtKeyState keys;
    QVERIFY(!keys.pressed(ArrowKey::Left));

    // Held: pressed at every query until released.
    QTest::keyPress(&target, Qt::Key_Left);
    QVERIFY(keys.pressed(ArrowKey::Left));
    QVERIFY(keys.pressed(ArrowKey::Left));
    QVERIFY(!keys.pressed(ArrowKey::Right));
    QTest::keyRelease(&target, Qt::Key_Left);
    QVERIFY(!keys.pressed(ArrowKey::Left));

    // A tap between two queries counts once.
    QTest::keyClick(&target, Qt::Key_Down);
    QVERIFY(keys.pressed(ArrowKey::Down));
    QVERIFY(!keys.pressed(ArrowKey::Down));
    QTest::keyClick(&target, Qt::Key_A);
    QVERIFY(!keys.pressed(ArrowKey::Up));
}

void PlatformTest::keyStateReleasesHeldKeysWhenTheFocusGoes_data() {
    QTest::addColumn<FocusChange>("change");
    QTest::addColumn<bool>("released");
    auto applicationState = [](Qt::ApplicationState state) {
        return FocusChange([state](QWidget&) {
            QApplicationStateChangeEvent event(state);
            QCoreApplication::sendEvent(QCoreApplication::instance(), &event);
        });
    };
    QTest::newRow("program inactive") << applicationState(Qt::ApplicationInactive) << true;
    QTest::newRow("program hidden") << applicationState(Qt::ApplicationHidden) << true;
    QTest::newRow("window deactivated") << FocusChange([](QWidget& window) {
        QEvent event(QEvent::WindowDeactivate);
        QCoreApplication::sendEvent(&window, &event);
    }) << true;
    QTest::newRow("no window has the focus") << FocusChange([](QWidget&) {
        QMetaObject::invokeMethod(qApp, "focusWindowChanged", Q_ARG(QWindow*, nullptr));
    }) << true;
    QTest::newRow("program active") << applicationState(Qt::ApplicationActive) << false;
}

// The release of a key held while the focus goes elsewhere never reaches the program.
void PlatformTest::keyStateReleasesHeldKeysWhenTheFocusGoes() {
    QFETCH(FocusChange, change);
    QFETCH(bool, released);
    QLineEdit target;
    target.show();
    QtKeyState keys;

    QTest::keyPress(&target, Qt::Key_Left);
    QVERIFY(keys.pressed(ArrowKey::Left));
    change(target);
    QCOMPARE(keys.pressed(ArrowKey::Left), !released);

    // Pressed since the last query, the key still counts once.
    QTest::keyPress(&target, Qt::Key_Right);
    change(target);
    QVERIFY(keys.pressed(ArrowKey::Right));
    QCOMPARE(keys.pressed(ArrowKey::Right), !released);

    QTest::keyRelease(&target, Qt::Key_Left);
    QTest::keyRelease(&target, Qt::Key_Right);
}

void PlatformTest::fileFiltersBecomeQtNameFilters() {
    QCOMPARE(qt_name_filters("All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files "
                             "(*.ipt)|*.ipt|"),
             QStringList(
                 {"All Files (*)", "Text Files (*.TXT *.txt)", "Parameter Files (*.ipt *.IPT)"}));
    QCOMPARE(qt_name_filters(""), QStringList());
}

QTEST_MAIN(PlatformTest)
#include "platform_test.moc"
