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
#include <cmath>

#include "analysis/pass_figures.h"
#include "screens/measure/measure_screen.h"
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
using quillon::testing::FakeDialogs;

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
        // The Measure screen's speed and line labels are set when it comes up for the pass.
        app.measure().Form_Activate();
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
    void theReportIsShownAndLogged();
    void savingWritesTheReportWithItsTrailer();
    void cancellingEitherDialogIsAnUnexpectedError();
    void aReportOfTheOtherDisciplineIsRefused();
    void colourIsAskedUntilItIsOneToSeven();
    void moreThan501SamplesLeaveTheScreenUnchanged();
    void aSavedPassComesBackOntoTheGraph();
};

namespace {

// A slalom pass that drifts left and comes back, as a driver might.
void fill_drifting_pass(quillon::session::PassSession& session) {
    for (int k = 0; k <= session.lastSampleIndex; ++k) {
        session.samples[static_cast<size_t>(k)] =
            std::round(100 * (0.08 * std::sin(k / 25.0) + 0.02 * std::sin(k / 3.0))) / 100;
    }
    const auto figures =
        quillon::analysis::end_of_pass_figures(session.samples, session.lastSampleIndex);
    session.passMeanAbsDeviation = figures.passMeanAbsDeviation;
    session.passMaxAbsDeviation = figures.passMaxAbsDeviation;
    session.passMaxAbsIndex = figures.passMaxAbsIndex;
}

QByteArray file_bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write_bytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

int pixels_of(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixelColor(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

}  // namespace

void ResultsScreenTest::theReportIsShownAndLogged() {
    MeasuredPass h;
    auto& results = h.app.results();
    const QString report = control<QPlainTextEdit>(results, "txtResults")->toPlainText();
    QVERIFY(report.startsWith("Slalom Pass Results\nSkier Name: Skiers\n"));
    QVERIFY(report.contains("\nLine Length: 11.25m\n"));
    QVERIFY(report.contains("\nFrame  0   Course Position: 000.0   Deviation:  0"));
    // The clock of the fake gives the daily file names.
    QVERIFY(file_bytes(h.path("ResultLog1206.txt")).startsWith("Slalom Pass Results\r\n"));
    const QByteArray record = file_bytes(h.path("dbResultLog1206.txt"));
    QVERIFY2(record.startsWith("1|Boat Manufacturer|Boat Model|S|Drivers|Skiers|58|11.25|"),
             record.constData());
    QVERIFY(record.endsWith("|windy\r\n"));
    QVERIFY(file_bytes(h.path("originalmeasurements.txt")).startsWith("Slalom\r\n12-06-2026\r\n"));
    QVERIFY(h.dialogs.messages().empty());
}

void ResultsScreenTest::savingWritesTheReportWithItsTrailer() {
    MeasuredPass h;
    auto& results = h.app.results();
    const QString target = h.path("pass one.txt");
    h.dialogs.fileAnswers = {target};
    QTest::mouseClick(control<QPushButton>(results, "btnSaveResults"), Qt::LeftButton);
    QCOMPARE(h.dialogs.shown.back().kind, FakeDialogs::Kind::SaveFile);
    QCOMPARE(h.dialogs.shown.back().request.filter,
             QString("All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|"));
    QCOMPARE(h.dialogs.shown.back().request.initialIndex, 2);
    const QByteArray saved = file_bytes(target);
    QVERIFY(saved.startsWith("Slalom Pass Results\r\n"));
    QVERIFY(saved.endsWith("Deviation:  0\r\n\r\nEnd of Pass Analysis\r\n\r\n"));
    QVERIFY(h.dialogs.messages().empty());
}

void ResultsScreenTest::cancellingEitherDialogIsAnUnexpectedError() {
    for (const char* button : {"btnSaveResults", "btnDisplay"}) {
        MeasuredPass h;
        auto& results = h.app.results();
        const QString before = control<QPlainTextEdit>(results, "txtResults")->toPlainText();
        QTest::mouseClick(control<QPushButton>(results, button), Qt::LeftButton);
        const auto messages = h.dialogs.messages();
        QCOMPARE(messages.size(), size_t(1));
        QCOMPARE(messages[0].text,
                 QString("Unexpected error #32755 occurred: Cancel was selected."));
        QCOMPARE(messages[0].style, MessageStyle::Error);
        QCOMPARE(control<QPlainTextEdit>(results, "txtResults")->toPlainText(), before);
        QCOMPARE(control<QListWidget>(results, "List1")->count(), 2);
    }
}

void ResultsScreenTest::aReportOfTheOtherDisciplineIsRefused() {
    MeasuredPass h;
    write_bytes(h.path("jump.txt"), "Jump Pass Results\r\nSkier Name: A\r\n");
    auto& results = h.app.results();
    h.dialogs.fileAnswers = {h.path("jump.txt")};
    QTest::mouseClick(control<QPushButton>(results, "btnDisplay"), Qt::LeftButton);
    const auto messages = h.dialogs.messages();
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].text, QString("Not a valid slalom path results file"));
    QCOMPARE(control<QListWidget>(results, "List1")->count(), 2);
}

void ResultsScreenTest::colourIsAskedUntilItIsOneToSeven() {
    MeasuredPass h;
    auto& results = h.app.results();
    h.dialogs.fileAnswers = {h.path("saved.txt")};
    QTest::mouseClick(control<QPushButton>(results, "btnSaveResults"), Qt::LeftButton);
    h.dialogs.shown.clear();
    h.dialogs.fileAnswers = {h.path("saved.txt")};
    h.dialogs.inputAnswers = {QString("0"), QString("8"), QString("red"), std::nullopt,
                              QString("4")};
    QTest::mouseClick(control<QPushButton>(results, "btnDisplay"), Qt::LeftButton);
    int asked = 0;
    for (const auto& shown : h.dialogs.shown) {
        if (shown.kind == FakeDialogs::Kind::Input) {
            ++asked;
            QVERIFY(
                shown.text.startsWith("Please input a color for the graph to display in:\n"
                                      "1 = Blue\n2 = Green"));
            QVERIFY(shown.text.endsWith("\n7 = White"));
        }
    }
    QCOMPARE(asked, 5);
    auto* legend = control<QListWidget>(results, "List1");
    QCOMPARE(legend->count(), 3);
    QCOMPARE(legend->item(2)->text(), "Red - " + h.path("saved.txt"));
}

void ResultsScreenTest::moreThan501SamplesLeaveTheScreenUnchanged() {
    MeasuredPass h;
    QByteArray file = "Slalom Pass Results\r\nBoat is coming toward the camera\r\n\r\n";
    for (int k = 0; k < 502; ++k) {
        file +=
            "Frame " + QByteArray::number(k) + "   Course Position: 001.0   Deviation:  .01\r\n";
    }
    write_bytes(h.path("long.txt"), file);
    auto& results = h.app.results();
    const QString before = control<QPlainTextEdit>(results, "txtResults")->toPlainText();
    h.dialogs.fileAnswers = {h.path("long.txt")};
    QTest::mouseClick(control<QPushButton>(results, "btnDisplay"), Qt::LeftButton);
    const auto messages = h.dialogs.messages();
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].text, QString("Unexpected error #9 occurred: Subscript out of range"));
    QCOMPARE(control<QPlainTextEdit>(results, "txtResults")->toPlainText(), before);
    QCOMPARE(control<QListWidget>(results, "List1")->count(), 2);
}

void ResultsScreenTest::aSavedPassComesBackOntoTheGraph() {
    MeasuredPass h;
    fill_drifting_pass(h.session);
    auto& results = h.app.results();
    results.resize(1000, 560);
    results.show();
    QTRY_VERIFY_WITH_TIMEOUT(!control<QTimer>(results, "Timer1")->isActive(), 2000);
    h.dialogs.fileAnswers = {h.path("drift.txt")};
    QTest::mouseClick(control<QPushButton>(results, "btnSaveResults"), Qt::LeftButton);

    // Read it back in green: the green path covers the measured one.
    const QColor green(0, 255, 0);
    QCOMPARE(pixels_of(results.canvas().drawing(), green), 0);
    h.dialogs.fileAnswers = {h.path("drift.txt")};
    h.dialogs.inputAnswers = {QString("2")};
    QTest::mouseClick(control<QPushButton>(results, "btnDisplay"), Qt::LeftButton);
    QVERIFY(h.dialogs.messages().empty());
    QVERIFY(pixels_of(results.canvas().drawing(), green) > 300);
    QVERIFY(control<QPlainTextEdit>(results, "txtResults")
                ->toPlainText()
                .startsWith("Slalom Pass Results\nSkier Name: Skiers\n"));

    if (const QByteArray folder = qgetenv("QUILLON_SCREENSHOTS"); !folder.isEmpty()) {
        results.grab().save(QString::fromLocal8Bit(folder) + "/results-screen.png");
    }
}

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
