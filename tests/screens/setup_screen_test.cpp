#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>
#include <cmath>

#include "calibration/setup_file.h"
#include "calibration/solver.h"
#include "screens/measure/measure_screen.h"
#include "screens/setup/setup_screen.h"
#include "screens/start/start_screen.h"
#include "screens/widgets/overlay_canvas.h"
#include "support/app_harness.h"

using quillon::calibration::CameraModel;
using quillon::platform::MessageAnswer;
using quillon::platform::MessageStyle;
using quillon::screens::OverlayCanvas;
using quillon::screens::SetupScreen;
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

QString box(QWidget& screen, const char* name) {
    return control<QLineEdit>(screen, name)->text();
}

// Clicks an option or a check box on its indicator, which is always inside its click area.
template <typename T>
void click_indicator(T* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

void trigger(QWidget& screen, const char* name) {
    auto* action = screen.findChild<QAction*>(name);
    if (action == nullptr) {
        qFatal("no menu entry %s", name);
    }
    action->trigger();
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

// A setup file written by the calibration core from the solved course.
QString write_setup_file(const AppHarness& h, const char* name = "course.ipt") {
    const std::string path = h.path(name).toStdString();
    const auto data = quillon::calibration::setup_file_data(solved_course(), path, "Test lake", 1);
    if (quillon::calibration::write_setup_file(path, data)) {
        qFatal("cannot write the test setup file");
    }
    return QString::fromStdString(path);
}

// The program started, the results folder set to the program's folder, the Setup screen open.
SetupScreen& open_setup(AppHarness& h) {
    h.app.startUp();
    auto& start = h.app.start();
    control<QLineEdit>(start, "txtResults")->setText(h.folder.path());
    QTest::mouseClick(control<QPushButton>(start, "btnSetup"), Qt::LeftButton);
    auto& setup = h.app.setup();
    if (!setup.isVisible()) {
        qFatal("the Setup screen did not open");
    }
    return setup;
}

// The coefficients as the file holds them (15 significant digits).
std::array<double, 8> file_coefficients(const QString& path) {
    return quillon::calibration::read_setup_file(path.toStdString()).data.value().coefficients;
}

void load_setup_file(AppHarness& h, SetupScreen& setup, const QString& path) {
    h.dialogs.fileAnswers.push_back(path);
    trigger(setup, "gridLoad");
}

// Selects a buoy and clicks the canvas at a pixel.
void mark(SetupScreen& setup, const char* option, QPoint at) {
    click_indicator(control<QRadioButton>(setup, option));
    QTest::mouseClick(&setup.canvas(), Qt::LeftButton, {}, at);
}

void mark_all_four(SetupScreen& setup) {
    mark(setup, "upper_left_button", {200, 300});
    mark(setup, "upper_right_button", {400, 300});
    mark(setup, "lower_left_button", {220, 400});
    mark(setup, "lower_right_button", {380, 400});
}

QString results_log(const AppHarness& h) {
    QFile file(h.path("results_file.txt"));
    file.open(QIODevice::ReadOnly);
    return QString::fromLatin1(file.readAll());
}

std::vector<int> visible_indicators(SetupScreen& setup) {
    std::vector<int> visible;
    for (int k = 0; k < SetupScreen::accuracyIndicatorCount; ++k) {
        const auto name = QStringLiteral("AccuracyIndicator%1").arg(k).toLatin1();
        if (control<QLabel>(setup, name.constData())->isVisible()) {
            visible.push_back(k);
        }
    }
    return visible;
}

}  // namespace

class SetupScreenTest : public QObject {
    Q_OBJECT

  private slots:
    void openingShowsTheStartState();
    void jumpActivationRewritesTheStandardValuesOnce();
    void markingMovesOnlyTheSelectedBuoy();
    void lockedMarkingMovesAllFourTogether();
    void lockedArrowMovesAllFourOnePixel();
    void draggingALabelMovesItsControls();
    void lockIsRefusedWhileAnXBoxReadsAuto_data();
    void lockIsRefusedWhileAnXBoxReadsAuto();
    void completeAlwaysRecordsTheSetup_data();
    void completeAlwaysRecordsTheSetup();
    void completeOpensMeasureUntilABoxChanges();
    void loadWhileSlotTwoIsCurrentEndsInSlotOne();
    void refusedSetupFileChangesNothing();
    void saveWritesTheFileAndShowsIt();
    void drawingNeedsACompleteSetup_data();
    void drawingNeedsACompleteSetup();
    void showCourseDrawsTheTwelveGuideCrosses();
    void exitWithACompleteSetupLeavesTheMarks();
    void standardAccuracyAsksUntilALineIsGiven_data();
    void standardAccuracyAsksUntilALineIsGiven();
    void advancedAccuracyLabelsEveryPointAndClears();
    void pictureLoadKeepsWhatIsNotAPicture_data();
    void pictureLoadKeepsWhatIsNotAPicture();
    void pasteNeedsAPictureOnTheClipboard();
    void iconsShowTheSetupStateAndMayBeMissing();
    void screenshot();
};

void SetupScreenTest::openingShowsTheStartState() {
    AppHarness h;
    auto& setup = open_setup(h);
    QCOMPARE(setup.windowTitle(), QString("Grid Setup"));
    QCOMPARE(box(setup, "upper_left_x"), QString("auto"));
    QCOMPARE(box(setup, "ll_survey_y"), QString("-259"));
    QCOMPARE(box(setup, "jump_x"), QString("jump x"));
    QCOMPARE(box(setup, "ipt_file_description"), QString("No File"));
    QCOMPARE(control<QPushButton>(setup, "grid_select")->text(), QString("Grid 1"));
    QCOMPARE(control<QPushButton>(setup, "Load")->text(), QString("Complete"));
    QCOMPARE(setup.crossSize(), 90.0);
    QCOMPARE(h.session.calibration.marker_circle_radius, 180.0);
    QVERIFY(!control<QPushButton>(setup, "btnAccuracyCheck")->isVisible());
    QVERIFY(!control<QLabel>(setup, "gridLockedLabel")->isVisible());
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
    AppHarness h;
    auto& setup = open_setup(h);
    setup.hide();
    click_indicator(control<QRadioButton>(h.app.start(), "optJump"));
    control<QLineEdit>(setup, "ul_survey_y")->setText("7");
    setup.show();
    QCOMPARE(box(setup, "ul_survey_x"), QString("4"));
    QCOMPARE(box(setup, "ll_survey_x"), QString("4"));
    QCOMPARE(box(setup, "ll_survey_y"), QString("-280"));
    QCOMPARE(box(setup, "lr_survey_y"), QString("-280"));
    QCOMPARE(box(setup, "ul_survey_y"), QString("7"));
    QCOMPARE(h.session.calibration.model.survey_x[3], 4.0);

    // Once the box holds the standard value, activation leaves the operator's edits alone.
    control<QLineEdit>(setup, "ll_survey_y")->setText("-281");
    setup.hide();
    setup.show();
    QCOMPARE(box(setup, "ll_survey_y"), QString("-281"));
}

void SetupScreenTest::markingMovesOnlyTheSelectedBuoy() {
    AppHarness h;
    auto& setup = open_setup(h);
    mark(setup, "upper_left_button", {200, 300});

    QCOMPARE(box(setup, "upper_left_x"), QString(" 3000"));
    QCOMPARE(box(setup, "upper_left_y"), QString(" 4500"));
    const auto& cal = h.session.calibration;
    QCOMPARE(cal.corners.ul_screen_x, 3000.0);
    QCOMPARE(cal.corners.ul_screen_y, 4500.0);
    QCOMPARE(cal.model.screen_x[3], 3000.0);
    QCOMPARE(cal.model.screen_y[3], 4500.0);
    for (const char* name : {"upper_right_x", "upper_right_y", "lower_left_x", "lower_left_y",
                             "lower_right_x", "lower_right_y"}) {
        QCOMPARE(box(setup, name), QString("auto"));
    }
    QCOMPARE(cal.corners.ur_screen_x, 0.0);
    QCOMPARE(cal.model.screen_x[1], 0.0);
    QCOMPARE(setup.canvas().drawing().pixelColor(200, 300), QColor(Qt::white));
    // The cross reaches the scroll bar's value (90 twips, 6 pixels) to either side.
    QCOMPARE(setup.canvas().drawing().pixelColor(205, 300), QColor(Qt::white));
    QCOMPARE(setup.canvas().drawing().pixelColor(200, 308).alpha(), 0);

    // A new mark paints the key colour over the old one.
    mark(setup, "upper_left_button", {260, 320});
    QCOMPARE(setup.canvas().drawing().pixelColor(200, 300), QColor(255, 0, 255));
}

void SetupScreenTest::lockedMarkingMovesAllFourTogether() {
    AppHarness h;
    auto& setup = open_setup(h);
    mark_all_four(setup);
    click_indicator(control<QCheckBox>(setup, "chkboxGridLock"));
    QVERIFY(control<QCheckBox>(setup, "chkboxGridLock")->isChecked());
    QVERIFY(control<QLabel>(setup, "gridLockedLabel")->isVisible());

    mark(setup, "upper_left_button", {210, 290});  // moves by (+150, -150) twips
    const auto& c = h.session.calibration.corners;
    QCOMPARE(c.ul_screen_x, 3150.0);
    QCOMPARE(c.ul_screen_y, 4350.0);
    QCOMPARE(c.ur_screen_x, 6150.0);
    QCOMPARE(c.ur_screen_y, 4350.0);
    QCOMPARE(c.ll_screen_x, 3450.0);
    QCOMPARE(c.ll_screen_y, 5850.0);
    QCOMPARE(c.lr_screen_x, 5850.0);
    QCOMPARE(c.lr_screen_y, 5850.0);
    QCOMPARE(box(setup, "lower_right_x"), QString(" 5850"));
    QCOMPARE(h.session.calibration.model.screen_y[2], 5850.0);
}

void SetupScreenTest::lockedArrowMovesAllFourOnePixel() {
    AppHarness h;
    auto& setup = open_setup(h);
    mark_all_four(setup);
    click_indicator(control<QCheckBox>(setup, "chkboxGridLock"));
    const auto before = h.session.calibration.corners;

    QTest::mouseClick(control<QToolButton>(setup, "AdjustRight"), Qt::LeftButton);
    const auto& c = h.session.calibration.corners;
    QCOMPARE(c.ul_screen_x, before.ul_screen_x + 15);
    QCOMPARE(c.ur_screen_x, before.ur_screen_x + 15);
    QCOMPARE(c.ll_screen_x, before.ll_screen_x + 15);
    QCOMPARE(c.lr_screen_x, before.lr_screen_x + 15);
    QCOMPARE(c.lr_screen_y, before.lr_screen_y);
    QCOMPARE(box(setup, "upper_right_x"), QString(" 6015"));

    // Without the lock only the selected buoy moves.
    click_indicator(control<QCheckBox>(setup, "chkboxGridLock"));
    QTest::mouseClick(control<QToolButton>(setup, "AdjustDown"), Qt::LeftButton);
    QCOMPARE(c.lr_screen_y, before.lr_screen_y + 15);
    QCOMPARE(c.ul_screen_y, before.ul_screen_y);
    QCOMPARE(box(setup, "lower_right_y"), QString(" 6015"));
}

void SetupScreenTest::draggingALabelMovesItsControls() {
    AppHarness h;
    auto& setup = open_setup(h);
    auto* label = control<QLabel>(setup, "CrossSizeLabel");
    auto* bar = control<QScrollBar>(setup, "Setup_Cross_size");
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
    QCOMPARE(setup.crossSize(), 90.0);
}

void SetupScreenTest::lockIsRefusedWhileAnXBoxReadsAuto_data() {
    QTest::addColumn<QString>("unmarked");
    QTest::addRow("upper left") << "upper_left_button";
    QTest::addRow("upper right") << "upper_right_button";
    QTest::addRow("lower left") << "lower_left_button";
    QTest::addRow("lower right") << "lower_right_button";
}

void SetupScreenTest::lockIsRefusedWhileAnXBoxReadsAuto() {
    QFETCH(QString, unmarked);
    AppHarness h;
    auto& setup = open_setup(h);
    const std::pair<const char*, QPoint> marks[] = {{"upper_left_button", {200, 300}},
                                                    {"upper_right_button", {400, 300}},
                                                    {"lower_left_button", {220, 400}},
                                                    {"lower_right_button", {380, 400}}};
    for (const auto& [option, at] : marks) {
        if (unmarked != option) {
            mark(setup, option, at);
        }
    }
    auto* lock = control<QCheckBox>(setup, "chkboxGridLock");
    click_indicator(lock);

    QCOMPARE(h.dialogs.messages().size(), size_t(1));
    QCOMPARE(h.dialogs.messages()[0].text,
             QString("Cannot Lock Grid Until buoy positions have been entered for all four buoys"));
    QCOMPARE(h.dialogs.messages()[0].style, MessageStyle::Ok);
    QVERIFY(!lock->isChecked());
    QVERIFY(!control<QLabel>(setup, "gridLockedLabel")->isVisible());
}

void SetupScreenTest::completeAlwaysRecordsTheSetup_data() {
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("message");
    QTest::addColumn<double>("setupValid");
    QTest::addColumn<bool>("folderWritable");
    QTest::addRow("a buoy not marked")
        << "unmarked"
        << "Warning - Not all parameters have been set up on grid" << 0.0 << true;
    QTest::addRow("singular system") << "zero survey"
                                     << "No Unique Solution - Re-enter data" << 0.0 << true;
    QTest::addRow("solved") << "marked"
                            << "" << 1.0 << true;
    QTest::addRow("solved, results folder missing") << "marked"
                                                    << "results_file.txt" << 1.0 << false;
}

void SetupScreenTest::completeAlwaysRecordsTheSetup() {
    QFETCH(QString, setting);
    QFETCH(QString, message);
    QFETCH(double, setupValid);
    QFETCH(bool, folderWritable);
    AppHarness h;
    auto& setup = open_setup(h);
    if (setting == "unmarked") {
        mark(setup, "upper_left_button", {200, 300});
    } else {
        mark_all_four(setup);
    }
    if (setting == "zero survey") {
        for (const char* name : {"ul_survey_x", "ul_survey_y", "ur_survey_x", "ur_survey_y",
                                 "ll_survey_x", "ll_survey_y", "lr_survey_x", "lr_survey_y"}) {
            control<QLineEdit>(setup, name)->setText("0");
        }
    }
    if (!folderWritable) {
        control<QLineEdit>(h.app.start(), "txtResults")->setText(h.path("missing"));
    }
    QTest::mouseClick(control<QPushButton>(setup, "Load"), Qt::LeftButton);

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
    if (folderWritable) {
        const QString log = results_log(h);
        QVERIFY(log.startsWith("12-06-2026 14:05:09 New Set-up now in place\r\n"));
        QVERIFY(log.contains("Upper Left X,Y Pixels:  3000   4500\r\n"));
        QVERIFY(log.contains(setting == "unmarked" ? "Lower Right X,Y Pixels: auto  auto\r\n"
                                                   : "Lower Right X,Y Pixels:  5700   6000\r\n"));
    }
}

void SetupScreenTest::completeOpensMeasureUntilABoxChanges() {
    AppHarness h;
    auto& setup = open_setup(h);
    auto& start = h.app.start();
    mark_all_four(setup);
    QTest::mouseClick(control<QPushButton>(setup, "Load"), Qt::LeftButton);
    QVERIFY(control<QPushButton>(setup, "btnAccuracyCheck")->isVisible());

    trigger(setup, "gridExit");
    QVERIFY(h.dialogs.messages().empty());
    QVERIFY(start.isVisible());
    QTest::mouseClick(control<QPushButton>(start, "Command1"), Qt::LeftButton);
    QVERIFY(h.app.measure().isVisible());
    QVERIFY(h.dialogs.messages().empty());

    h.app.measure().hide();
    start.show();
    control<QLineEdit>(setup, "jump_y")->setText("-301");
    QCOMPARE(h.session.setupValid, 0.0);
    QCOMPARE(h.session.calibration.model.jump_survey_y, -301.0);
    QTest::mouseClick(control<QPushButton>(start, "Command1"), Qt::LeftButton);
    QVERIFY(!h.app.measure().isVisible());
    QCOMPARE(h.dialogs.messages().size(), size_t(1));
}

void SetupScreenTest::loadWhileSlotTwoIsCurrentEndsInSlotOne() {
    AppHarness h;
    auto& setup = open_setup(h);
    const QString file = write_setup_file(h);
    auto* selector = control<QPushButton>(setup, "grid_select");

    QTest::mouseClick(selector, Qt::LeftButton);
    QCOMPARE(selector->text(), QString("Grid 2"));
    QCOMPARE(h.session.calibration.grids.current_grid, 2);
    for (const char* name :
         {"upper_left_x", "upper_right_y", "lower_left_x", "lower_right_y", "ul_survey_x",
          "ur_survey_y", "ll_survey_x", "lr_survey_y", "jump_x", "jump_y"}) {
        QCOMPARE(box(setup, name), QString(" 0"));
    }
    QCOMPARE(h.session.setupValid, 0.0);

    load_setup_file(h, setup, file);
    QCOMPARE(h.dialogs.shown[0].request.initialIndex, 3);
    QCOMPARE(
        h.dialogs.shown[0].request.filter,
        QString("All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.ipt)|*.ipt|"));
    QCOMPARE(selector->text(), QString("Grid 1"));
    QCOMPARE(h.session.calibration.grids.current_grid, 1);
    QVERIFY(h.session.calibration.grids.grid1_loaded());
    QVERIFY(!h.session.calibration.grids.grid2_loaded());
    QCOMPARE(h.session.setupValid, 1.0);
    QCOMPARE(box(setup, "upper_right_x"), QString(" 9400"));
    QCOMPARE(box(setup, "ll_survey_y"), QString("-259"));
    QCOMPARE(box(setup, "jump_y"), QString("-300"));
    QCOMPARE(box(setup, "ipt_file_description"), file);
    QCOMPARE(box(setup, "ipt_file_description_2"), QString("Test lake"));
    QVERIFY(results_log(h).contains("Upper Right X,Y Twips:  9400   3000\r\n"));

    // Slot 2 restores as zeros, yet the setup stays complete: slot 1 holds the calibration.
    QTest::mouseClick(selector, Qt::LeftButton);
    QCOMPARE(box(setup, "upper_right_x"), QString(" 0"));
    QCOMPARE(h.session.setupValid, 1.0);
    QTest::mouseClick(selector, Qt::LeftButton);
    QCOMPARE(box(setup, "upper_right_x"), QString(" 9400"));
    QCOMPARE(h.session.calibration.model.coefficients(), file_coefficients(file));
}

void SetupScreenTest::refusedSetupFileChangesNothing() {
    AppHarness h;
    auto& setup = open_setup(h);
    QFile broken(h.path("broken.ipt"));
    broken.open(QIODevice::WriteOnly);
    broken.write("Initialization Points for file: x\r\nshort\r\n 1 , 2 , 3 , 4 \r\n");
    broken.close();
    mark(setup, "upper_left_button", {200, 300});
    const auto before = h.session.calibration.model;

    load_setup_file(h, setup, h.path("broken.ipt"));
    QCOMPARE(h.dialogs.messages().size(), size_t(1));
    QVERIFY(h.session.calibration.model == before);
    QCOMPARE(box(setup, "upper_left_x"), QString(" 3000"));
    QCOMPARE(box(setup, "ipt_file_description"), QString("No File"));
    QCOMPARE(h.session.setupValid, 0.0);
    QVERIFY(!QFile::exists(h.path("results_file.txt")));
}

void SetupScreenTest::saveWritesTheFileAndShowsIt() {
    AppHarness h;
    auto& setup = open_setup(h);
    load_setup_file(h, setup, write_setup_file(h));
    const QString saved = h.path("saved.ipt");
    h.dialogs.fileAnswers.push_back(saved);
    h.dialogs.inputAnswers.push_back(QString("North lake"));
    trigger(setup, "gridSave");

    const auto& request = h.dialogs.shown.at(h.dialogs.shown.size() - 2);
    QCOMPARE(
        request.request.filter,
        QString("All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.IPT)|*.IPT|"));
    QCOMPARE(request.request.initialIndex, 3);
    QCOMPARE(h.dialogs.shown.back().text, QString("Enter descriptive line about grid"));
    QCOMPARE(h.dialogs.shown.back().title, QString("Grid Description"));
    QCOMPARE(box(setup, "ipt_file_description"), saved);
    QCOMPARE(box(setup, "ipt_file_description_2"), QString("North lake"));
    const auto read = quillon::calibration::read_setup_file(saved.toStdString());
    QVERIFY(read.data.has_value());
    QCOMPARE(read.data->description, std::string("North lake"));
    QCOMPARE(read.data->points[0].screen_x, 9400.0);

    // A file that cannot be written gives a message and changes nothing.
    h.dialogs.fileAnswers.push_back(h.path("missing/saved.ipt"));
    h.dialogs.inputAnswers.push_back(QString("Elsewhere"));
    const std::size_t messagesBefore = h.dialogs.messages().size();
    trigger(setup, "gridSave");
    QCOMPARE(h.dialogs.messages().size(), messagesBefore + 1);
    QCOMPARE(box(setup, "ipt_file_description_2"), QString("North lake"));
}

void SetupScreenTest::drawingNeedsACompleteSetup_data() {
    QTest::addColumn<QString>("button");
    QTest::addRow("Draw Buoys") << "show_alignment";
    QTest::addRow("Show Course") << "btnShowAllBuoys";
}

void SetupScreenTest::drawingNeedsACompleteSetup() {
    QFETCH(QString, button);
    AppHarness h;
    auto& setup = open_setup(h);
    load_setup_file(h, setup, write_setup_file(h));
    control<QLineEdit>(setup, "jump_x")->setText("1");
    setup.canvas().clear();

    QTest::mouseClick(control<QPushButton>(setup, button.toLatin1().constData()), Qt::LeftButton);
    QCOMPARE(h.dialogs.messages().back().text,
             QString("Setup needs to be OK to do this - look for the smiley face"));
    const QImage drawing = setup.canvas().drawing();
    for (int y = 0; y < drawing.height(); ++y) {
        for (int x = 0; x < drawing.width(); ++x) {
            if (drawing.pixelColor(x, y).alpha() != 0) {
                QFAIL("something was drawn");
            }
        }
    }
}

void SetupScreenTest::showCourseDrawsTheTwelveGuideCrosses() {
    AppHarness h;
    auto& setup = open_setup(h);
    load_setup_file(h, setup, write_setup_file(h));
    QTest::mouseClick(control<QPushButton>(setup, "btnShowAllBuoys"), Qt::LeftButton);

    CameraModel model = solved_course();
    std::vector<QPointF> guides;
    for (double x : {0.1, 2.4}) {
        for (double y : {-27.0, -68.0, -109.0, -150.0, -191.0, -232.0}) {
            const auto image = model.survey_to_screen({x, y});
            guides.push_back(OverlayCanvas::toPixels(image.x, image.y));
        }
    }
    const QImage drawing = setup.canvas().drawing();
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
    int strays = 0;
    for (int y = 0; y < drawing.height(); ++y) {
        for (int x = 0; x < drawing.width(); ++x) {
            if (drawing.pixelColor(x, y).alpha() != 0 && !expected({x + 0.5, y + 0.5})) {
                ++strays;
            }
        }
    }
    QCOMPARE(strays, 0);
}

void SetupScreenTest::exitWithACompleteSetupLeavesTheMarks() {
    AppHarness h;
    auto& setup = open_setup(h);
    const QString file = write_setup_file(h);
    load_setup_file(h, setup, file);
    QTest::mouseClick(control<QPushButton>(setup, "grid_select"), Qt::LeftButton);
    QCOMPARE(h.session.calibration.grids.current_grid, 2);
    setup.canvas().clear();

    trigger(setup, "gridExit");
    QVERIFY(!setup.isVisible());
    QCOMPARE(h.session.calibration.grids.current_grid, 1);
    QCOMPARE(h.session.calibration.model.coefficients(), file_coefficients(file));
    QCOMPARE(h.session.calibration.corners.ur_screen_x, 9400.0);
    // The boxes are not refilled.
    QCOMPARE(box(setup, "upper_right_x"), QString(" 0"));
    const QImage drawing = setup.canvas().drawing();
    // Crosses of 100 twips, and the line from lower right up to upper right.
    QCOMPARE(drawing.pixelColor(pixel(9400 + 90, 3000)), QColor(Qt::white));
    QCOMPARE(drawing.pixelColor(pixel((9400 + 12000) / 2.0, (3000 + 7000) / 2.0)),
             QColor(Qt::white));
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
    AppHarness h;
    auto& setup = open_setup(h);
    load_setup_file(h, setup, write_setup_file(h));
    // Switching away and back to the loaded slot shows the mode choice.
    QTest::mouseClick(control<QPushButton>(setup, "grid_select"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(setup, "grid_select"), Qt::LeftButton);
    QVERIFY(control<QWidget>(setup, "fmAccuracyDisplay")->isVisible());
    click_indicator(control<QRadioButton>(setup, "optStandardAccuracy"));
    QVERIFY(!control<QWidget>(setup, "fmAccuracyConfig")->isVisible());

    for (const QString& answer : answers) {
        h.dialogs.inputAnswers.push_back(answer);
    }
    h.dialogs.shown.clear();
    QTest::mouseClick(control<QPushButton>(setup, "btnAccuracyCheck"), Qt::LeftButton);

    QCOMPARE(h.dialogs.shown.size(), static_cast<size_t>(answers.size()));
    for (const auto& shown : h.dialogs.shown) {
        QCOMPARE(shown.text,
                 QString("Pick the line number that best represents where the skier will land"));
        QCOMPARE(shown.title, QString("Input the skier path line"));
    }
    QVERIFY(control<QRadioButton>(setup, "optHomolgationLevel")->isChecked());
    std::vector<int> expected;
    for (int i = 0; i < 7; ++i) {
        expected.push_back(line - 1 + 6 * i);
    }
    QCOMPARE(visible_indicators(setup), expected);
    for (int k : expected) {
        const auto name = QStringLiteral("AccuracyIndicator%1").arg(k).toLatin1();
        const QString code = control<QLabel>(setup, name.constData())->text();
        QVERIFY2(QStringList({"R", "L", "C", "NH"}).contains(code), qPrintable(code));
    }
    for (int k = 0; k < SetupScreen::lineLabelCount; ++k) {
        const auto name = QStringLiteral("LineLabel%1").arg(k).toLatin1();
        QVERIFY(!control<QLabel>(setup, name.constData())->isVisible());
    }
    QVERIFY(control<QPushButton>(setup, "btnClearAccuracy")->isVisible());
}

void SetupScreenTest::advancedAccuracyLabelsEveryPointAndClears() {
    AppHarness h;
    auto& setup = open_setup(h);
    load_setup_file(h, setup, write_setup_file(h));
    QTest::mouseClick(control<QPushButton>(setup, "btnAccuracyCheck"), Qt::LeftButton);

    const auto visible = visible_indicators(setup);
    QCOMPARE(visible.size(), size_t(42));
    QCOMPARE(visible.back(), 41);
    // Detail: the pixel step rounded to 2 decimals, placed 75 twips below the point's image.
    auto* first = control<QLabel>(setup, "AccuracyIndicator0");
    QVERIFY2(first->text().startsWith(" ."), qPrintable(first->text()));
    CameraModel model = solved_course();
    const auto image = model.survey_to_screen({2.4, -27});
    QCOMPARE(first->pos(), OverlayCanvas::toPixels(image.x, image.y + 75).toPoint());
    QFile report(h.path("acc1206.txt"));
    QVERIFY(report.open(QIODevice::ReadOnly));
    QVERIFY(report.readAll().contains("Grid Number:  1 \r\n"));

    QTest::mouseClick(control<QPushButton>(setup, "btnClearAccuracy"), Qt::LeftButton);
    QVERIFY(visible_indicators(setup).empty());
    QVERIFY(!control<QPushButton>(setup, "btnClearAccuracy")->isVisible());
}

void SetupScreenTest::pictureLoadKeepsWhatIsNotAPicture_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("pictureShown");
    QTest::addRow("bitmap") << "course.bmp" << true;
    QTest::addRow("jpeg named .gif") << "course.gif" << true;
    QTest::addRow("text file") << "notes.txt" << false;
    QTest::addRow("cancelled") << "" << false;
}

void SetupScreenTest::pictureLoadKeepsWhatIsNotAPicture() {
    QFETCH(QString, file);
    QFETCH(bool, pictureShown);
    AppHarness h;
    auto& setup = open_setup(h);
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(20, 80, 120));
    picture.save(h.path("course.bmp"), "BMP");
    picture.save(h.path("course.gif"), "JPEG");
    QFile notes(h.path("notes.txt"));
    notes.open(QIODevice::WriteOnly);
    notes.write("not a picture\r\n");
    notes.close();

    if (file.isEmpty()) {
        h.dialogs.fileAnswers.push_back(std::nullopt);
    } else {
        h.dialogs.fileAnswers.push_back(h.path(file));
    }
    trigger(setup, "mnuLoadPicture");
    QCOMPARE(h.dialogs.shown.size(), size_t(1));
    QCOMPARE(h.dialogs.shown[0].request.initialIndex, 4);
    QCOMPARE(h.dialogs.shown[0].request.filter,
             QString("All Files (*.*)|*.*|Text Files (*.txt)|*.txt|Jump Picture Files "
                     "(*.gif)|*.gif|Jump Picture Files (*.bmp)|*.bmp|Jump Picture Files "
                     "(*.jpg)|*.jpg|"));
    QCOMPARE(setup.canvas().hasPicture(), pictureShown);
    if (pictureShown) {
        // JPEG may shift a colour by a step or two.
        const QColor shown = setup.canvas().colourAt(150, 150);
        QVERIFY(std::abs(shown.red() - 20) + std::abs(shown.green() - 80) +
                    std::abs(shown.blue() - 120) <=
                6);
        trigger(setup, "mnuClearPicture");
        QVERIFY(!setup.canvas().hasPicture());
    }
}

void SetupScreenTest::pasteNeedsAPictureOnTheClipboard() {
    AppHarness h;
    auto& setup = open_setup(h);
    QApplication::clipboard()->setText("words");
    trigger(setup, "mnuPaste");
    QCOMPARE(h.dialogs.messages().size(), size_t(1));
    QVERIFY(!setup.canvas().hasPicture());

    QImage picture(32, 32, QImage::Format_RGB32);
    picture.fill(QColor(10, 90, 40));
    QApplication::clipboard()->setImage(picture);
    trigger(setup, "mnuPaste");
    QCOMPARE(h.dialogs.messages().size(), size_t(1));
    QCOMPARE(setup.canvas().colourAt(15, 15), QColor(10, 90, 40));
}

void SetupScreenTest::iconsShowTheSetupStateAndMayBeMissing() {
    AppHarness h;
    for (const char* icon : {"face02.ico", "msgbox03.ico"}) {
        QFile::copy(QStringLiteral(QUILLON_DATA_DIR "/") + icon, h.path(icon));
    }
    auto& setup = open_setup(h);
    auto* icon = control<QLabel>(setup, "grid_state_icon");
    const QImage notComplete = icon->pixmap().toImage();
    QVERIFY(!notComplete.isNull());

    load_setup_file(h, setup, write_setup_file(h));
    const QImage complete = icon->pixmap().toImage();
    QVERIFY(!complete.isNull());
    QVERIFY(complete != notComplete);

    // Without the file the sign is simply not shown.
    QFile::remove(h.path("msgbox03.ico"));
    control<QLineEdit>(setup, "jump_x")->setText("2");
    QVERIFY(icon->pixmap().isNull());
    QCOMPARE(h.session.setupValid, 0.0);
}

// Not a test: the picture of the screen in the documentation. With QUILLON_SETUP_SHOT naming
// the output, QUILLON_SETUP_PICTURE a course picture and QUILLON_SETUP_MARKS the four buoys
// in it ("x,y;x,y;x,y;x,y" in pixels, upper left, upper right, lower left, lower right), it
// marks the buoys on the picture, completes the setup, draws the buoys and the course, and
// saves the window.
void SetupScreenTest::screenshot() {
    const QString output = qEnvironmentVariable("QUILLON_SETUP_SHOT");
    if (output.isEmpty()) {
        QSKIP("QUILLON_SETUP_SHOT is not set");
    }
    AppHarness h;
    for (const char* icon : {"face02.ico", "msgbox03.ico"}) {
        QFile::copy(QStringLiteral(QUILLON_DATA_DIR "/") + icon, h.path(icon));
    }
    auto& setup = open_setup(h);
    h.dialogs.fileAnswers.push_back(qEnvironmentVariable("QUILLON_SETUP_PICTURE"));
    trigger(setup, "mnuLoadPicture");
    const QStringList marks = qEnvironmentVariable("QUILLON_SETUP_MARKS").split(';');
    const char* options[] = {"upper_left_button", "upper_right_button", "lower_left_button",
                             "lower_right_button"};
    for (int i = 0; i < 4 && i < marks.size(); ++i) {
        const QStringList at = marks[i].split(',');
        mark(setup, options[i], QPoint(at.value(0).toInt(), at.value(1).toInt()));
    }
    QTest::mouseClick(control<QPushButton>(setup, "Load"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(setup, "show_alignment"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(setup, "btnShowAllBuoys"), Qt::LeftButton);
    QVERIFY(setup.grab().save(output));
}

QTEST_MAIN(SetupScreenTest)
#include "setup_screen_test.moc"
