#include <QComboBox>
#include <QCryptographicHash>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTextBlock>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <system_error>

#include "analysis/pass_figures.h"
#include "screens/measure/measure_screen.h"
#include "screens/results/deviation_graph.h"
#include "screens/results/results_screen.h"
#include "screens/start/start_screen.h"
#include "screens/widgets/line_shape.h"
#include "screens/widgets/overlay_canvas.h"
#include "support/app_harness.h"

using quillon::screens::DeviationGraph;
using quillon::screens::LineShape;

using namespace quillon::testing;

namespace {

// A program whose results folder is its own folder, with a measured pass of all-zero samples.
struct MeasuredPass : AppHarness {
    MeasuredPass() {
        startWithResultsHere();
        session.passMeasured = 1;
        session.lastSampleIndex = 161;
        session.passSampleCount = 162;
        // The captions Start Pass took with the pass.
        session.passSpeedText = "58";
        session.passLineText = "11.25";
        // The pass as Start Pass took it from the Start screen.
        session.measuredPass = app.selections().passDescription();
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
    void theFrameFollowsDisciplineAndDirection_data();
    void theFrameFollowsDisciplineAndDirection();
    void refusalsLeaveTheScreenUnchanged_data();
    void refusalsLeaveTheScreenUnchanged();
    void logsThatCannotBeWrittenAreNamed();
    void colourIsAskedUntilItIsOneToSeven();
    void aSavedPassComesBackOntoTheGraph();
    void theDossierGoesToPdfPrinterAndCsv();
    void theDossierStatesAnAutoTrackedVideoPass();
    void printingFitsThePaperOfTheDialog_data();
    void printingFitsThePaperOfTheDialog();
    void theGraphFollowsTheLimitAndBuoySides();
    void aSampleNotTrackedIsDrawnHollow();
    void zoneSettingsAreKeptAndShown();
    void manyUntrackedSamplesAreWarnedOfAboveTheGraph();
    void aReloadNumbersTheBuoysForTheFilesDirection_data();
    void aReloadNumbersTheBuoysForTheFilesDirection();
    void everyControlAndHeaderIsWholeAtEveryWidth_data();
    void everyControlAndHeaderIsWholeAtEveryWidth();
    void theReportBoxShowsEveryLineWhole();
    void everyControlIsOnA1024By768Display();
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

int pixels_of(const QImage& image, const QColor& colour) {
    return count_pixels(image, [&](int, int, QColor c) { return c == colour; });
}

}  // namespace

// The report's lines are the analysis suite's; here: the screen shows it and hands the pass,
// the answers to its prompts and the day (from the fake clock) to the three logs.
void ResultsScreenTest::refusalsLeaveTheScreenUnchanged_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("chosen");   // "": the dialog is cancelled; else what is chosen
    QTest::addColumn<QByteArray>("file");  // the content of a chosen "file"
    QTest::addColumn<QString>("message");  // %1 stands for the chosen path
    QByteArray tooLong = "Slalom Pass Results\r\nBoat is coming toward the camera\r\n\r\n";
    for (int k = 0; k < 502; ++k) {
        tooLong +=
            "Frame " + QByteArray::number(k) + "   Course Position: 001.0   Deviation:  .01\r\n";
    }
    const QString cancelled("Unexpected error #32755 occurred: Cancel was selected.");
    const QString named("\n\nFile: \"%1\"");
    const QString notSlalom("Not a valid slalom path results file");
    QTest::newRow("save cancelled") << "btnSaveResults"
                                    << "" << QByteArray() << cancelled;
    QTest::newRow("display cancelled") << "btnDisplay"
                                       << "" << QByteArray() << cancelled;
    QTest::newRow("jump file") << "btnDisplay"
                               << "file" << QByteArray("Jump Pass Results\r\nSkier Name: A\r\n")
                               << notSlalom;
    QTest::newRow("empty file") << "btnDisplay"
                                << "file" << QByteArray() << notSlalom;
    QTest::newRow("binary file") << "btnDisplay"
                                 << "file" << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << notSlalom;
    QTest::newRow("502 samples") << "btnDisplay"
                                 << "file" << tooLong
                                 << "Unexpected error #9 occurred: Subscript out of range";
    QTest::newRow("huge file") << "btnDisplay"
                               << "huge" << QByteArray()
                               << "The file \"%1\" is too large to be a saved pass report.";
    QTest::newRow("display missing file")
        << "btnDisplay"
        << "missing" << QByteArray() << "Unexpected error #53 occurred: File not found" + named;
    QTest::newRow("display a folder")
        << "btnDisplay"
        << "folder" << QByteArray()
        << "Unexpected error #75 occurred: Path/File access error" + named;
    QTest::newRow("save into missing folder")
        << "btnSaveResults"
        << "missing/" << QByteArray() << "Unexpected error #53 occurred: File not found" + named;
    QTest::newRow("save over a folder")
        << "btnSaveResults"
        << "folder" << QByteArray()
        << "Unexpected error #75 occurred: Path/File access error" + named;
    QTest::newRow("save to a full disk")
        << "btnSaveResults"
        << "full" << QByteArray() << "Unexpected error #61 occurred: Disk full" + named;
}

// Root writes through permission bits, so the unusable files are made of what stands at the
// chosen path: nothing, a folder, a sparse file of 300 MB, or the full-disk device.
void ResultsScreenTest::refusalsLeaveTheScreenUnchanged() {
    QFETCH(QString, button);
    QFETCH(QString, chosen);
    QFETCH(QByteArray, file);
    QFETCH(QString, message);
    MeasuredPass h;
    auto& results = h.app.results();
    const QString before = control<QPlainTextEdit>(results, "txtResults")->toPlainText();
    const QString path = h.path(chosen == "missing/" ? "missing/saved.txt" : "chosen.txt");
    if (chosen == "file") {
        write_bytes(path, file);
    } else if (chosen == "folder") {
        QVERIFY(QDir(h.folder.path()).mkdir("chosen.txt"));
    } else if (chosen == "huge") {
        QFile huge(path);
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(300LL << 20));
    } else if (chosen == "full" && !QFile::link("/dev/full", path)) {
        QSKIP("no /dev/full");
    }
    if (!chosen.isEmpty()) {
        h.dialogs.fileAnswers = {path};
    }
    click(results, qPrintable(button));
    const auto messages = h.dialogs.messages();
    QCOMPARE(messages.size(), size_t(1));
    QCOMPARE(messages[0].text, message.contains("%1") ? message.arg(path) : message);
    QCOMPARE(control<QPlainTextEdit>(results, "txtResults")->toPlainText(), before);
    QCOMPARE(control<QListWidget>(results, "List1")->count(), 2);
    QVERIFY(!QFile::exists(path + ".quillon-new"));
}

// Each log that cannot be written is named in a message of its own; the others are written,
// and what a log already held stays.
void ResultsScreenTest::logsThatCannotBeWrittenAreNamed() {
    AppHarness h;
    write_bytes(h.path("originalmeasurements.txt"), "earlier block\r\n");
    QVERIFY(QDir(h.folder.path()).mkdir("ResultLog1206.txt"));
    const bool full = QFile::link("/dev/full", h.path("dbResultLog1206.txt"));
    h.startWithResultsHere();
    h.session.passMeasured = 1;
    h.session.lastSampleIndex = 161;
    h.session.measuredPass = h.app.selections().passDescription();
    h.app.measure().Form_Activate();
    auto& results = h.app.results();

    const auto messages = h.dialogs.messages();
    QCOMPARE(messages.size(), size_t(full ? 2 : 1));
    QCOMPARE(messages[0].text, "The log \"" + h.path("ResultLog1206.txt") +
                                   "\" could not be written: " +
                                   QString::fromStdString(std::generic_category().message(EISDIR)));
    if (full) {
        QCOMPARE(messages[1].text,
                 "The log \"" + h.path("dbResultLog1206.txt") + "\" could not be written: " +
                     QString::fromStdString(std::generic_category().message(ENOSPC)));
    }
    QVERIFY(
        control<QPlainTextEdit>(results, "txtResults")->toPlainText().startsWith("Slalom Pass"));
    const QByteArray summary = read_bytes(h.path("originalmeasurements.txt"));
    QVERIFY(summary.startsWith("earlier block\r\n") && summary.size() > 100);
}

void ResultsScreenTest::colourIsAskedUntilItIsOneToSeven() {
    MeasuredPass h;
    auto& results = h.app.results();
    h.dialogs.fileAnswers = {h.path("saved.txt")};
    click(results, "btnSaveResults");
    h.dialogs.shown.clear();
    h.dialogs.fileAnswers = {h.path("saved.txt")};
    h.dialogs.inputAnswers = {QString("0"), QString("8"), QString("red"), std::nullopt,
                              QString("4")};
    click(results, "btnDisplay");
    QCOMPARE(
        std::count_if(h.dialogs.shown.begin(), h.dialogs.shown.end(),
                      [](const auto& shown) { return shown.kind == FakeDialogs::Kind::Input; }),
        5);
    auto* legend = control<QListWidget>(results, "List1");
    QCOMPARE(legend->count(), 3);
    QCOMPARE(legend->item(2)->text(), "Red - " + h.path("saved.txt"));
}

void ResultsScreenTest::aSavedPassComesBackOntoTheGraph() {
    MeasuredPass h;
    fill_drifting_pass(h.session);
    auto& results = h.app.results();
    results.resize(1000, 560);
    results.show();
    QTRY_VERIFY_WITH_TIMEOUT(!control<QTimer>(results, "Timer1")->isActive(), 2000);
    h.dialogs.fileAnswers = {h.path("drift.txt")};
    click(results, "btnSaveResults");

    // Read it back in green: the green path covers the measured one.
    const QColor green(0, 255, 0);
    QCOMPARE(pixels_of(results.canvas().drawing(), green), 0);
    h.dialogs.fileAnswers = {h.path("drift.txt")};
    h.dialogs.inputAnswers = {QString("2")};
    click(results, "btnDisplay");
    QVERIFY(h.dialogs.messages().empty());
    QVERIFY(pixels_of(results.canvas().drawing(), green) > 300);
    QVERIFY(control<QPlainTextEdit>(results, "txtResults")
                ->toPlainText()
                .startsWith("Slalom Pass Results\nSkier Name: Skiers\n"));
}

void ResultsScreenTest::promptsGoIntoTheirBoxesAndTheLegendIsListed() {
    MeasuredPass h;
    auto& results = h.app.results();
    const QStringList prompts{"Enter split time:", "Enter full time:", "Enter comment if desired:"};
    QCOMPARE(h.dialogs.shown.size(), size_t(3));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(h.dialogs.shown[static_cast<size_t>(i)].text, prompts[i]);
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

void ResultsScreenTest::theFrameFollowsDisciplineAndDirection_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("scale");
    QTest::addColumn<QString>("top");
    QTest::addColumn<double>("bottom");      // the lower end of the course line, in twips
    QTest::addColumn<double>("captionTop");  // the scale caption's top, in twips
    QTest::addColumn<bool>("awayAfterClose");
    QTest::newRow("slalom towards") << "optTowards"
                                    << "24    12     0    12    24"
                                    << "1" << 6135.0 << 6240.0 << true;
    QTest::newRow("slalom away") << "optAway"
                                 << "24    12     0    12    24"
                                 << "6" << 6135.0 << 6240.0 << false;
    QTest::newRow("jump") << "optJump"
                          << "48    24     0    24    48"
                          << "1" << 6615.0 << 6720.0 << false;
}

void ResultsScreenTest::theFrameFollowsDisciplineAndDirection() {
    QFETCH(QString, option);
    QFETCH(QString, scale);
    QFETCH(QString, top);
    QFETCH(double, bottom);
    QFETCH(double, captionTop);
    QFETCH(bool, awayAfterClose);
    MeasuredPass h;
    click_option(h.app.start(), qPrintable(option));
    h.session.measuredPass = h.app.selections().passDescription();
    const bool jump = option == "optJump";
    if (jump) {
        h.session.lastSampleIndex = 177;
    }
    auto& results = h.app.results();
    QTRY_VERIFY_WITH_TIMEOUT(!control<QTimer>(results, "Timer1")->isActive(), 2000);
    QCOMPARE(control<QLabel>(results, "Label2")->text(), scale);
    QCOMPARE(control<QLabel>(results, "Label8")->text(), top);
    QCOMPARE(control<QLabel>(results, "Label3")->text(), QString(top == "1" ? "6" : "1"));
    QCOMPARE(control<LineShape>(results, "Line14")->isVisible(), !jump);
    QCOMPARE(control<LineShape>(results, "Line16")->isVisible(), jump);
    QCOMPARE(control<LineShape>(results, "Line2")->Y2(), bottom);
    // The caption stands under the graph, centred on its centre line, in the screen's font.
    auto* caption = control<QLabel>(results, "Label2");
    QCOMPARE(caption->y(), static_cast<int>(captionTop / 15));
    QCOMPARE(caption->x() + caption->width() / 2, static_cast<int>(DeviationGraph::centreX / 15));
    QVERIFY(QFontInfo(caption->font()).pixelSize() >= 11);

    // Closing the window is "Return": the Start screen, the direction flipped in slalom.
    results.show();
    results.close();
    QVERIFY(h.app.start().isVisible());
    QVERIFY(!h.app.hasResultsScreen());
    QCOMPARE(control<QRadioButton>(h.app.start(), "optAway")->isChecked(), awayAfterClose);
}

namespace {

// The text of a PDF as pdftotext lays it out, runs of blanks as one.
QString pdf_text(const QString& path) {
    QProcess process;
    process.start("pdftotext", {"-layout", path, "-"});
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput())
        .replace(QRegularExpression(" +"), " ");
}

}  // namespace

void ResultsScreenTest::theDossierGoesToPdfPrinterAndCsv() {
    MeasuredPass h;
    fill_drifting_pass(h.session);
    auto& results = h.app.results();
    const QByteArray resultLog = read_bytes(h.path("ResultLog1206.txt"));
    QVERIFY(!resultLog.isEmpty());

    // Names typed without their extension get it.
    h.dialogs.fileAnswers = {h.path("dossier"), h.path("samples")};
    h.dialogs.printAnswers = {h.path("printed.pdf")};
    click(results, "btnSaveDossier");
    click(results, "btnPrint");
    click(results, "btnExportCsv");
    QVERIFY(h.dialogs.messages().empty());
    // Both save dialogs propose "<Skier>_<yyyy-mm-dd>_<hh-mm>" in the results folder.
    QStringList proposed;
    for (const auto& shown : h.dialogs.shown) {
        if (shown.kind == FakeDialogs::Kind::SaveFile) {
            proposed << shown.request.startFolder;
        }
    }
    QCOMPARE(proposed, QStringList({h.path("Skiers_2026-12-06_14-05.pdf"),
                                    h.path("Skiers_2026-12-06_14-05.csv")}));

    const QString saved = pdf_text(h.path("dossier.pdf"));
    for (const char* expected :
         {"Slalom Pass Results", "Skier Name: Skiers", "Frames Measured: 162", "Buoy 1",
          "Exit gate", "No calibration was given for this pass.", "Pass Clock: Wall Clock",
          "Line held by the operator (keys, joystick, mouse)",
          "Measured (ISO 8601): 2026-12-06T14:05:09 (12-06-2026 14:05:09)", "Page 3 of 3"}) {
        QVERIFY2(saved.contains(expected), expected);
    }
    // The printer gets the same pages, on the paper the dialog chose.
    const QString printed = pdf_text(h.path("printed.pdf"));
    for (const char* expected : {"Skier Name: Skiers", "Frames Measured: 162", "Page 3 of 3"}) {
        QVERIFY2(printed.contains(expected), expected);
    }
    const QByteArray csv = read_bytes(h.path("samples.csv"));
    QVERIFY(csv.startsWith("sample,time_s,position_m,deviation_m,provenance\r\n0,0.0,0.000,"));
    QCOMPARE(csv.count("\r\n"), 1 + 162);

    // A folder that cannot be written: a message naming the file, and nothing else changes.
    // Printing to a PDF file there is reported the same way.
    h.dialogs.fileAnswers = {h.path("gone/dossier.pdf"), h.path("gone/samples.csv")};
    h.dialogs.printAnswers = {h.path("gone/printed.pdf")};
    click(results, "btnSaveDossier");
    click(results, "btnPrint");
    click(results, "btnExportCsv");
    const auto messages = h.dialogs.messages();
    QCOMPARE(messages.size(), size_t(3));
    QVERIFY(messages[0].text.endsWith("File: \"" + h.path("gone/dossier.pdf") + "\""));
    QVERIFY(messages[1].text.startsWith("The dossier could not be printed to the file: "));
    QVERIFY(messages[1].text.endsWith("File: \"" + h.path("gone/printed.pdf") + "\""));
    QVERIFY(messages[2].text.endsWith("File: \"" + h.path("gone/samples.csv") + "\""));
    QVERIFY(!QDir(h.path("gone")).exists());
    // The report and its logs are as they were.
    QCOMPARE(read_bytes(h.path("ResultLog1206.txt")), resultLog);
}

// A pass Auto Track followed on a video file: the dossier says which samples were not tracked,
// names the video the pass was measured on with its SHA-256, whichever video is open now, and
// the frame time of sample 0; the typed split and comment and the time of measurement are
// there too.
void ResultsScreenTest::theDossierStatesAnAutoTrackedVideoPass() {
    using quillon::analysis::Provenance;
    MeasuredPass h;
    fill_drifting_pass(h.session);
    h.session.sampleProvenance.fill(Provenance::Tracked);
    h.session.sampleProvenance[2] = Provenance::Held;
    h.session.sampleProvenance[3] = Provenance::Held;
    h.session.passClockLine =
        "Pass Clock: Video Time (pass.mp4 from 0:01.500), Auto Track, 2 samples not tracked (2-3)";
    const QByteArray video(100000, 'v');
    for (const char* name : {"pass.mp4", "other.mp4"}) {
        QFile file(h.path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(video);
    }
    QVERIFY(!h.video.openFile(h.path("pass.mp4")));
    // As Start Pass kept them: the video, and the frame sample 0 was taken on.
    h.session.passVideoPath = h.path("pass.mp4").toStdString();
    h.session.passSample0FrameUs = 1'600'000;
    // A camera that sees 1 mm of water per twip; a 1024 x 768 display gives a 1024 x 668
    // drawing surface, into which the 320 x 240 video fits 890 pixels wide: one video pixel is
    // 15 x 890 / 320 = 41.7 twips, 4.2 cm.
    h.session.setupValid = 1;
    h.session.calibration.model.set_coefficients({0, 0.001, 0, 0, 0, 0, 0, 0.001});
    h.session.screenWidthPx = "1024";
    h.session.screenHeightPx = "768";
    auto& results = h.app.results();
    h.dialogs.fileAnswers = {h.path("auto.pdf"), h.path("later.pdf")};
    click(results, "btnSaveDossier");
    QVERIFY(h.dialogs.messages().empty());
    const QString sha = QCryptographicHash::hash(video, QCryptographicHash::Sha256).toHex();
    const QString text = pdf_text(h.path("auto.pdf"));
    for (const QString& expected :
         {QString("Auto Track: 160 of 162 samples tracked; not tracked: 2-3"),
          QString("Pass Clock: Video Time (pass.mp4 from 0:01.500)"), QString("Video: pass.mp4"),
          "Video SHA-256: " + sha, QString("Frame time of sample 0: 1.600 s"),
          QString("Split Time: 12.34"), QString("Comment: windy"),
          QString("Measured (ISO 8601): 2026-12-06T14:05:09"),
          // Samples 0 to 3 make the entry gate.
          QString("Verdict: Not verified in Entry gate"),
          QString("Lateral size of one video pixel (41.7 twips on the screen) at each zone's "
                  "row:"),
          QString("Entry gate 4.2 cm, Buoy 1 4.2 cm"),
          QString("of the video's width, 320 pixels")}) {
        QVERIFY2(text.contains(expected), qPrintable(expected));
    }

    // Once another video is open, the pass's own video is still the one hashed; a pass whose
    // video is not known is named but not hashed.
    QVERIFY(!h.video.openFile(h.path("other.mp4")));
    click(results, "btnSaveDossier");
    QVERIFY(pdf_text(h.path("later.pdf")).contains("Video SHA-256: " + sha));
    h.session.passVideoPath.clear();
    h.dialogs.fileAnswers = {h.path("unknown.pdf")};
    click(results, "btnSaveDossier");
    QVERIFY(pdf_text(h.path("unknown.pdf"))
                .contains("Video SHA-256: not known (the pass's video is not known)"));
}

namespace {

// Where pdftotext finds a word on page 1, in points, and the page's size.
struct WordBox {
    double pageWidth = 0, pageHeight = 0;
    double xMin = -1, yMin = -1, xMax = -1, yMax = -1;
};
WordBox word_on_first_page(const QString& path, const QString& word) {
    QProcess process;
    process.start("pdftotext", {"-bbox", "-f", "1", "-l", "1", path, "-"});
    process.waitForFinished();
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    WordBox box;
    const auto page =
        QRegularExpression(R"re(<page width="([0-9.]+)" height="([0-9.]+)")re").match(html);
    if (page.hasMatch()) {
        box.pageWidth = page.captured(1).toDouble();
        box.pageHeight = page.captured(2).toDouble();
    }
    const auto found =
        QRegularExpression(
            R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">)re" +
            QRegularExpression::escape(word) + "</word>")
            .match(html);
    if (found.hasMatch()) {
        box.xMin = found.captured(1).toDouble();
        box.yMin = found.captured(2).toDouble();
        box.xMax = found.captured(3).toDouble();
        box.yMax = found.captured(4).toDouble();
    }
    return box;
}

}  // namespace

void ResultsScreenTest::printingFitsThePaperOfTheDialog_data() {
    QTest::addColumn<int>("paper");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<double>("marginMm");
    QTest::addColumn<double>("width");  // points
    QTest::addColumn<double>("height");
    QTest::newRow("US Letter, printer margins")
        << int(QPageSize::Letter) << int(QPageLayout::Portrait) << 12.7 << 612.0 << 792.0;
    QTest::newRow("US Letter, no margins")
        << int(QPageSize::Letter) << int(QPageLayout::Portrait) << 0.0 << 612.0 << 792.0;
    QTest::newRow("A4 landscape") << int(QPageSize::A4) << int(QPageLayout::Landscape) << 10.0
                                  << 841.89 << 595.28;
}

// The paper, orientation and margins of the print dialog are kept, and the footer of every
// page stands inside the printable area.
void ResultsScreenTest::printingFitsThePaperOfTheDialog() {
    QFETCH(int, paper);
    QFETCH(int, orientation);
    QFETCH(double, marginMm);
    QFETCH(double, width);
    QFETCH(double, height);
    MeasuredPass h;
    fill_drifting_pass(h.session);
    auto& results = h.app.results();
    h.dialogs.printLayout =
        QPageLayout(QPageSize(static_cast<QPageSize::PageSizeId>(paper)),
                    static_cast<QPageLayout::Orientation>(orientation),
                    QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter);
    h.dialogs.printAnswers = {h.path("printed.pdf")};
    click(results, "btnPrint");
    QVERIFY(h.dialogs.messages().empty());

    const double margin = marginMm / 25.4 * 72;
    for (const QString& word : {QString("Page"), QString("Record"), QString("Quillon")}) {
        const WordBox box = word_on_first_page(h.path("printed.pdf"), word);
        QVERIFY2(std::abs(box.pageWidth - width) < 1, qPrintable(word));
        QVERIFY2(std::abs(box.pageHeight - height) < 1, qPrintable(word));
        QVERIFY2(box.xMin >= margin - 0.5 && box.yMin >= margin - 0.5, qPrintable(word));
        QVERIFY2(box.xMax <= width - margin + 0.5 && box.yMax <= height - margin + 0.5,
                 qPrintable(word));
    }
    // "Page 1 of 3" is the footer: in the lowest part of the sheet.
    QVERIFY(word_on_first_page(h.path("printed.pdf"), "Page").yMin > height * 0.85);
    QVERIFY(pdf_text(h.path("printed.pdf")).contains("Page 1 of 3"));
}

// The Results screen's limit lines follow the limit, with their legend; buoy 1 on the boat's
// left mirrors the buoy rows; at 0.20 m with buoy 1 on the right the classic frame stands.
void ResultsScreenTest::theGraphFollowsTheLimitAndBuoySides() {
    const struct {
        double limit;
        const char* buoy1Side;
        double leftLineX;
        const char* legend;
        double topRowEndX;  // where the top buoy row reaches out to
        int topLabelX;      // pixels
    } cases[] = {
        {0.20, "right", 7200, "Red Line - 20cm Record Limit", 6600, 6240 / 15},
        {0.15, "right", 7350, "Red Line - 15cm Limit", 6600, 6240 / 15},
        {0.20, "left", 7200, "Red Line - 20cm Record Limit", 9000, 9120 / 15},
        {0.05, "left", 7650, "Red Line - 5cm Limit", 9000, 9120 / 15},
    };
    for (const auto& c : cases) {
        MeasuredPass h;
        h.settings.values["Quillon/Dossier/Limit"] = QString::number(c.limit);
        h.settings.values["Quillon/Dossier/Buoy1Side"] = c.buoy1Side;
        fill_drifting_pass(h.session);
        auto& results = h.app.results();
        QTRY_VERIFY_WITH_TIMEOUT(!control<QTimer>(results, "Timer1")->isActive(), 2000);
        QCOMPARE(control<LineShape>(results, "Line14")->X1(), c.leftLineX);
        QCOMPARE(control<LineShape>(results, "Line15")->X1(),
                 2 * DeviationGraph::centreX - c.leftLineX);
        QCOMPARE(control<QLabel>(results, "Label12")->text(), QString(c.legend));
        QCOMPARE(control<LineShape>(results, "Line6")->X2(), c.topRowEndX);
        QCOMPARE(control<QLabel>(results, "Label8")->x(), c.topLabelX);
        // The next row reaches the other way.
        QCOMPARE(control<LineShape>(results, "Line7")->X2(),
                 c.topRowEndX == 6600 ? 9000.0 : 6600.0);
    }
}

// On an all-zero pass Auto Track followed, sample 0 not tracked: where its red cross would be,
// a red ring three pixels round it; sample 5, tracked, keeps its cross.
void ResultsScreenTest::aSampleNotTrackedIsDrawnHollow() {
    using quillon::analysis::Provenance;
    MeasuredPass h;
    h.session.sampleProvenance.fill(Provenance::Tracked);
    h.session.sampleProvenance[0] = Provenance::Held;
    auto& results = h.app.results();
    QTRY_VERIFY_WITH_TIMEOUT(!control<QTimer>(results, "Timer1")->isActive(), 2000);
    const QImage& drawing = results.canvas().drawing();
    const int centre = static_cast<int>(DeviationGraph::centreX / 15);
    const int row0 = 20;  // course start, 300 twips down
    const auto red = [&](int x, int y) { return drawing.pixelColor(x, y) == QColor(255, 0, 0); };
    QVERIFY(!red(centre + 2, row0));  // no cross arm
    int ring = 0;
    for (int dy = -4; dy <= 4; ++dy) {
        for (int dx = -4; dx <= 4; ++dx) {
            ring += red(centre + dx, row0 + dy) && dx * dx + dy * dy >= 4 ? 1 : 0;
        }
    }
    QVERIFY(ring >= 8);
    // Sample 5 lies 8.04 m down the course, 12 pixels below sample 0.
    const int row5 = static_cast<int>((300 + 22.5 * 5 * 259.0 / 161) / 15);
    QVERIFY(red(centre + 2, row5) && red(centre - 2, row5));
}

void ResultsScreenTest::zoneSettingsAreKeptAndShown() {
    MeasuredPass h;
    fill_drifting_pass(h.session);
    auto& results = h.app.results();
    auto* table = control<QTableWidget>(results, "tblZones");
    QCOMPARE(table->rowCount(), 8);
    QCOMPARE(table->item(1, 0)->text(), QString("Buoy 1"));
    QCOMPARE(table->item(1, 1)->text(), QString("right"));
    QCOMPARE(table->item(1, 2)->text(), QString("3"));  // 5 m at 1.61 m per sample

    click(results, "btnZoneSettings");
    auto* dialog = results.findChild<QDialog*>("dlgZoneSettings");
    QVERIFY(dialog);
    dialog->findChild<QDoubleSpinBox*>("txtZoneLength")->setValue(10);
    dialog->findChild<QDoubleSpinBox*>("txtLimit")->setValue(0.01);  // held at 0.05
    dialog->findChild<QComboBox*>("cbBuoy1Side")->setCurrentIndex(1);
    dialog->accept();
    QCOMPARE(table->item(1, 1)->text(), QString("left"));
    QCOMPARE(table->item(1, 2)->text(), QString("7"));
    QCOMPARE(h.settings.values["Quillon/Dossier/ZoneLength"], QString("10"));
    QCOMPARE(h.settings.values["Quillon/Dossier/Limit"], QString("0.05"));
    QCOMPARE(h.settings.values["Quillon/Dossier/Buoy1Side"], QString("left"));
    // A zone is OVER exactly when its largest distance off the centre, either way, is beyond
    // the 5 cm limit; the drifting pass goes beyond it somewhere.
    int over = 0;
    for (int row = 0; row < table->rowCount(); ++row) {
        const double offCentre = table->item(row, 5)->text().section(' ', 0, 0).toDouble();
        QCOMPARE(table->item(row, 6)->text(), QString(offCentre > 0.05 ? "OVER" : "ok"));
        over += offCentre > 0.05 ? 1 : 0;
    }
    QVERIFY(over > 0);
}

// Above the graph, a pass measured with Auto Track says which samples were not tracked once
// they are more than one in twenty; a pass held by the operator says nothing.
void ResultsScreenTest::manyUntrackedSamplesAreWarnedOfAboveTheGraph() {
    using quillon::analysis::Provenance;
    const struct {
        const char* name;
        std::vector<int> untracked;  // the others tracked; none tracked when `operatorOnly`
        bool operatorOnly;
        QString warning;
    } cases[] = {
        {"held by the operator", {}, true, ""},
        {"8 of 162 not tracked", {36, 61, 62, 63, 137, 138, 139, 140}, false, ""},
        {"9 of 162 not tracked",
         {36, 61, 62, 63, 137, 138, 139, 140, 161},
         false,
         "Auto Track: 9 of 162 samples not tracked (36, 61-63, 137-140, 161)"},
    };
    for (const auto& c : cases) {
        MeasuredPass h;
        h.session.sampleProvenance.fill(c.operatorOnly ? Provenance::Operator
                                                       : Provenance::Tracked);
        for (const int k : c.untracked) {
            h.session.sampleProvenance[static_cast<std::size_t>(k)] = Provenance::Held;
        }
        auto& results = h.app.results();
        auto* warning = control<QLabel>(results, "lblTrackWarning");
        QVERIFY2(warning->isHidden() == c.warning.isEmpty(), c.name);
        if (!c.warning.isEmpty()) {
            QCOMPARE(warning->text(), c.warning);
        }
    }
}

void ResultsScreenTest::aReloadNumbersTheBuoysForTheFilesDirection_data() {
    QTest::addColumn<QString>("fileDirection");
    QTest::addColumn<QString>("shownDirection");
    QTest::addColumn<QString>("fileTopBuoy");  // Label8, the top row's number, after the reload
    QTest::newRow("towards file over an away pass") << "optTowards"
                                                    << "optAway"
                                                    << "1";
    QTest::newRow("away file over a towards pass") << "optAway"
                                                   << "optTowards"
                                                   << "6";
}

// A saved report read back onto the graph of a pass in the other direction: the buoys are
// numbered for the direction of the file.
void ResultsScreenTest::aReloadNumbersTheBuoysForTheFilesDirection() {
    QFETCH(QString, fileDirection);
    QFETCH(QString, shownDirection);
    QFETCH(QString, fileTopBuoy);
    MeasuredPass h;
    fill_drifting_pass(h.session);
    auto& start = h.app.start();
    const auto measure = [&](const QString& direction) -> quillon::screens::ResultsScreen& {
        click_option(start, qPrintable(direction));
        h.session.measuredPass = h.app.selections().passDescription();
        h.dialogs.inputAnswers = {QString(), QString(), QString()};
        return h.app.results();
    };
    h.dialogs.fileAnswers = {h.path("saved.txt")};
    click(measure(fileDirection), "btnSaveResults");
    h.app.unloadResults();

    auto& results = measure(shownDirection);
    QTRY_VERIFY_WITH_TIMEOUT(!control<QTimer>(results, "Timer1")->isActive(), 2000);
    const QString shownTopBuoy = fileTopBuoy == "1" ? "6" : "1";
    QCOMPARE(control<QLabel>(results, "Label8")->text(), shownTopBuoy);
    h.dialogs.fileAnswers = {h.path("saved.txt")};
    h.dialogs.inputAnswers = {QString("2")};
    click(results, "btnDisplay");
    QVERIFY(h.dialogs.messages().empty());
    QCOMPARE(control<QLabel>(results, "Label8")->text(), fileTopBuoy);
    QCOMPARE(control<QLabel>(results, "Label3")->text(), shownTopBuoy);
}

namespace {

// The screen's visible controls that stick out of `area` (in global pixels), by name.
QStringList controls_outside(const QWidget& screen, const QRect& area) {
    QStringList outside;
    for (const QWidget* control : screen.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&screen) || control->size().isEmpty()) {
            continue;
        }
        const QRect global(control->mapToGlobal(QPoint(0, 0)), control->size());
        if (!area.contains(global)) {
            outside << QStringLiteral("%1 %2 at %3, %4 %5 x %6")
                           .arg(control->metaObject()->className(), control->objectName())
                           .arg(global.x())
                           .arg(global.y())
                           .arg(global.width())
                           .arg(global.height());
        }
    }
    return outside;
}

// The zone table's headers cut by the table's edge or too narrow for their text.
QStringList clipped_headers(const QTableWidget& table) {
    const QHeaderView& header = *table.horizontalHeader();
    const int margin = header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
    QStringList clipped;
    for (int column = 0; column < table.columnCount(); ++column) {
        const QString text = table.horizontalHeaderItem(column)->text();
        const int left = header.sectionViewportPosition(column);
        const int size = header.sectionSize(column);
        if (left < 0 || left + size > header.viewport()->width() ||
            size < header.fontMetrics().horizontalAdvance(text) + 2 * margin) {
            clipped << text;
        }
    }
    return clipped;
}

}  // namespace

void ResultsScreenTest::everyControlAndHeaderIsWholeAtEveryWidth_data() {
    QTest::addColumn<QSize>("window");
    for (const QSize size :
         {QSize(1024, 740), QSize(1152, 840), QSize(1249, 740), QSize(1250, 740), QSize(1280, 994),
          QSize(1366, 740), QSize(1440, 870), QSize(1600, 870), QSize(1920, 1050)}) {
        QTest::newRow(qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())))
            << size;
    }
}

// The window as a window manager maximizes it on displays from 1024 to 1920 pixels wide: every
// control is inside it and every header of the zone table shows whole.
void ResultsScreenTest::everyControlAndHeaderIsWholeAtEveryWidth() {
    QFETCH(QSize, window);
    MeasuredPass h;
    fill_drifting_pass(h.session);
    auto& results = h.app.results();
    results.resize(window);
    results.show();
    QTRY_VERIFY_WITH_TIMEOUT(!control<QTimer>(results, "Timer1")->isActive(), 2000);
    QCOMPARE(results.size(), window);
    const QStringList outside =
        controls_outside(results, QRect(results.mapToGlobal(QPoint(0, 0)), results.size()));
    QVERIFY2(outside.isEmpty(), qPrintable(outside.join("; ")));
    const QStringList clipped = clipped_headers(*control<QTableWidget>(results, "tblZones"));
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join("; ")));
}

// A long pass clock line wraps inside the box; the sample lines keep to one line each.
void ResultsScreenTest::theReportBoxShowsEveryLineWhole() {
    MeasuredPass h;
    fill_drifting_pass(h.session);
    h.session.passClockLine =
        "Pass Clock: Video Time (north-lake-camera-2-tournament-day.mp4 from 0:01.500), Auto "
        "Track, 7 samples not tracked (36, 61-63, 137-139)";
    auto& results = h.app.results();
    results.resize(1024, 740);
    results.show();
    auto* box = control<QPlainTextEdit>(results, "txtResults");
    QVERIFY(box->toPlainText().contains(QString::fromStdString(h.session.passClockLine)));
    QCOMPARE(box->horizontalScrollBar()->maximum(), 0);
    const auto* layout = qobject_cast<QPlainTextDocumentLayout*>(box->document()->documentLayout());
    QVERIFY(layout != nullptr);
    const double room = box->viewport()->width() - 2 * box->document()->documentMargin();
    int clockLines = 0;
    int sampleLines = 0;
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
        layout->ensureBlockLayout(block);
        const QTextLayout* lines = block.layout();
        for (int i = 0; i < lines->lineCount(); ++i) {
            QVERIFY2(lines->lineAt(i).naturalTextWidth() <= room, qPrintable(block.text()));
        }
        if (block.text().startsWith("Pass Clock")) {
            clockLines = lines->lineCount();
        }
        if (block.text().startsWith("Frame ")) {
            QVERIFY2(lines->lineCount() == 1, qPrintable(block.text()));
            ++sampleLines;
        }
    }
    QVERIFY(clockLines > 1);
    QCOMPARE(sampleLines, 162);
}

// Run by the test "results_screen_test_1024x768" on a 1024 x 768 offscreen display: the
// maximized window leaves every control on the display.
void ResultsScreenTest::everyControlIsOnA1024By768Display() {
    const QRect display = QGuiApplication::primaryScreen()->availableGeometry();
    if (display.size() != QSize(1024, 768)) {
        QSKIP("needs a 1024 x 768 display; results_screen_test_1024x768 gives it one");
    }
    MeasuredPass h;
    fill_drifting_pass(h.session);
    auto& results = h.app.results();
    results.showMaximized();
    QTRY_VERIFY_WITH_TIMEOUT(!control<QTimer>(results, "Timer1")->isActive(), 2000);
    QTRY_COMPARE(results.frameGeometry(), display);
    const QStringList outside = controls_outside(results, display);
    QVERIFY2(outside.isEmpty(), qPrintable(outside.join("; ")));
    for (const char* name :
         {"Command1", "btnSaveDossier", "btnPrint", "btnExportCsv", "tblZones"}) {
        QVERIFY(control(results, name)->isVisible());
    }
}

QTEST_MAIN(ResultsScreenTest)
#include "results_screen_test.moc"