#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtEndian>
#include <QtTest>
#include <cerrno>
#include <cmath>
#include <functional>
#include <system_error>

#include "calibration/setup_file.h"
#include "calibration/solver.h"
#include "screens/manual/manual_text.h"
#include "screens/measure/measure_screen.h"
#include "screens/setup/setup_screen.h"
#include "screens/start/start_screen.h"
#include "screens/widgets/overlay_canvas.h"
#include "support/app_harness.h"

using quillon::calibration::CameraModel;
using quillon::platform::MessageStyle;
using quillon::screens::OverlayCanvas;
using quillon::screens::SetupScreen;
using namespace quillon::testing;

// What is put on the clipboard, made from a picture.
using ClipboardContent = std::function<QMimeData*(const QImage& picture)>;
Q_DECLARE_METATYPE(ClipboardContent)

namespace {

// A GIF of one colour with its codes written out uncompressed: a clear code before every two
// pixels keeps every code 3 bits wide.
QByteArray one_colour_gif(int width, int height, const QColor& colour) {
    QByteArray gif("GIF89a");
    auto word = [&gif](int value) {
        gif.append(static_cast<char>(value & 0xFF)).append(static_cast<char>(value >> 8));
    };
    word(width);
    word(height);
    gif.append("\x80\0\0", 3);  // a table of two colours follows
    gif.append(static_cast<char>(colour.red()))
        .append(static_cast<char>(colour.green()))
        .append(static_cast<char>(colour.blue()))
        .append(3, '\0');
    gif.append(',');
    word(0);
    word(0);
    word(width);
    word(height);
    gif.append('\0').append('\2');  // no table of its own; codes start at 2 bits + 1
    QByteArray codes;
    unsigned pending = 0;
    int pendingBits = 0;
    auto put = [&](unsigned code) {
        pending |= code << pendingBits;
        for (pendingBits += 3; pendingBits >= 8; pendingBits -= 8, pending >>= 8) {
            codes.append(static_cast<char>(pending & 0xFF));
        }
    };
    for (int pixel = 0; pixel < width * height; ++pixel) {
        if (pixel % 2 == 0) {
            put(4);  // clear
        }
        put(0);
    }
    put(5);  // end of the image
    if (pendingBits > 0) {
        codes.append(static_cast<char>(pending & 0xFF));
    }
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        gif.append(static_cast<char>(block.size())).append(block);
    }
    return gif.append('\0').append(';');
}

QString box(QWidget& screen, const char* name) {
    return control<QLineEdit>(screen, name)->text();
}

// Twips to the pixel of the canvas they fall in.
QPoint pixel(double xTwips, double yTwips) {
    return {static_cast<int>(std::floor(xTwips / OverlayCanvas::twipsPerPixel)),
            static_cast<int>(std::floor(yTwips / OverlayCanvas::twipsPerPixel))};
}

// The slalom course seen from the end of the course: the far gate narrow near the top of the
// screen, the near gate wide near the bottom. Points upper right, lower right, upper left,
// lower left.
CameraModel solved_course() {
    CameraModel m;
    const double points[4][4] = {
        {9400, 3000, 0, 0}, {12000, 7000, 0, -259}, {6800, 3050, 2.5, 0}, {3000, 7100, 2.5, -259}};
    for (std::size_t i = 1; i <= 4; ++i) {
        m.screen_x[i] = points[i - 1][0];
        m.screen_y[i] = points[i - 1][1];
        m.survey_x[i] = points[i - 1][2];
        m.survey_y[i] = points[i - 1][3];
    }
    m.jump_survey_x = 1.25;
    m.jump_survey_y = -300;
    if (quillon::calibration::solve_grid(m)) {
        qFatal("the test course does not solve");
    }
    return m;
}

// The coefficients as the file holds them (15 significant digits).
std::array<double, 8> file_coefficients(const QString& path) {
    return quillon::calibration::read_setup_file(path.toStdString()).data.value().coefficients;
}

// Where the tests mark the four buoys, in pixels.
const std::pair<const char*, QPoint> fourMarks[] = {{"upper_left_button", {200, 300}},
                                                    {"upper_right_button", {400, 300}},
                                                    {"lower_left_button", {220, 400}},
                                                    {"lower_right_button", {380, 400}}};

// The program started with its results folder its own, and the Setup screen open; with the
// setup-state icons beside the program if asked.
struct OnSetup : AppHarness {
    explicit OnSetup(bool withIcons = false) : setup(open(*this, withIcons)) {}
    static SetupScreen& open(AppHarness& h, bool withIcons) {
        for (const char* icon : {"face02.ico", "msgbox03.ico"}) {
            if (withIcons) {
                QFile::copy(QStringLiteral(QUILLON_DATA_DIR "/") + icon, h.path(icon));
            }
        }
        h.app.startUp();
        control<QLineEdit>(h.app.start(), "txtResults")->setText(h.folder.path());
        click(h.app.start(), "btnSetup");
        if (!h.app.setup().isVisible()) {
            qFatal("the Setup screen did not open");
        }
        return h.app.setup();
    }
    // Loads a setup file of the solved course, written by the calibration core.
    QString loadSetupFile() {
        const std::string file = path("course.ipt").toStdString();
        const auto data =
            quillon::calibration::setup_file_data(solved_course(), file, "Test lake", 1);
        if (quillon::calibration::write_setup_file(file, data)) {
            qFatal("cannot write the test setup file");
        }
        dialogs.fileAnswers.push_back(QString::fromStdString(file));
        trigger(setup, "gridLoad");
        return QString::fromStdString(file);
    }
    // Selects a buoy and clicks the canvas at a pixel.
    void mark(const char* option, QPoint at) {
        click_option(setup, option);
        QTest::mouseClick(&setup.canvas(), Qt::LeftButton, {}, at);
    }
    void markAllFour() {
        for (const auto& [option, at] : fourMarks) {
            mark(option, at);
        }
    }
    QByteArray resultsLog() const { return read_bytes(path("results_file.txt")); }
    std::vector<int> visibleIndicators() {
        std::vector<int> visible;
        for (int k = 0; k < SetupScreen::accuracyIndicatorCount; ++k) {
            const auto name = QStringLiteral("AccuracyIndicator%1").arg(k).toLatin1();
            if (control<QLabel>(setup, name.constData())->isVisible()) {
                visible.push_back(k);
            }
        }
        return visible;
    }

    SetupScreen& setup;
};

int drawn_pixels(const QImage& drawing) {
    return count_pixels(drawing, [](int, int, QColor c) { return c.alpha() != 0; });
}

}  // namespace

class SetupScreenTest : public QObject {
    Q_OBJECT

  private slots:
    void openingShowsTheStartState();
    void jumpActivationRewritesTheStandardValuesOnce();
    void markingMovesOnlyTheSelectedBuoy();
    void theLockMovesAllFourTogether();
    void draggingALabelMovesItsControls();
    void lockIsRefusedWhileAnXBoxReadsAuto_data();
    void lockIsRefusedWhileAnXBoxReadsAuto();
    void completeAlwaysRecordsTheSetup_data();
    void completeAlwaysRecordsTheSetup();
    void completeOpensMeasureUntilABoxChanges();
    void loadWhileSlotTwoIsCurrentEndsInSlotOne();
    void saveWritesTheFileAndShowsIt();
    void saveRefusesACommaAndNamesTheFileIpt_data();
    void saveRefusesACommaAndNamesTheFileIpt();
    void accuracyWorksOnlyOnAValidCalibration();
    void drawingNeedsACompleteSetup_data();
    void drawingNeedsACompleteSetup();
    void showCourseDrawsTheTwelveGuideCrosses();
    void standardAccuracyAsksUntilALineIsGiven_data();
    void standardAccuracyAsksUntilALineIsGiven();
    void advancedAccuracyLabelsEveryPointAndClears();
    void pictureLoadKeepsWhatIsNotAPicture_data();
    void pictureLoadKeepsWhatIsNotAPicture();
    void aLargePictureIsScaledDownToFitTheSurface_data();
    void aLargePictureIsScaledDownToFitTheSurface();
    void anyTextInTheBoxesIsReadByItsLeadingNumber_data();
    void anyTextInTheBoxesIsReadByItsLeadingNumber();
    void pasteTakesOnlyAWholePicture_data();
    void pasteTakesOnlyAWholePicture();
    void iconsShowTheSetupStateAndMayBeMissing();
    void everyCaptionInTheFramesShows_data();
    void theManualNamesEveryControlAndMenuEntry();
    void everyCaptionInTheFramesShows();
    void aSetupFollowsItsVideoToAnotherDisplay_data();
    void aSetupFollowsItsVideoToAnotherDisplay();
};

void SetupScreenTest::openingShowsTheStartState() {
    OnSetup h;
    auto& setup = h.setup;
    QCOMPARE(box(setup, "upper_left_x"), QString("auto"));
    QCOMPARE(box(setup, "ll_survey_y"), QString("-259"));
    QCOMPARE(box(setup, "ipt_file_description"), QString("No File"));
    QCOMPARE(h.session.calibration.marker_circle_radius, 180.0);
    QVERIFY(!control(setup, "btnAccuracyCheck")->isVisible());
    QCOMPARE(h.session.setupValid, 0.0);

    // Controls stay clear of the middle of the picture, where the course is.
    const QRect middle(setup.canvas().width() / 3, setup.canvas().height() / 3,
                       setup.canvas().width() / 3, setup.canvas().height() / 3);
    for (QWidget* child : setup.canvas().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isVisible() && child->objectName() != "gridLockedLabel") {
            QVERIFY2(!child->geometry().intersects(middle), qPrintable(child->objectName()));
        }
    }
}

void SetupScreenTest::jumpActivationRewritesTheStandardValuesOnce() {
    OnSetup h;
    auto& setup = h.setup;
    setup.hide();
    click_option(h.app.start(), "optJump");
    control<QLineEdit>(setup, "ul_survey_y")->setText("7");
    setup.show();
    // The calibration suite has the rewritten values; the screen shows them and keeps the rest.
    QCOMPARE(box(setup, "ll_survey_y"), QString("-280"));
    QCOMPARE(box(setup, "ul_survey_y"), QString("7"));
    QCOMPARE(h.session.calibration.model.survey_x[3], 4.0);

    // Once the box holds the standard value, activation leaves the operator's edits alone.
    control<QLineEdit>(setup, "ll_survey_y")->setText("-281");
    setup.hide();
    setup.show();
    QCOMPARE(box(setup, "ll_survey_y"), QString("-281"));
}

void SetupScreenTest::markingMovesOnlyTheSelectedBuoy() {
    OnSetup h;
    auto& setup = h.setup;
    h.mark("upper_left_button", {200, 300});

    QCOMPARE(box(setup, "upper_left_x"), QString(" 3000"));
    QCOMPARE(box(setup, "upper_left_y"), QString(" 4500"));
    const auto& cal = h.session.calibration;
    QCOMPARE(cal.corners.ul_screen_x, 3000.0);
    QCOMPARE(cal.model.screen_y[3], 4500.0);
    for (const char* name : {"upper_right_x", "upper_right_y", "lower_left_x", "lower_left_y",
                             "lower_right_x", "lower_right_y"}) {
        QCOMPARE(box(setup, name), QString("auto"));
    }
    QCOMPARE(cal.model.screen_x[1], 0.0);
    const QImage drawing = setup.canvas().drawing();
    QCOMPARE(drawing.pixelColor(200, 300), QColor(Qt::white));
    // The cross reaches the scroll bar's value (90 twips, 6 pixels) to either side.
    QCOMPARE(drawing.pixelColor(205, 300), QColor(Qt::white));
    QCOMPARE(drawing.pixelColor(200, 308).alpha(), 0);

    // A new mark paints the key colour over the old one.
    h.mark("upper_left_button", {260, 320});
    QCOMPARE(setup.canvas().drawing().pixelColor(200, 300), QColor(255, 0, 255));

    // Only the bare surface marks: a press on a label, a frame's caption, the state icon or
    // the blank part of an option button leaves the buoy where it is.
    const std::pair<const char*, QPoint> controls[] = {{"AdjustmentLabel", {40, 9}},
                                                       {"Frame1", {150, 6}},
                                                       {"grid_state_icon", {16, 16}},
                                                       {"upper_left_button", {85, 11}},
                                                       {"LineLabel0", {2, 2}}};
    control<QLabel>(setup, "LineLabel0")->show();
    for (const auto& [name, at] : controls) {
        QTest::mouseClick(control<QWidget>(setup, name), Qt::LeftButton, {}, at);
        QCOMPARE(box(setup, "upper_left_x"), QString(" 3900"));
    }
}

void SetupScreenTest::theLockMovesAllFourTogether() {
    OnSetup h;
    auto& setup = h.setup;
    h.markAllFour();
    click_option(setup, "chkboxGridLock");
    QVERIFY(control<QCheckBox>(setup, "chkboxGridLock")->isChecked());
    QVERIFY(control(setup, "gridLockedLabel")->isVisible());

    // The four buoys' screen positions: upper left, upper right, lower left, lower right.
    const auto& c = h.session.calibration.corners;
    auto corners = [&c] {
        return std::array<double, 8>{c.ul_screen_x, c.ul_screen_y, c.ur_screen_x, c.ur_screen_y,
                                     c.ll_screen_x, c.ll_screen_y, c.lr_screen_x, c.lr_screen_y};
    };
    // A click moves every buoy by the same offset, (+150, -150) twips here.
    h.mark("upper_left_button", {210, 290});
    QCOMPARE(corners(), (std::array<double, 8>{3150, 4350, 6150, 4350, 3450, 5850, 5850, 5850}));
    QCOMPARE(box(setup, "lower_right_x"), QString(" 5850"));
    QCOMPARE(h.session.calibration.model.screen_y[2], 5850.0);

    // An arrow moves all four by a pixel (15 twips).
    click(setup, "AdjustRight");
    QCOMPARE(corners(), (std::array<double, 8>{3165, 4350, 6165, 4350, 3465, 5850, 5865, 5850}));
    QCOMPARE(box(setup, "upper_right_x"), QString(" 6165"));

    // Without the lock only the selected buoy moves.
    click_option(setup, "chkboxGridLock");
    click(setup, "AdjustDown");
    QCOMPARE(corners(), (std::array<double, 8>{3165, 4365, 6165, 4350, 3465, 5850, 5865, 5850}));
    QCOMPARE(box(setup, "upper_left_y"), QString(" 4365"));
}

void SetupScreenTest::draggingALabelMovesItsControls() {
    OnSetup h;
    auto* label = control<QLabel>(h.setup, "CrossSizeLabel");
    auto* bar = control<QScrollBar>(h.setup, "Setup_Cross_size");
    const QPoint labelAt = label->pos();
    const QPoint barAt = bar->pos();

    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(label, QPoint(25, 15));
    // Each move is again relative to the moved label.
    QTest::mouseMove(label, QPoint(10, 5));
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseMove(label, QPoint(40, 40));
    QCOMPARE(label->pos(), labelAt + QPoint(25, 10));
    QCOMPARE(bar->pos(), barAt + QPoint(25, 10));
    QCOMPARE(h.setup.crossSize(), 90.0);
}

void SetupScreenTest::lockIsRefusedWhileAnXBoxReadsAuto_data() {
    QTest::addColumn<QString>("unmarked");
    for (const auto& mark : fourMarks) {
        QTest::newRow(mark.first) << mark.first;
    }
}

void SetupScreenTest::lockIsRefusedWhileAnXBoxReadsAuto() {
    QFETCH(QString, unmarked);
    OnSetup h;
    for (const auto& [option, at] : fourMarks) {
        if (unmarked != option) {
            h.mark(option, at);
        }
    }
    click_option(h.setup, "chkboxGridLock");

    QCOMPARE(h.dialogs.messages().size(), size_t(1));
    QCOMPARE(h.dialogs.messages()[0].text,
             QString("Cannot Lock Grid Until buoy positions have been entered for all four buoys"));
    QVERIFY(!control<QCheckBox>(h.setup, "chkboxGridLock")->isChecked());
    QVERIFY(!control(h.setup, "gridLockedLabel")->isVisible());
}

void SetupScreenTest::completeAlwaysRecordsTheSetup_data() {
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("message");
    QTest::addColumn<double>("setupValid");
    QTest::addColumn<bool>("folderWritable");
    const QString notAll("Warning - Not all parameters have been set up on grid");
    QTest::addRow("a buoy not marked") << QString("unmarked") << notAll << 0.0 << true;
    QTest::addRow("singular system")
        << QString("zero survey") << QString("No Unique Solution - Re-enter data") << 0.0 << true;
    QTest::addRow("solved") << QString("marked") << QString() << 1.0 << true;
    QTest::addRow("results folder missing")
        << QString("marked") << QString("results_file.txt") << 1.0 << false;
}

void SetupScreenTest::completeAlwaysRecordsTheSetup() {
    QFETCH(QString, setting);
    QFETCH(QString, message);
    QFETCH(double, setupValid);
    QFETCH(bool, folderWritable);
    OnSetup h;
    if (setting == "unmarked") {
        h.mark("upper_left_button", {200, 300});
    } else {
        h.markAllFour();
    }
    if (setting == "zero survey") {
        for (const char* name : {"ul_survey_x", "ul_survey_y", "ur_survey_x", "ur_survey_y",
                                 "ll_survey_x", "ll_survey_y", "lr_survey_x", "lr_survey_y"}) {
            control<QLineEdit>(h.setup, name)->setText("0");
        }
    }
    if (!folderWritable) {
        control<QLineEdit>(h.app.start(), "txtResults")->setText(h.path("missing"));
    }
    click(h.setup, "Load");

    const auto shown = h.dialogs.messages();
    if (message.isEmpty()) {
        QVERIFY(shown.empty());
    } else {
        QCOMPARE(shown.size(), size_t(1));
        QVERIFY2(shown[0].text.contains(message), qPrintable(shown[0].text));
        QCOMPARE(shown[0].style, MessageStyle::Exclamation);
    }
    QCOMPARE(h.session.setupValid, setupValid);
    QCOMPARE(h.session.calibration.grids.grid1_loaded(), setupValid != 0);
    // A calibration marked here is named in the record dossier by when it was marked.
    QCOMPARE(QString::fromStdString(h.session.calibration.grids.current().grid_marked_at),
             QString(setupValid != 0 ? "2026-12-06 14:05" : ""));
    if (folderWritable) {
        const QByteArray log = h.resultsLog();
        // The entry's lines are the calibration suite's.
        QVERIFY(log.startsWith("12-06-2026 14:05:09 New Set-up now in place\r\n"));
    }
}

void SetupScreenTest::completeOpensMeasureUntilABoxChanges() {
    OnSetup h;
    auto& start = h.app.start();
    h.markAllFour();
    click(h.setup, "Load");
    QVERIFY(control(h.setup, "btnAccuracyCheck")->isVisible());

    trigger(h.setup, "gridExit");
    QVERIFY(start.isVisible());
    click(start, "Command1");
    QVERIFY(h.app.measure().isVisible());
    QVERIFY(h.dialogs.messages().empty());

    h.app.measure().hide();
    start.show();
    control<QLineEdit>(h.setup, "jump_y")->setText("-301");
    QCOMPARE(h.session.setupValid, 0.0);
    QCOMPARE(h.session.calibration.model.jump_survey_y, -301.0);
    click(start, "Command1");
    QVERIFY(!h.app.measure().isVisible());
    QCOMPARE(h.dialogs.messages().size(), size_t(1));
}

void SetupScreenTest::loadWhileSlotTwoIsCurrentEndsInSlotOne() {
    OnSetup h;
    auto& setup = h.setup;
    auto* selector = control<QPushButton>(setup, "grid_select");

    click(setup, "grid_select");
    QCOMPARE(selector->text(), QString("Grid 2"));
    QCOMPARE(h.session.calibration.grids.current_grid, 2);
    for (const char* name :
         {"upper_left_x", "upper_right_y", "lower_left_x", "lower_right_y", "ul_survey_x",
          "ur_survey_y", "ll_survey_x", "lr_survey_y", "jump_x", "jump_y"}) {
        QCOMPARE(box(setup, name), QString(" 0"));
    }
    QCOMPARE(h.session.setupValid, 0.0);

    const QString file = h.loadSetupFile();
    QCOMPARE(h.dialogs.shown[0].request.initialIndex, 3);
    QCOMPARE(selector->text(), QString("Grid 1"));
    QCOMPARE(h.session.calibration.grids.current_grid, 1);
    QVERIFY(h.session.calibration.grids.grid1_loaded());
    QVERIFY(!h.session.calibration.grids.grid2_loaded());
    QCOMPARE(h.session.setupValid, 1.0);
    QCOMPARE(box(setup, "upper_right_x"), QString(" 9400"));
    QCOMPARE(box(setup, "jump_y"), QString("-300"));
    QCOMPARE(box(setup, "ipt_file_description"), file);
    QCOMPARE(box(setup, "ipt_file_description_2"), QString("Test lake"));
    QVERIFY(h.resultsLog().contains("Upper Right X,Y Twips:  9400   3000\r\n"));

    // Slot 2 restores as zeros, yet the setup stays complete: slot 1 holds the calibration.
    click(setup, "grid_select");
    QCOMPARE(box(setup, "upper_right_x"), QString(" 0"));
    QCOMPARE(h.session.setupValid, 1.0);
    click(setup, "grid_select");
    QCOMPARE(box(setup, "upper_right_x"), QString(" 9400"));
    QCOMPARE(h.session.calibration.model.coefficients(), file_coefficients(file));

    // Leaving with slot 2 current goes back to slot 1 and marks its buoys, leaving the boxes.
    click(setup, "grid_select");
    setup.canvas().clear();
    trigger(setup, "gridExit");
    QVERIFY(!setup.isVisible());
    QCOMPARE(h.session.calibration.grids.current_grid, 1);
    QCOMPARE(h.session.calibration.model.coefficients(), file_coefficients(file));
    QCOMPARE(h.session.calibration.corners.ur_screen_x, 9400.0);
    QCOMPARE(box(setup, "upper_right_x"), QString(" 0"));
    const QImage drawing = setup.canvas().drawing();
    // Crosses of 100 twips, and the line from lower right up to upper right.
    QCOMPARE(drawing.pixelColor(pixel(9400 + 90, 3000)), QColor(Qt::white));
    QCOMPARE(drawing.pixelColor(pixel((9400 + 12000) / 2.0, (3000 + 7000) / 2.0)),
             QColor(Qt::white));
}

void SetupScreenTest::saveWritesTheFileAndShowsIt() {
    OnSetup h;
    h.loadSetupFile();
    const QString saved = h.path("saved.ipt");
    h.dialogs.fileAnswers.push_back(saved);
    h.dialogs.inputAnswers.push_back(QString("North lake"));
    trigger(h.setup, "gridSave");

    QCOMPARE(h.dialogs.shown.back().text, QString("Enter descriptive line about grid"));
    QCOMPARE(box(h.setup, "ipt_file_description"), saved);
    QCOMPARE(box(h.setup, "ipt_file_description_2"), QString("North lake"));
    const auto read = quillon::calibration::read_setup_file(saved.toStdString());
    QVERIFY(read.data.has_value());
    QCOMPARE(read.data->description, std::string("North lake"));
    QCOMPARE(read.data->points[0].screen_x, 9400.0);

    // A file that cannot be written gives a message and changes nothing.
    h.dialogs.fileAnswers.push_back(h.path("missing/saved.ipt"));
    h.dialogs.inputAnswers.push_back(QString("Elsewhere"));
    const std::size_t messagesBefore = h.dialogs.messages().size();
    trigger(h.setup, "gridSave");
    QCOMPARE(h.dialogs.messages().size(), messagesBefore + 1);
    QCOMPARE(box(h.setup, "ipt_file_description_2"), QString("North lake"));
}

void SetupScreenTest::saveRefusesACommaAndNamesTheFileIpt_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("typed");  // the description boxes' answers; "" cancels
    QTest::addColumn<bool>("replace");       // the answer when the longer name exists
    QTest::addColumn<QString>("written");    // the file saved; none when empty
    QTest::addColumn<QString>("message");    // a part of the one message shown
    QTest::addRow("round trip") << "saved.ipt" << QStringList{"North lake"} << false << "saved.ipt"
                                << "";
    QTest::addRow("comma, then mended")
        << "saved.ipt" << QStringList{"North lake, camera 2", "North lake - camera 2"} << false
        << "saved.ipt"
        << "\"North lake, camera 2\" holds a comma";
    QTest::addRow("comma, then cancelled")
        << "saved.ipt" << QStringList{"North lake, camera 2", ""} << false << ""
        << "without quotes";
    QTest::addRow("no extension") << "lake" << QStringList{"North lake"} << false << "lake.ipt"
                                  << "";
    QTest::addRow("an extension of its own")
        << "lake.txt" << QStringList{"North lake"} << false << "lake.txt"
        << "";
    QTest::addRow("no extension, replacing lake.ipt")
        << "old" << QStringList{"North lake"} << true << "old.ipt"
        << "already exists";
    QTest::addRow("no extension, keeping lake.ipt")
        << "old" << QStringList{"North lake"} << false << ""
        << "already exists";
    QTest::addRow("comma in the name")
        << "north,lake.ipt" << QStringList{"North lake"} << false << ""
        << "holds a comma";
}

// A setup file writes the description as typed and reads it back up to a comma: the comma is
// refused at save with the reason, the typed text offered again, and a clean line round-trips.
void SetupScreenTest::saveRefusesACommaAndNamesTheFileIpt() {
    QFETCH(QString, chosen);
    QFETCH(QStringList, typed);
    QFETCH(bool, replace);
    QFETCH(QString, written);
    QFETCH(QString, message);
    OnSetup h;
    h.loadSetupFile();
    write_bytes(h.path("old.ipt"), "an older setup\r\n");
    const QStringList before = QDir(h.folder.path()).entryList(QDir::Files);
    h.dialogs.shown.clear();
    h.dialogs.fileAnswers.push_back(h.path(chosen));
    for (const QString& answer : typed) {
        h.dialogs.inputAnswers.push_back(answer.isEmpty() ? std::nullopt
                                                          : std::optional<QString>(answer));
    }
    h.dialogs.messageAnswers.push_back(replace ? quillon::platform::MessageAnswer::Yes
                                               : quillon::platform::MessageAnswer::No);
    trigger(h.setup, "gridSave");

    const auto messages = h.dialogs.messages();
    QCOMPARE(messages.size(), std::size_t(message.isEmpty() ? 0 : 1));
    if (!message.isEmpty()) {
        QVERIFY2(messages[0].text.contains(message), qPrintable(messages[0].text));
    }
    if (typed.size() > 1) {  // asked again with the text as typed
        QCOMPARE(h.dialogs.inputDefaults.back(), typed[0]);
    }
    if (written.isEmpty()) {
        QCOMPARE(QDir(h.folder.path()).entryList(QDir::Files), before);
        QCOMPARE(read_bytes(h.path("old.ipt")), QByteArray("an older setup\r\n"));
        QCOMPARE(box(h.setup, "ipt_file_description_2"), QString("Test lake"));
        return;
    }
    QVERIFY(!QFile::exists(h.path(chosen)) || chosen == written);
    QCOMPARE(box(h.setup, "ipt_file_description"), h.path(written));
    h.dialogs.fileAnswers.push_back(h.path(written));
    trigger(h.setup, "gridLoad");
    QCOMPARE(box(h.setup, "ipt_file_description_2"), typed.back());
    QCOMPARE(h.session.setupValid, 1.0);
    QCOMPARE(h.session.calibration.corners.ur_screen_x, 9400.0);
}

// After "No Unique Solution" the button stays in view but does nothing: the report never
// gets rows of NaN. A good solve, or a loaded file, makes it work again.
void SetupScreenTest::accuracyWorksOnlyOnAValidCalibration() {
    OnSetup h;
    h.markAllFour();
    const char* survey[] = {"ul_survey_x", "ul_survey_y", "ur_survey_x", "ur_survey_y",
                            "ll_survey_x", "ll_survey_y", "lr_survey_x", "lr_survey_y"};
    const char* standard[] = {"2.5", "0", "0", "0", "2.5", "-259", "0", "-259"};
    for (const char* name : survey) {
        control<QLineEdit>(h.setup, name)->setText("0");
    }
    click(h.setup, "Load");
    auto* accuracy = control<QPushButton>(h.setup, "btnAccuracyCheck");
    QCOMPARE(h.session.setupValid, 0.0);
    QVERIFY(accuracy->isVisible());
    QVERIFY(!accuracy->isEnabled());
    accuracy->click();
    QVERIFY(!QFile::exists(h.path("acc1206.txt")));
    QVERIFY(h.visibleIndicators().empty());

    for (std::size_t i = 0; i < std::size(survey); ++i) {
        control<QLineEdit>(h.setup, survey[i])->setText(standard[i]);
    }
    click(h.setup, "Load");
    QCOMPARE(h.session.setupValid, 1.0);
    QVERIFY(accuracy->isEnabled());
    click(h.setup, "btnAccuracyCheck");
    const QByteArray report = read_bytes(h.path("acc1206.txt")).toLower();
    QVERIFY(report.contains("h inc:"));
    QVERIFY(!report.contains("nan") && !report.contains("inf"));

    control<QLineEdit>(h.setup, "jump_x")->setText("1");
    QVERIFY(!accuracy->isEnabled());
    h.loadSetupFile();
    QVERIFY(accuracy->isEnabled());
}

void SetupScreenTest::drawingNeedsACompleteSetup_data() {
    QTest::addColumn<QString>("button");
    QTest::addRow("Draw Buoys") << "show_alignment";
    QTest::addRow("Show Course") << "btnShowAllBuoys";
}

void SetupScreenTest::drawingNeedsACompleteSetup() {
    QFETCH(QString, button);
    OnSetup h;
    h.loadSetupFile();
    control<QLineEdit>(h.setup, "jump_x")->setText("1");
    h.setup.canvas().clear();

    click(h.setup, qPrintable(button));
    QCOMPARE(h.dialogs.messages().back().text,
             QString("Setup needs to be OK to do this - look for the smiley face"));
    QCOMPARE(drawn_pixels(h.setup.canvas().drawing()), 0);
}

void SetupScreenTest::showCourseDrawsTheTwelveGuideCrosses() {
    OnSetup h;
    h.loadSetupFile();
    click(h.setup, "btnShowAllBuoys");

    CameraModel model = solved_course();
    std::vector<QPointF> guides;
    for (double x : {0.1, 2.4}) {
        for (double y : {-27.0, -68.0, -109.0, -150.0, -191.0, -232.0}) {
            const auto image = model.survey_to_screen({x, y});
            guides.push_back(OverlayCanvas::toPixels(image.x, image.y));
        }
    }
    const QImage drawing = h.setup.canvas().drawing();
    for (const QPointF& g : guides) {
        QCOMPARE(drawing.pixelColor(pixel(g.x() * 15, g.y() * 15)), QColor(Qt::white));
    }

    // Nothing else is drawn but the crosses (6 pixels to either side) and the buoy markers that
    // the load drew: circles of 12 pixels with a dot in the middle.
    const auto& c = h.session.calibration.corners;
    const std::vector<QPointF> buoys{OverlayCanvas::toPixels(c.ul_screen_x, c.ul_screen_y),
                                     OverlayCanvas::toPixels(c.ur_screen_x, c.ur_screen_y),
                                     OverlayCanvas::toPixels(c.ll_screen_x, c.ll_screen_y),
                                     OverlayCanvas::toPixels(c.lr_screen_x, c.lr_screen_y)};
    auto expected = [&](QPointF p) {
        for (const QPointF& g : guides) {
            const QPointF d = p - g;
            if ((std::abs(d.x()) <= 8 && std::abs(d.y()) <= 2) ||
                (std::abs(d.y()) <= 8 && std::abs(d.x()) <= 2)) {
                return true;
            }
        }
        for (const QPointF& b : buoys) {
            const double r = std::hypot(p.x() - b.x(), p.y() - b.y());
            if (r <= 3 || std::abs(r - 12) <= 3) {
                return true;
            }
        }
        return false;
    };
    QCOMPARE(count_pixels(drawing,
                          [&](int x, int y, QColor colour) {
                              return colour.alpha() != 0 && !expected({x + 0.5, y + 0.5});
                          }),
             0);
}

void SetupScreenTest::standardAccuracyAsksUntilALineIsGiven_data() {
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("line");
    QTest::addRow("7 then 2") << QStringList{"7", "2"} << 2;
    QTest::addRow("0 then 2") << QStringList{"0", "2"} << 2;
    QTest::addRow("abc then 2") << QStringList{"abc", "2"} << 2;
    QTest::addRow("empty then 2") << QStringList{"", "2"} << 2;
    QTest::addRow("all refused, then 6") << QStringList{"7", "0", "abc", "", "6"} << 6;
    QTest::addRow("2abc") << QStringList{"2abc"} << 2;
    QTest::addRow("2.0") << QStringList{"2.0"} << 2;
}

void SetupScreenTest::standardAccuracyAsksUntilALineIsGiven() {
    QFETCH(QStringList, answers);
    QFETCH(int, line);
    OnSetup h;
    auto& setup = h.setup;
    h.loadSetupFile();
    // Switching away and back to the loaded slot shows the mode choice.
    click(setup, "grid_select");
    click(setup, "grid_select");
    QVERIFY(control(setup, "fmAccuracyDisplay")->isVisible());
    click_option(setup, "optStandardAccuracy");
    QVERIFY(!control(setup, "fmAccuracyConfig")->isVisible());

    for (const QString& answer : answers) {
        h.dialogs.inputAnswers.push_back(answer);
    }
    h.dialogs.shown.clear();
    click(setup, "btnAccuracyCheck");

    QCOMPARE(h.dialogs.shown.size(), static_cast<size_t>(answers.size()));
    std::vector<int> expected;
    for (int i = 0; i < 7; ++i) {
        expected.push_back(line - 1 + 6 * i);
    }
    QCOMPARE(h.visibleIndicators(), expected);
    QVERIFY(!control(setup, "LineLabel0")->isVisible());
}

void SetupScreenTest::advancedAccuracyLabelsEveryPointAndClears() {
    OnSetup h;
    h.loadSetupFile();
    click(h.setup, "btnAccuracyCheck");

    QCOMPARE(h.visibleIndicators().size(), size_t(42));
    // The labels' texts and places are the calibration suite's; the screen puts them up.
    CameraModel model = solved_course();
    const auto image = model.survey_to_screen({2.4, -27});
    QCOMPARE(control(h.setup, "AccuracyIndicator0")->pos(),
             OverlayCanvas::toPixels(image.x, image.y + 75).toPoint());
    QVERIFY(read_bytes(h.path("acc1206.txt")).contains("Grid Number:  1 \r\n"));

    click(h.setup, "btnClearAccuracy");
    QVERIFY(h.visibleIndicators().empty());
    QVERIFY(!control(h.setup, "btnClearAccuracy")->isVisible());

    // On a full disk the report is named in a message and the labels still come up.
    QVERIFY(QFile::remove(h.path("acc1206.txt")));
    if (QFile::link("/dev/full", h.path("acc1206.txt"))) {
        click(h.setup, "btnAccuracyCheck");
        QCOMPARE(h.dialogs.messages().back().text,
                 "The accuracy report could not be written to \"" + h.path("acc1206.txt") + "\": " +
                     QString::fromStdString(std::generic_category().message(ENOSPC)) + ".");
        QCOMPARE(h.visibleIndicators().size(), size_t(42));
    }
}

void SetupScreenTest::pictureLoadKeepsWhatIsNotAPicture_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("loads");  // else the picture shown before stays
    QTest::addRow("bitmap") << "course.bmp" << true;
    QTest::addRow("jpeg named .gif") << "course.gif" << true;
    QTest::addRow("gif") << "real.gif" << true;
    QTest::addRow("bitmap with bytes after its end") << "long.bmp" << true;
    QTest::addRow("name in other scripts") << "Ålesund Øst 北湖.bmp" << true;
    QTest::addRow("text file") << "notes.txt" << false;
    QTest::addRow("cancelled") << "" << false;
    QTest::addRow("cut-off bitmap") << "cut.bmp" << false;
    QTest::addRow("cut-off gif") << "cut.gif" << false;
    QTest::addRow("cut-off jpeg") << "cut.jpg" << false;
    QTest::addRow("huge file of zeros") << "zeros.bmp" << false;
    QTest::addRow("30000 x 30000 bitmap") << "giant.bmp" << false;
}

// Qt's readers show a cut-off bitmap, GIF or JPEG with the missing part black or grey and no
// error; the Setup screen refuses them as it refuses a file that is not a picture. Huge files
// are sparse: a picture beyond Qt's allocation limit is refused from its header.
void SetupScreenTest::pictureLoadKeepsWhatIsNotAPicture() {
    QFETCH(QString, file);
    QFETCH(bool, loads);
    OnSetup h;
    const QColor oldColour(200, 40, 40);
    const QColor newColour(20, 80, 120);
    QImage old(64, 48, QImage::Format_RGB32);
    old.fill(oldColour);
    old.save(h.path("old.bmp"), "BMP");
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(newColour);
    picture.save(h.path("course.bmp"), "BMP");
    picture.save(h.path("course.gif"), "JPEG");
    QFile::copy(h.path("course.bmp"), h.path("Ålesund Øst 北湖.bmp"));
    write_bytes(h.path("notes.txt"), "not a picture\r\n");
    const QByteArray bitmap = read_bytes(h.path("course.bmp"));
    write_bytes(h.path("long.bmp"), bitmap + QByteArray(100, '\x7f'));
    write_bytes(h.path("cut.bmp"), bitmap.left(bitmap.size() / 2));
    const QByteArray gif = one_colour_gif(64, 48, newColour);
    write_bytes(h.path("real.gif"), gif);
    write_bytes(h.path("cut.gif"), gif.left(gif.size() / 2));
    // Cut within the coded data that follows the scan header, as a copy broken off near its end.
    write_bytes(h.path("cut.jpg"), read_bytes(h.path("course.gif")).chopped(16));
    QFile zeros(h.path("zeros.bmp"));
    QVERIFY(zeros.open(QIODevice::WriteOnly) && zeros.resize(300LL << 20));
    QByteArray giant = bitmap.left(54);  // the header, with width and height made 30000
    for (int at : {18, 22}) {
        qToLittleEndian<qint32>(30000, giant.data() + at);
    }
    QFile giantFile(h.path("giant.bmp"));
    QVERIFY(giantFile.open(QIODevice::WriteOnly) && giantFile.write(giant) == 54 &&
            giantFile.resize(54 + 30000LL * 30000 * 4));

    h.dialogs.fileAnswers = {h.path("old.bmp"),
                             file.isEmpty() ? std::nullopt : std::optional<QString>(h.path(file))};
    trigger(h.setup, "mnuLoadPicture");
    trigger(h.setup, "mnuLoadPicture");
    QVERIFY(h.dialogs.messages().empty());
    QVERIFY(h.setup.canvas().hasPicture());
    // JPEG may shift a colour by a step or two.
    const QColor shown = h.setup.canvas().colourAt(150, 150);
    const QColor expected = loads ? newColour : oldColour;
    QVERIFY2(std::abs(shown.red() - expected.red()) + std::abs(shown.green() - expected.green()) +
                     std::abs(shown.blue() - expected.blue()) <=
                 6,
             qPrintable(shown.name()));
    trigger(h.setup, "mnuClearPicture");
    QVERIFY(!h.setup.canvas().hasPicture());
}

void SetupScreenTest::aLargePictureIsScaledDownToFitTheSurface_data() {
    QTest::addColumn<QSize>("display");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("shown");  // from the top-left corner
    // A 1024 x 768 display leaves a surface of 1024 x 668.
    QTest::addRow("taller than the surface")
        << QSize(1024, 768) << QSize(1024, 768) << QSize(890, 668);
    QTest::addRow("a tall portrait still")
        << QSize(1024, 768) << QSize(600, 1200) << QSize(334, 668);
    QTest::addRow("wider than the surface")
        << QSize(1024, 768) << QSize(2048, 600) << QSize(1024, 300);
    QTest::addRow("fits") << QSize(1024, 768) << QSize(640, 480) << QSize(640, 480);
    QTest::addRow("the surface's own size")
        << QSize(1024, 768) << QSize(1024, 668) << QSize(1024, 668);
    QTest::addRow("fits a large display")
        << QSize(1920, 1080) << QSize(1024, 768) << QSize(1024, 768);
}

// A still of the course larger than the surface is shown whole, so that the near gate at its
// bottom can be marked: scaled down with its aspect kept, from the top-left corner.
void SetupScreenTest::aLargePictureIsScaledDownToFitTheSurface() {
    QFETCH(QSize, display);
    QFETCH(QSize, picture);
    QFETCH(QSize, shown);
    AppHarness h;
    h.app.startUp();
    h.session.screenWidthPx = std::to_string(display.width());
    h.session.screenHeightPx = std::to_string(display.height());
    auto& setup = h.app.setup();
    // The top half grey, the bottom row (the near gate) green.
    QImage still(picture, QImage::Format_RGB32);
    still.fill(Qt::gray);
    for (int x = 0; x < picture.width(); ++x) {
        for (int y = picture.height() - 12; y < picture.height(); ++y) {
            still.setPixelColor(x, y, Qt::green);
        }
    }
    still.save(h.path("still.bmp"), "BMP");
    h.dialogs.fileAnswers.push_back(h.path("still.bmp"));
    trigger(setup, "mnuLoadPicture");

    const OverlayCanvas& canvas = setup.canvas();
    const auto placement = canvas.picturePlacement();
    QVERIFY(placement.has_value());
    QCOMPARE(placement->own, picture);
    QCOMPARE(placement->shown, QRect(QPoint(0, 0), shown));
    QVERIFY(canvas.rect().contains(placement->shown));
    const auto colourAtPixel = [&canvas](int x, int y) {
        return canvas.colourAt((x + 0.5) * 15, (y + 0.5) * 15);
    };
    QCOMPARE(colourAtPixel(shown.width() / 2, shown.height() - 2), QColor(Qt::green));
    QCOMPARE(colourAtPixel(2, 2), QColor(Qt::gray));
    if (shown.height() < canvas.height()) {
        QCOMPARE(colourAtPixel(2, shown.height() + 1), QColor(255, 0, 255));
    }
    trigger(setup, "mnuClearPicture");
    QVERIFY(!canvas.picturePlacement());
}

// Every reference box takes any text by the value of its leading number; "Complete" then
// gives its usual outcome and the log keeps the text as typed (a line box holds 32767
// characters at most).
void SetupScreenTest::anyTextInTheBoxesIsReadByItsLeadingNumber_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    const QString singular("No Unique Solution - Re-enter data");
    QTest::addRow("empty") << "" << singular;
    QTest::addRow("letters") << "abc" << singular;
    QTest::addRow("other scripts") << "Øst ٣ 北湖 Север" << singular;
    QTest::addRow("sign alone") << "-" << singular;
    QTest::addRow("out of range") << "1e999" << singular;
    QTest::addRow("100000 digits") << QString(100000, '9') << singular;
    QTest::addRow("overflowing the solve") << "1e306" << singular;
}

void SetupScreenTest::anyTextInTheBoxesIsReadByItsLeadingNumber() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    OnSetup h;
    h.markAllFour();
    for (const char* name :
         {"ul_survey_x", "ul_survey_y", "ur_survey_x", "ur_survey_y", "ll_survey_x", "ll_survey_y",
          "lr_survey_x", "lr_survey_y", "jump_x", "jump_y"}) {
        control<QLineEdit>(h.setup, name)->setText(typed);
    }
    click(h.setup, "Load");
    const auto shown = h.dialogs.messages();
    QCOMPARE(shown.size(), size_t(1));
    QCOMPARE(shown[0].text, message);
    QCOMPARE(h.session.setupValid, 0.0);
    const QString kept = typed.left(32767);
    QVERIFY(QString::fromUtf8(h.resultsLog()).contains("Jump X,Y Survey: " + kept + "  " + kept));
}

void SetupScreenTest::pasteTakesOnlyAWholePicture_data() {
    QTest::addColumn<ClipboardContent>("content");
    QTest::addColumn<bool>("pastes");  // else "There is no picture on the clipboard."
    auto bitmap = [](const QImage& picture, bool whole) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "BMP");
        auto* data = new QMimeData;
        data->setData("image/bmp", whole ? bytes : bytes.left(bytes.size() / 2));
        return data;
    };
    QTest::newRow("words") << ClipboardContent([](const QImage&) {
        auto* data = new QMimeData;
        data->setText("words");
        return data;
    }) << false;
    QTest::newRow("a picture") << ClipboardContent([](const QImage& picture) {
        auto* data = new QMimeData;
        data->setImageData(picture);
        return data;
    }) << true;
    QTest::newRow("bitmap bytes") << ClipboardContent([bitmap](const QImage& picture) {
        return bitmap(picture, true);
    }) << true;
    QTest::newRow("cut-off bitmap bytes")
        << ClipboardContent([bitmap](const QImage& picture) { return bitmap(picture, false); })
        << false;
}

void SetupScreenTest::pasteTakesOnlyAWholePicture() {
    QFETCH(ClipboardContent, content);
    QFETCH(bool, pastes);
    OnSetup h;
    QImage old(32, 32, QImage::Format_RGB32);
    old.fill(QColor(200, 40, 40));
    QApplication::clipboard()->setImage(old);
    trigger(h.setup, "mnuPaste");
    QVERIFY(h.setup.canvas().hasPicture());

    QImage picture(32, 32, QImage::Format_RGB32);
    picture.fill(QColor(10, 90, 40));
    QApplication::clipboard()->setMimeData(content(picture));
    trigger(h.setup, "mnuPaste");
    const auto messages = h.dialogs.messages();
    QCOMPARE(h.setup.canvas().colourAt(15, 15), pastes ? QColor(10, 90, 40) : QColor(200, 40, 40));
    QCOMPARE(messages.size(), size_t(pastes ? 0 : 1));
    if (!pastes) {
        QCOMPARE(messages[0].text, QString("There is no picture on the clipboard."));
    }
}

void SetupScreenTest::iconsShowTheSetupStateAndMayBeMissing() {
    OnSetup h(true);
    auto* icon = control<QLabel>(h.setup, "grid_state_icon");
    const QImage notComplete = icon->pixmap().toImage();
    QVERIFY(!notComplete.isNull());

    h.loadSetupFile();
    const QImage complete = icon->pixmap().toImage();
    QVERIFY(!complete.isNull());
    QVERIFY(complete != notComplete);

    // Without the file the sign is simply not shown.
    QFile::remove(h.path("msgbox03.ico"));
    control<QLineEdit>(h.setup, "jump_x")->setText("2");
    QVERIFY(icon->pixmap().isNull());
    QCOMPARE(h.session.setupValid, 0.0);
}

void SetupScreenTest::everyCaptionInTheFramesShows_data() {
    QTest::addColumn<QSize>("display");
    QTest::newRow("1024x768") << QSize(1024, 768);
    QTest::newRow("1920x1080") << QSize(1920, 1080);
}

// The frames of options ("Display" with "Distance", "Detail " and "Hom.Lvl", the accuracy
// mode, the gate buoys): every caption fits its option, every option fits its frame, below
// the frame's own caption, and no two overlap.
void SetupScreenTest::everyCaptionInTheFramesShows() {
    QFETCH(QSize, display);
    AppHarness h;
    h.app.startUp();
    h.session.screenWidthPx = std::to_string(display.width());
    h.session.screenHeightPx = std::to_string(display.height());
    auto& setup = h.app.setup();
    for (const char* name : {"fmAccuracyConfig", "fmAccuracyDisplay", "Frame1"}) {
        const auto* frame = control<QGroupBox>(setup, name);
        const QFontMetrics frameFont(frame->font());
        QVERIFY2(frameFont.horizontalAdvance(frame->title()) + 16 <= frame->width(), name);
        const auto options = frame->findChildren<QRadioButton*>();
        QVERIFY(options.size() >= 2);
        for (const QRadioButton* option : options) {
            QStyleOptionButton style;
            style.initFrom(option);
            const int indicator =
                option->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &style, option) +
                option->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &style, option);
            const int text = QFontMetrics(option->font()).horizontalAdvance(option->text());
            const QString what = QString(name) + " / " + option->text();
            QVERIFY2(indicator + text <= option->width(), qPrintable(what));
            QVERIFY2(frame->rect().contains(option->geometry()), qPrintable(what));
            QVERIFY2(option->y() >= frameFont.height(), qPrintable(what));
            for (const QRadioButton* other : options) {
                QVERIFY2(other == option || !other->geometry().intersects(option->geometry()),
                         qPrintable(what + " / " + other->text()));
            }
        }
    }
    // The frames of the right-hand column stand one below the other.
    QVERIFY(!control(setup, "fmAccuracyDisplay")
                 ->geometry()
                 .intersects(control(setup, "fmAccuracyConfig")->geometry()));
}

// Every button, option and menu entry of the Setup screen, the Video menu's included, is
// explained in the Manual under its caption, and so are the accuracy codes.
void SetupScreenTest::theManualNamesEveryControlAndMenuEntry() {
    OnSetup h;
    const QString manual = QString::fromLatin1(quillon::screens::manual_text());
    QStringList captions;
    for (const QAbstractButton* button : h.setup.findChildren<QAbstractButton*>()) {
        captions << button->text();
    }
    for (const QAction* action : h.setup.findChildren<QAction*>()) {
        if (!action->objectName().isEmpty() && action->objectName() != "mnuVideoCamera") {
            captions << action->text();
        }
    }
    QVERIFY(captions.size() > 30);
    for (QString caption : captions) {
        caption = caption.remove('&').trimmed();
        QVERIFY2(caption.isEmpty() || manual.contains(caption), qPrintable(caption));
    }
    for (const char* code : {"  R   ", "  L   ", "  C   ", "  NH  ", "(F8", "(F5)"}) {
        QVERIFY2(manual.contains(code), code);
    }
}

// A setup saved over a video on a 1920 x 1080 display and loaded on a smaller one puts each
// buoy on the same video pixel (the surface and the video's fit differ), and every buoy still
// maps to its survey point: the coefficients are carried over, not solved again. On the same
// display nothing moves by a bit. The back ratio is the far gate against the video's width,
// the same on every display.
void SetupScreenTest::aSetupFollowsItsVideoToAnotherDisplay_data() {
    QTest::addColumn<QSize>("display");
    QTest::addRow("1366 x 768") << QSize(1366, 768);
    QTest::addRow("1024 x 768") << QSize(1024, 768);
    QTest::addRow("the same display") << QSize(1920, 1080);
}

namespace {

// The Setup screen on a display of the given size, with a video open.
struct OnDisplay : AppHarness {
    explicit OnDisplay(QSize size) {
        app.startUp();
        session.screenWidthPx = std::to_string(size.width());
        session.screenHeightPx = std::to_string(size.height());
        control<QLineEdit>(app.start(), "txtResults")->setText(folder.path());
        click(app.start(), "btnSetup");
        // The fake source plays generated 320 x 240 frames for any file that is there.
        QFile file(path("pass.mp4"));
        if (!file.open(QIODevice::WriteOnly) || file.write("recorded pass") <= 0) {
            qFatal("cannot write the video file");
        }
        file.close();
        dialogs.fileAnswers.push_back(path("pass.mp4"));
        trigger(app.setup(), "mnuVideoOpenFile");
    }
    // The video pixel and survey point of each buoy as the calibration holds it.
    std::vector<std::pair<QPointF, quillon::calibration::PlanePoint>> buoys() {
        const QRect shown = app.setup().canvas().videoRect();
        const QSize own = app.setup().canvas().videoSize();
        const auto& model = session.calibration.model;
        std::vector<std::pair<QPointF, quillon::calibration::PlanePoint>> found;
        for (std::size_t i = 1; i <= 4; ++i) {
            const double x = model.screen_x[i] / 15, y = model.screen_y[i] / 15;
            found.push_back({QPointF((x - shown.left()) * own.width() / shown.width(),
                                     (y - shown.top()) * own.height() / shown.height()),
                             model.screen_to_survey({model.screen_x[i], model.screen_y[i]})});
        }
        return found;
    }
};

}  // namespace

void SetupScreenTest::aSetupFollowsItsVideoToAnotherDisplay() {
    QFETCH(QSize, display);
    QTemporaryDir shared;
    const QString moved = QDir(shared.path()).filePath("moved.ipt");
    std::vector<std::pair<QPointF, quillon::calibration::PlanePoint>> saved;
    std::array<double, 8> savedCoefficients{};
    {
        OnDisplay a(QSize(1920, 1080));
        QVERIFY(a.app.setup().canvas().hasVideo());
        const std::string course = a.path("course.ipt").toStdString();
        QVERIFY(!quillon::calibration::write_setup_file(
            course,
            quillon::calibration::setup_file_data(solved_course(), course, "Test lake", 1)));
        a.dialogs.fileAnswers.push_back(QString::fromStdString(course));
        trigger(a.app.setup(), "gridLoad");
        a.dialogs.fileAnswers.push_back(moved);
        a.dialogs.inputAnswers.push_back(QString("North lake"));
        trigger(a.app.setup(), "gridSave");
        QVERIFY(QFileInfo::exists(moved + ".view"));
        saved = a.buoys();
        savedCoefficients = a.session.calibration.model.coefficients();
    }
    OnDisplay b(display);
    QCOMPARE(b.app.setup().canvas().size(), QSize(display.width(), display.height() - 100));
    b.dialogs.fileAnswers.push_back(moved);
    trigger(b.app.setup(), "gridLoad");
    QVERIFY(b.session.setupValid != 0);
    const auto loaded = b.buoys();
    for (std::size_t i = 0; i < 4; ++i) {
        QVERIFY2(std::hypot(loaded[i].first.x() - saved[i].first.x(),
                            loaded[i].first.y() - saved[i].first.y()) < 0.5,
                 qPrintable(QString("buoy %1").arg(i + 1)));
        QVERIFY(std::fabs(loaded[i].second.x - saved[i].second.x) < 1e-6);
        QVERIFY(std::fabs(loaded[i].second.y - saved[i].second.y) < 1e-6);
    }
    if (display == QSize(1920, 1080)) {
        QCOMPARE(b.session.calibration.model.coefficients(), file_coefficients(moved));
    } else {
        QVERIFY(b.session.calibration.model.coefficients() != savedCoefficients);
    }
    // The far gate against the video's width on the surface, whatever the display.
    const auto& model = b.session.calibration.model;
    const double videoWidthTwips = b.app.setup().canvas().videoRect().width() * 15.0;
    QVERIFY(std::fabs(model.back_ratio - std::fabs(model.screen_x[1] - model.screen_x[3]) * 100 /
                                             videoWidthTwips) < 1e-9);
}

QTEST_MAIN(SetupScreenTest)
#include "setup_screen_test.moc"
