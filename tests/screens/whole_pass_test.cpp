// A whole pass as an operator makes it: Start, Setup with a setup file, Measure with the keys
// holding the line off centre for a while, Results with its three answers, the report and the
// logs, saving the report and reading it back, and Return.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "screens/measure/measure_screen.h"
#include "screens/results/results_screen.h"
#include "screens/setup/setup_screen.h"
#include "screens/start/start_screen.h"
#include "screens/widgets/line_shape.h"
#include "support/app_harness.h"
#include "support/screen_test.h"

using quillon::platform::ArrowKey;
using namespace quillon::testing;

namespace {

QStringList lines_of(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    if (bytes.contains('\n') && !bytes.contains("\r\n")) {
        return {"(LF line ends)"};
    }
    return QString::fromUtf8(bytes).split("\r\n");
}

}  // namespace

class WholePassTest : public QObject {
    Q_OBJECT

  private slots:
    void aPassFromStartToReturn_data();
    void aPassFromStartToReturn();
};

void WholePassTest::aPassFromStartToReturn_data() {
    QTest::addColumn<QString>("course");
    QTest::addColumn<int>("lastSample");
    QTest::addColumn<bool>("awayAfter");
    QTest::newRow("slalom") << "Slalom" << 161 << true;
    QTest::newRow("jump") << "Jump" << 177 << false;
}

void WholePassTest::aPassFromStartToReturn() {
    QFETCH(QString, course);
    QFETCH(int, lastSample);
    QFETCH(bool, awayAfter);
    const bool slalom = course == "Slalom";
    AppHarness h;
    const QString setupFile = h.path(course + "OK.ipt");
    QVERIFY(QFile::copy(QStringLiteral(QUILLON_DATA_DIR "/") + course + "OK.ipt", setupFile));

    // Start: the pass description.
    h.startWithResultsHere();
    auto& start = h.app.start();
    if (!slalom) {
        click_option(control<QRadioButton>(start, "optJump"));
    }
    control<QComboBox>(start, "cbSkiers")->setEditText("Jane Doe");

    // Setup: load the course's setup file, then leave.
    QTest::mouseClick(control<QPushButton>(start, "btnSetup"), Qt::LeftButton);
    auto& setup = h.app.setup();
    QVERIFY(setup.isVisible());
    h.dialogs.fileAnswers = {setupFile};
    trigger(setup, "gridLoad");
    QCOMPARE(h.session.setupValid, 1.0);
    trigger(setup, "gridExit");
    QVERIFY(start.isVisible());
    QVERIFY(h.dialogs.messages().empty());

    // Measure: Start Pass, then the clocks tick the whole pass; the operator holds the line
    // right of the boat for the first forty samples and left for the next twenty.
    QTest::mouseClick(control<QPushButton>(start, "Command1"), Qt::LeftButton);
    auto& measure = h.app.measure();
    QVERIFY(measure.isVisible());
    h.joystick.positionResult = quillon::platform::joystick_result::unplugged;
    QTest::mouseClick(control<QPushButton>(measure, "Command1"), Qt::LeftButton);
    h.dialogs.inputAnswers = {QString("21.5"), QString("43.1"), QString("calm water")};
    auto& sampling = *h.pulseClocks.clocks[1];
    auto& poll = *h.pulseClocks.clocks[0];
    int ticks = 0;
    do {
        h.keys.hold(ArrowKey::Right, ticks < 4);
        h.keys.hold(ArrowKey::Left, ticks >= 40 && ticks < 52);
        poll.tick();
        poll.tick();
        ++ticks;
    } while (sampling.tick());
    QCOMPARE(ticks, lastSample + 1);

    QCOMPARE(h.dialogs.messages().back().text, QString("Pass Completed"));

    // Results: the answers, the report and the logs.
    auto& results = h.app.results();
    QVERIFY(results.isVisible());
    QVERIFY(!measure.isVisible());
    QCOMPARE(control<QLineEdit>(results, "txtSplit")->text(), QString("21.5"));
    QString shown = control<QPlainTextEdit>(results, "txtResults")->toPlainText();
    QVERIFY(shown.endsWith('\n'));  // the last sample line is ended like every other
    shown.chop(1);
    const QStringList report = shown.split('\n');
    QCOMPARE(report[0], course + " Pass Results");
    QCOMPARE(report[1], QString("Skier Name: Jane Doe"));
    const int shift = slalom ? 1 : 0;  // the line-length line is slalom's alone
    QCOMPARE(report[9 + shift], QString("Boat is coming toward the camera"));
    QCOMPARE(report[15 + shift], QString("Boat Statistics: "));
    QCOMPARE(report[24 + shift], QString("Frames Measured:  %1").arg(lastSample + 1));
    QCOMPARE(report.size(), 26 + shift + lastSample + 1);
    QCOMPARE(report.last().left(30), QString("Frame  %1   Course Position: ").arg(lastSample));
    // Samples held right of the boat are positive: the start of the pass is off centre.
    QVERIFY(report[26 + shift].startsWith("Frame  0   Course Position: 000.0   Deviation: "));
    QVERIFY(!report[26 + shift + 10].endsWith("Deviation:  0"));

    const QStringList setupLog = lines_of(h.path("results_file.txt"));
    QVERIFY(setupLog[0].endsWith(" New Set-up now in place"));
    QCOMPARE(setupLog[1], setupFile);
    QCOMPARE(setupLog[3], QString("Grid Number:  1 "));
    QVERIFY(setupLog[5].startsWith("Upper Left X,Y Twips: "));
    const QStringList summary = lines_of(h.path("originalmeasurements.txt"));
    QCOMPARE(summary[0], course);
    QCOMPARE(summary[1], QString("12-06-2026"));
    QVERIFY(summary[3].startsWith("MEAN ABSOLUTE DEVIATION = "));
    const QStringList resultLog = lines_of(h.path("ResultLog1206.txt"));
    QCOMPARE(resultLog, report + QStringList({"", ""}));
    const QStringList record = lines_of(h.path("dbResultLog1206.txt"))[0].split('|');
    QCOMPARE(record.size(), 22);
    QCOMPARE(record[3], QString(slalom ? "S" : "J"));
    QCOMPARE(record[5], QString("Jane Doe"));
    QCOMPARE(record[6], QString(slalom ? "58" : "57"));
    QCOMPARE(record[12], QString("21.5"));
    QCOMPARE(record[21], QString("calm water"));

    // Save the report, read it back in cyan.
    const QString saved = h.path("pass.txt");
    h.dialogs.fileAnswers = {saved};
    QTest::mouseClick(control<QPushButton>(results, "btnSaveResults"), Qt::LeftButton);
    h.dialogs.fileAnswers = {saved};
    h.dialogs.inputAnswers = {QString("3")};
    const size_t messagesBefore = h.dialogs.messages().size();
    QTest::mouseClick(control<QPushButton>(results, "btnDisplay"), Qt::LeftButton);
    QCOMPARE(h.dialogs.messages().size(), messagesBefore);
    QCOMPARE(control<QListWidget>(results, "List1")->item(2)->text(), "Cyan - " + saved);
    QCOMPARE(lines_of(saved), report + QStringList({"", "", "End of Pass Analysis", "", ""}));

    // Return: the Start screen, the direction flipped in slalom only.
    QTest::mouseClick(control<QPushButton>(results, "Command1"), Qt::LeftButton);
    QVERIFY(start.isVisible());
    QVERIFY(!h.app.hasResultsScreen());
    QCOMPARE(control<QRadioButton>(start, "optAway")->isChecked(), awayAfter);
}

QTEST_MAIN(WholePassTest)
#include "whole_pass_test.moc"
