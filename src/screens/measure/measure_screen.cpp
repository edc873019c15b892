#include "screens/measure/measure_screen.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cmath>

#include "course/reference_course.h"
#include "platform/pulse_clock.h"
#include "screens/video/video_controls.h"
#include "screens/widgets/drawing_surface.h"
#include "screens/widgets/line_shape.h"
#include "screens/widgets/overlay_canvas.h"
#include "screens/widgets/reference_marks.h"
#include "text/date_time.h"
#include "text/number_text.h"
#include "text/text_value.h"

namespace quillon::screens {

namespace {

using course::Direction;
using course::Discipline;

const QColor white(255, 255, 255);

template <typename T>
T* named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

}  // namespace

MeasureScreen::MeasureScreen(session::PassSession& session, Screens& screens,
                             platform::Platform& platform)
    : session_(session),
      screens_(screens),
      platform_(platform),
      recorder_(session, [clock = &platform.clock] { return clock->now(); }),
      tracked_(recorder_,
               [adapters = &platform] {
                   return adapters->boatTracker ? adapters->boatTracker()
                                                : std::unique_ptr<tracking::BoatTracker>();
               }),
      keys_(platform.keys),
      joystick_(platform.joystick),
      loop_(recorder_, lineInputs_, &tracked_) {
    setWindowTitle("Measure Boat Path Deviation");
    buildControls();
    connectHandlers();
    // The order of precedence within a poll: the tracker puts the line on the boat's mark and
    // the keys step it from there, then (after the deviation) the joystick and the mouse
    // overwrite it.
    lineInputs_.add(tracked_);
    lineInputs_.add(keys_);
    lineInputs_.add(joystick_);
    lineInputs_.add(mouse_);
}

void MeasureScreen::buildControls() {
    canvas_ = new OverlayCanvas(this);
    setCentralWidget(canvas_);
    buildLines();

    informationPanel_ = buildInformation();
    informationPanel_->setParent(canvas_);
    optionsPanel_ = buildOptions();
    optionsPanel_->setParent(canvas_);
    for (QWidget* panel : {informationPanel_, optionsPanel_}) {
        panel->installEventFilter(this);
    }
    placePanels();

    mnuStart = menuBar()->addAction("&Return to Start");
    mnuStart->setObjectName("mnuStart");
    mnuExit = menuBar()->addAction("E&xit Program");
    mnuExit->setObjectName("mnuExit");
    video_ = new VideoControls(*this, *canvas_, platform_);
    video_->offerPassClock();
    buildAutoTrack();

    Timer1 = named(new QTimer(this), "Timer1");
    Timer2 = named(new QTimer(this), "Timer2");
    stepTimer = named(new QTimer(this), "stepTimer");
    stepTimer->setInterval(100);
    checkTimer = named(new QTimer(this), "checkTimer");
    checkTimer->setSingleShot(true);
    // The nominal-duration check is set against the pass clock: a coarse timer may fire up to
    // 5 % early, which showed "Time" at 156 samples of a 161-sample pass.
    checkTimer->setTimerType(Qt::PreciseTimer);
}

void MeasureScreen::connectHandlers() {
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(btnAbort, &QPushButton::clicked, this, [this] { btnAbort_Click(); });
    connect(cmdStatus, &QPushButton::clicked, this, [this] { cmdStatus_Click(); });
    connect(btnOptions, &QPushButton::clicked, this, [this] { btnOptions_Click(); });
    connect(mnuStart, &QAction::triggered, this, [this] { mnuStart_Click(); });
    connect(mnuExit, &QAction::triggered, this, [this] { mnuExit_Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2_Timer(); });
    connect(stepTimer, &QTimer::timeout, this, [this] { stepTimer_Timer(); });
    connect(checkTimer, &QTimer::timeout, this, [this] { checkTimer_Timer(); });
    connect(chkEdgeOn, &QCheckBox::clicked, this, [this] { chkEdgeOn_Click(); });
    connect(cbPath, &QCheckBox::clicked, this, [this] { cbPath_Click(); });
    connect(chkThinLine, &QCheckBox::clicked, this, [this] { chkThinLine_Click(); });
    connect(chkUseMouse, &QCheckBox::clicked, this, [this] { chkUseMouse_Click(); });
    connect(chkViewOnly, &QCheckBox::clicked, this, [this] { chkViewOnly_Click(); });
    connect(txtBoundryWidth, &QLineEdit::textChanged, this, [this] { txtBoundryWidth_Change(); });
    connect(txtJumpBoundry, &QLineEdit::textChanged, this, [this] { txtJumpBoundry_Change(); });

    for (QRadioButton* option : {optjnarrow, optjnarrowsplit, optjsplit, optjwidesplit, optjwide}) {
        connect(option, &QRadioButton::clicked, this, [this] { jumpPath_Click(); });
    }
    const std::pair<const char*, QColor> lineColours[] = {
        {"optBlack", QColor(0, 0, 0)}, {"optWhite", white}, {"optYellow", QColor(255, 255, 0)}};
    for (const auto& [name, colour] : lineColours) {
        const QColor c = colour;
        connect(findChild<QRadioButton*>(name), &QRadioButton::clicked, this,
                [this, c] { setLineColour(c); });
    }
    const std::pair<const char*, LineShape::Style> styles[] = {
        {"optSolid", LineShape::Style::Solid},
        {"optDash", LineShape::Style::Dash},
        {"optDot", LineShape::Style::Dot}};
    for (const auto& [name, style] : styles) {
        const LineShape::Style s = style;
        connect(findChild<QRadioButton*>(name), &QRadioButton::clicked, this,
                [this, s] { setLineStyle(s); });
    }
    const std::pair<const char*, QColor> boundaryColours[] = {{"optBBlack", QColor(0, 0, 0)},
                                                              {"optBBlue", QColor(0, 0, 255)},
                                                              {"optBRed", QColor(255, 0, 0)},
                                                              {"optBWhite", white},
                                                              {"optBYellow", QColor(255, 255, 0)}};
    for (const auto& [name, colour] : boundaryColours) {
        const QColor c = colour;
        connect(findChild<QRadioButton*>(name), &QRadioButton::clicked, this,
                [this, c] { setBoundaryColour(c); });
    }
    connect(canvas_, &OverlayCanvas::mousePressed, this,
            [this](double x, double y, Qt::MouseButton) { Form_MouseDown(x, y); });
    connect(canvas_, &OverlayCanvas::mouseMoved, this,
            [this](double x, double) { Form_MouseMove(x); });
}

void MeasureScreen::Form_Load() {
    Timer1->setInterval(50);
    Timer1->start();
    Timer2->setInterval(1000);
    Timer2->start();
    lnLeft->setVisible(false);
    lnRight->setVisible(false);
    Text1->setText("0");
    tmr1 = platform_.pulseClocks.create(this);
    tmr2 = platform_.pulseClocks.create(this);
    tmr1->setObjectName("tmr1");
    tmr2->setObjectName("tmr2");
    connect(tmr1, &platform::PulseClock::Timer, this, [this] { tmr1_Timer(); });
    connect(tmr2, &platform::PulseClock::Timer, this, [this] { tmr2_Timer(); });

    if (joystick_.connect() != platform::joystick_result::ok) {
        platform_.dialogs.message("Couldn't Detect the Joystick.");
    } else {
        showJoystickReading();
    }
    updateJoystickStatus();
}

void MeasureScreen::updateJoystickStatus() {
    const int result = joystick_.result();
    if (result == platform::joystick_result::ok) {
        status->setText("Status: Joystick Connected");
    } else if (result == platform::joystick_result::unplugged) {
        status->setText("Status: Joystick Unplugged");
    } else {
        status->setText("Status: joyGetPosEx error, rc = " + QString::number(result));
    }
}

void MeasureScreen::showJoystickReading() {
    Labelx->setText(QString::number(joystick_.reading().x));
    Labely->setText(QString::number(joystick_.reading().y));
}

void MeasureScreen::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    placePanels();
}

// Activation runs whenever the program shows the screen (the Start screen's "Measure"), but
// not when the window system merely restores it from minimized: that would throw the line and
// the marker back to the start of the course in the middle of a pass.
void MeasureScreen::showEvent(QShowEvent* event) {
    // The display is known, and may have been changed, only by the time the screen comes up.
    hold_drawing_surface(*this, *canvas_, drawing_surface_size(session_));
    QMainWindow::showEvent(event);
    const bool restored = event->spontaneous() && minimized_;
    if (!restored) {
        Form_Activate();
    }
}

// Qt sends the spontaneous show of a restore before this change, so minimized_ still tells
// that the window was minimized when that show arrives.
void MeasureScreen::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        minimized_ = isMinimized();
    }
}

// The boat path at 16, 16.5, 17, 17.5 and 18 m, the reference buoy line being the 15 m line.
double MeasureScreen::selectedJumpPathX() const {
    const QRadioButton* const paths[] = {optjnarrow, optjnarrowsplit, optjsplit, optjwidesplit,
                                         optjwide};
    static_assert(std::size(paths) == course::jumpPathCentresX.size());
    for (std::size_t k = 0; k < course::jumpPathCentresX.size(); ++k) {
        if (paths[k]->isChecked()) {
            return course::jumpPathCentresX[k];
        }
    }
    return course::jumpSplitPathX;
}

std::pair<double, double> MeasureScreen::mapToScreen(double surveyX, double surveyY) {
    const calibration::PlanePoint screen =
        session_.calibration.model.survey_to_screen({surveyX, surveyY});
    return {screen.x, screen.y};
}

void MeasureScreen::Form_Activate() {
    const auto pass = screens_.selections().passDescription();
    const bool slalom = pass.discipline == Discipline::Slalom;
    frmJumpPath->setVisible(!slalom);
    // A mark picked before belongs to the setup and video of then.
    if (!recorder_.passRunning()) {
        stopTracking();
    }
    const session::MarkerRow row =
        recorder_.activate(pass, chkViewOnly->isChecked(), selectedJumpPathX(),
                           text::text_value(txtJumpBoundry->text().toStdString()));
    setLine({row.pointX, row.pointX + 15});
    placeMarker(row);
    if (session_.setupValid != 0) {
        placeMarkers(recorder_.pathCentreX(), course::pass_start_y(pass.direction));
        session_.keepStartFocus = true;
    }
    overlayRedraws_ = 0;

    lblSpeed->setText(QString::number(course::speed_kmh(pass)));
    lblLine->setText(QString::fromStdString(course::line_length_label(pass.lineLength)));
    lblDriver->setText("Driver: " + QString::fromStdString(pass.driver));
    lblBoat->setText("Boat: " + QString::fromStdString(pass.boatManufacturer));
    lblSkier->setText("Skier: " + QString::fromStdString(pass.skier));
    lblModel->setText("Model: " + QString::fromStdString(pass.boatModel));

    if (slalom) {
        Label9->setText("Slalom");
        Label10->hide();
        txtJumpBoundry->hide();
        lblLine->setVisible(!chkViewOnly->isChecked());
    } else {
        Label9->setText("Jump");
        lblLine->hide();
        Label10->show();
        txtJumpBoundry->show();
    }
    // Whatever was drawn before belongs to the setup and discipline of then.
    canvas_->clear();
    drawnFor_.reset();
    drawMarks();
    placePanels();
}

void MeasureScreen::setLine(const session::LinePosition& line) {
    loop_.setLine(line);
    showLine();
}

void MeasureScreen::showLine() {
    const session::LinePosition& line = loop_.line();
    lnMeasure->setX(line.x);
    lnMeasure1->setX(line.twinX);
    const bool held = recorder_.lastProvenance() == session::Provenance::Held &&
                      tracked_.state() == measure::TrackState::Lost;
    const QColor colour = held ? QColor(255, 140, 0) : lineColour_;
    const LineShape::Style style = held ? LineShape::Style::Dash : lineStyle_;
    for (LineShape* shape : {lnMeasure, lnMeasure1}) {
        if (shape->colour() != colour) {
            shape->setColour(colour);
        }
        if (shape->style() != style) {
            shape->setStyle(style);
        }
    }
}

void MeasureScreen::placeMarker(const session::MarkerRow& row) {
    lnHorizPos->setCoordinates(row.x1(), row.y, row.x2(), row.y);
}

void MeasureScreen::placeMarkers(double measuredSurveyX, double surveyY) {
    const session::MarkerPlacement at =
        recorder_.markers(measuredSurveyX, surveyY,
                          text::text_value(txtBoatWidth->text().toStdString()), lnLeft->width());
    const double row = recorder_.row().y;
    left_edge->setX(at.leftEdgeX);
    right_edge->setX(at.rightEdgeX);
    lnLeft->setX(at.leftBarX);
    lnRight->setX(at.rightBarX);
    for (LineShape* line : {left_edge, right_edge, lnLeft, lnRight}) {
        line->setY2(row);
    }
}

// The text the recorder keeps for the next sample, byte for byte.
void MeasureScreen::showDeviation() {
    txtDeviation->setText(QString::fromStdString(recorder_.deviationText()));
}

void MeasureScreen::Timer1_Timer() {
    mouse_.setEnabled(chkUseMouse->isChecked());
    // The line's own coordinates are where it stands: the loop left it there, or a line
    // option moved it.
    loop_.setLine({lnMeasure->X1(), lnMeasure1->X1()});
    // A pass in video time is polled on its frames only: a poll of the wall clock between two
    // frames would read the tracker on another row than a measurement of the same video does.
    if (!(recorder_.passRunning() && loop_.videoTime())) {
        showPoll(loop_.poll(chkViewOnly->isChecked()));
    }
    // Up and Down move the line's top end, between 720 and 6000 twips.
    double top = lnMeasure->Y1();
    if (keys_.upPressed() && top > 720) {
        top -= 45;
    }
    if (keys_.downPressed() && top < 6000) {
        top += 45;
    }
    if (top != lnMeasure->Y1()) {
        lnMeasure->setY1(top);
        lnMeasure1->setY1(top);
    }
    if (keys_.anyPressed() && session_.keepStartFocus && isVisible()) {
        Command1->setFocus();
    }
    updateJoystickStatus();
    if (joystick_.result() == platform::joystick_result::ok) {
        showJoystickReading();
    }
    if (recorder_.passRunning() && loop_.videoTime() &&
        platform_.video.kind() == platform::VideoSource::Kind::Camera &&
        platform_.video.msSinceFrame() > 2000) {
        liveSourceStalled();
    }
}

void MeasureScreen::Command1_Click() {
    stepTimer->stop();
    const auto pass = screens_.selections().passDescription();
    // A replayed pass can run in the video's time, so that the samples fall on the same
    // frames at any speed; live video and no video always use the wall clock.
    const platform::VideoFrame& frame = platform_.video.frame();
    const bool file = platform_.video.kind() == platform::VideoSource::Kind::File;
    // A live pass is timed by its frames, in the milliseconds its recording keeps.
    const bool live =
        platform_.video.kind() == platform::VideoSource::Kind::Camera && !frame.image.isNull();
    const bool videoTime = (file && video_->videoTimeChosen() && !frame.image.isNull()) || live;
    std::string clockLine;
    if (file) {
        clockLine = videoTime ? QStringLiteral("Pass Clock: Video Time (%1 from %2)")
                                    .arg(QFileInfo(platform_.video.name()).fileName(),
                                         video_time_text(frame.timeUs))
                                    .toStdString()
                              : std::string("Pass Clock: Wall Clock");
    }
    if (!frame.image.isNull()) {
        tracked_.passStarted(platform::view_of(frame), session_.calibration.model, pass, live);
    }
    finishRecording();
    if (live) {
        startRecording(pass, frame);
        // The recording, the time of this frame in it, and where the track started on it:
        // what quillon-cli track needs to measure the pass again.
        QString line =
            QStringLiteral("Pass Clock: Live Video (%1 from %2")
                .arg(recording_ ? QFileInfo(QString::fromStdString(recording_->path())).fileName()
                                : QStringLiteral("no recording"),
                     video_time_text(recording_ ? frame.timeUs - recording_->originUs() : 0));
        if (tracked_.state() == measure::TrackState::Tracking) {
            line += QStringLiteral(", mark %1,%2")
                        .arg(tracked_.startMark().x, 0, 'f', 3)
                        .arg(tracked_.startMark().y, 0, 'f', 3);
        }
        clockLine = (line + ")").toStdString();
    }
    recorder_.start(pass, loop_.line().x, chkViewOnly->isChecked(), std::move(clockLine));
    session_.passVideoPath = file   ? platform_.video.name().toStdString()
                             : live ? (recording_ ? recording_->path() : std::string())
                                    : std::string();
    session_.passSample0FrameUs = -1;
    showDeviation();
    checkTimer->setInterval(100 * session_.lastSampleIndex);
    checkTimer->start();
    Label3->hide();
    Label3->setText("Time");
    Label7->hide();
    lblReplayPace->hide();
    Text2->setText(QString::fromStdString(recorder_.passStartTime()));

    stop_pulse_clocks();
    if (videoTime) {
        loop_.startVideoTime(frame.timeUs);
        paceTimer_.start();
    } else {
        loop_.stopVideoTime();
    }
    start_pulse_clocks();
    drawMarks();
}

void MeasureScreen::start_pulse_clocks() {
    // In video time the pass loop counts the clocks on the frames.
    if (!loop_.videoTime()) {
        tmr1->setPeriodMs(50);
        tmr1->setResolutionMs(1);
        tmr1->setPeriodic(1);
        tmr1->setRunning(true);
        tmr2->setPeriodMs(100);
        tmr2->setResolutionMs(1);
        tmr2->setPeriodic(1);
        tmr2->setRunning(true);
    }
    platform_.video.setEveryFrame(loop_.videoTime() || chkAutoTrack->isChecked());
    video_->setPassRunning(true);
}

void MeasureScreen::stop_pulse_clocks() {
    tmr1->setRunning(false);
    tmr2->setRunning(false);
    loop_.stopVideoTime();
    platform_.video.setEveryFrame(chkAutoTrack->isChecked());
    video_->setPassRunning(false);
}

void MeasureScreen::tmr1_Timer() {
    recorder_.tick1();
    txtCount1->setText(QString::number(recorder_.tickCount1()));
    Timer1_Timer();
}

void MeasureScreen::tmr2_Timer() {
    recorder_.tick2();
    txtCount2->setText(QString::number(recorder_.tickCount2()));
    stepTimer_Timer();
}

void MeasureScreen::stepTimer_Timer() {
    if (const auto step = recorder_.step()) {
        showStep(*step);
    }
}

void MeasureScreen::showStep(const session::SampleStep& step) {
    txtSample->setText(QString::number(step.index));
    txtDistance->setText(QString::fromStdString(text::format_pattern(step.distance, "0.0")));
    placeMarker(step.row);
    drawMarks();
    if (Label3->isVisible() && Label3->text() == "Time") {
        Label3->setText(QString::number(step.samplesTaken));
    }
    if (step.ended) {
        endPass();
    }
    txtTest->setText(QString::number(overlayRedraws_));
}

// The samples, the end-of-pass figures and the report's clock line are in the session already.
void MeasureScreen::endPass() {
    stepTimer->stop();
    finishRecording();
    Text3->setText(QString::fromStdString(recorder_.passEndTime()));
    if (!statusHidden_) {
        Label7->show();
    }
    stop_pulse_clocks();
    txtStep->setText(QString::number(session_.passSampleCount));
    stopTracking();

    if (!chkViewOnly->isChecked()) {
        platform_.dialogs.message("Pass Completed");
        hide();
        screens_.show(Screen::Results);
        return;
    }
    PassSelections& selections = screens_.selections();
    selections.selectDirection(session::direction_after_view_only(selections.passDescription()));
    Form_Activate();
}

void MeasureScreen::checkTimer_Timer() {
    checkTimer->stop();
    if (!statusHidden_) {
        Label3->show();
    }
}

void MeasureScreen::leaveForStart() {
    stepTimer->stop();
    stop_pulse_clocks();
    recorder_.abort();
    finishRecording();
    stopTracking();
    hide();
    screens_.show(Screen::Start);
}

void MeasureScreen::btnAbort_Click() {
    leaveForStart();
}

void MeasureScreen::mnuStart_Click() {
    leaveForStart();
}

void MeasureScreen::mnuExit_Click() {
    screens_.quit();
}

void MeasureScreen::closeEvent(QCloseEvent* event) {
    event->accept();
    screens_.quit();
}

void MeasureScreen::Timer2_Timer() {
    if (session_.setupValid != 0) {
        drawMarks();
    }
}

MeasureScreen::DrawnMarks MeasureScreen::marksToDraw() {
    const auto pass = screens_.selections().passDescription();
    const bool slalom = pass.discipline == Discipline::Slalom;
    return {session_.calibration.corners, session_.calibration.model.coefficients(),
            pass.discipline,
            slalom                     ? course::slalomPathCentreX
            : chkViewOnly->isChecked() ? selectedJumpPathX()
                                       : 2.0,
            crossSize()};
}

// The marks are plain drawing that nothing erases by itself: marks of another setup, discipline,
// jump path or cross size would stay beside the current ones, and the operator could not tell
// which are current. So they are cleared first whenever what they show has changed.
void MeasureScreen::drawMarks() {
    const DrawnMarks current = marksToDraw();
    if (drawnFor_ && !(*drawnFor_ == current)) {
        canvas_->clear();
    }
    drawnFor_ = current;
    draw_reference_marks();
    draw_course_overlay();
}

double MeasureScreen::crossSize() {
    return screens_.crossSize();
}

void MeasureScreen::draw_reference_marks() {
    session_.calibration.marker_circle_radius =
        screens::draw_reference_marks(*canvas_, session_.calibration.corners, crossSize());
}

void MeasureScreen::draw_course_overlay() {
    ++overlayRedraws_;
    const double s = crossSize();
    const auto pass = screens_.selections().passDescription();
    if (pass.discipline == Discipline::Slalom) {
        for (const double x : course::slalomGuideX) {
            for (const double y : course::slalomBuoyY) {
                const auto [px, py] = mapToScreen(x, y);
                canvas_->line(px - s, py, px + s, py, white);
                canvas_->line(px, py - s, px, py + s, white);
            }
        }
        // The path centre at the entry gate and at each buoy row.
        for (const double y : {course::farGateY, course::slalomBuoyY[0], course::slalomBuoyY[1],
                               course::slalomBuoyY[2], course::slalomBuoyY[3],
                               course::slalomBuoyY[4], course::slalomBuoyY[5]}) {
            const auto [px, py] = mapToScreen(course::slalomPathCentreX, y);
            canvas_->line(px, py - s, px, py + s, white);
        }
        return;
    }
    const double x = chkViewOnly->isChecked() ? selectedJumpPathX()
                                              : course::measured_path_centre_x(pass.discipline);
    const auto [tx, ty] = mapToScreen(x, course::farGateY);
    canvas_->line(tx, ty - s, tx, ty + s, white);
    double previousX = tx;
    double previousY = ty;
    for (const double y : course::jumpPathRowY) {
        const auto [px, py] = mapToScreen(x, y);
        canvas_->line(previousX, previousY, px, py, white);
        previousX = px;
        previousY = py;
    }
}

void MeasureScreen::setLineColour(const QColor& colour) {
    lineColour_ = colour;
    for (LineShape* line : {left_edge, right_edge, lnHorizPos}) {
        line->setColour(colour);
    }
    showLine();
    Command1->setFocus();
}

void MeasureScreen::setLineStyle(LineShape::Style style) {
    lineStyle_ = style;
    showLine();
    Command1->setFocus();
}

void MeasureScreen::setBoundaryColour(const QColor& colour) {
    lnLeft->setColour(colour);
    lnRight->setColour(colour);
    Command1->setFocus();
}

void MeasureScreen::jumpPath_Click() {
    canvas_->clear();
    Form_Activate();
}

void MeasureScreen::chkEdgeOn_Click() {
    if (chkEdgeOn->isChecked()) {
        platform_.dialogs.message(
            "Please use caution when using the edge lines.  If the boat is turned or angled, "
            "using the edge markers alone may lead to inaccurate results.  Be sure the center "
            "line is as close as possible to the pylon position.");
        right_edge->setVisible(true);
        left_edge->setVisible(true);
    } else {
        right_edge->setVisible(false);
        left_edge->setVisible(false);
    }
}

void MeasureScreen::cbPath_Click() {
    lnLeft->setVisible(cbPath->isChecked());
    lnRight->setVisible(cbPath->isChecked());
}

void MeasureScreen::chkThinLine_Click() {
    const bool thin = chkThinLine->isChecked();
    lnMeasure1->setVisible(!thin);
    right_edge->setWidth(thin ? 1 : 2);
    left_edge->setWidth(thin ? 1 : 2);
}

void MeasureScreen::chkUseMouse_Click() {
    Label11->setVisible(chkUseMouse->isChecked());
}

void MeasureScreen::chkViewOnly_Click() {
    const bool jump = screens_.selections().passDescription().discipline == Discipline::Jump;
    if (chkViewOnly->isChecked()) {
        lblLine->hide();
        frmJumpPath->setVisible(jump);
        Label10->setVisible(jump);
        txtJumpBoundry->setVisible(jump);
    } else {
        lblLine->setVisible(!jump);
        frmJumpPath->hide();
        Label10->hide();
        txtJumpBoundry->hide();
    }
}

void MeasureScreen::txtBoundryWidth_Change() {
    const double value = text::text_value(txtBoundryWidth->text().toStdString());
    if (value < 1) {
        txtBoundryWidth->setText("1");
        return;
    }
    if (value > 24) {
        txtBoundryWidth->setText("24");
        return;
    }
    const int width = static_cast<int>(std::lround(value));
    lnLeft->setWidth(width);
    lnRight->setWidth(width);
}

void MeasureScreen::txtJumpBoundry_Change() {
    const double value = text::text_value(txtJumpBoundry->text().toStdString());
    if (value < 0.2) {
        txtJumpBoundry->setText("0.2");
        return;
    }
    if (value > 1.0) {
        txtJumpBoundry->setText("1.0");
        return;
    }
    recorder_.setBoundaryDistance(value);
}

void MeasureScreen::cmdStatus_Click() {
    const bool hiding = cmdStatus->text() == "Hide Status Indicators";
    QWidget* const controls[] = {Label5,      Frame1,      Frame2,    Frame3,  Label3,
                                 Label7,      Text2,       Text3,     txtStep, txtCount,
                                 txtCount1,   txtCount2,   status,    txtTest, Labelx,
                                 chkViewOnly, chkThinLine, chkEdgeOn, cbPath};
    for (QWidget* control : controls) {
        control->setVisible(!hiding);
    }
    statusHidden_ = hiding;
    cmdStatus->setText(hiding ? "Show Status Indicators" : "Hide Status Indicators");
}

void MeasureScreen::Form_MouseDown(double xTwips, double yTwips) {
    // With Auto Track a press picks the boat's mark; it never starts a pass.
    if (chkAutoTrack->isChecked()) {
        pickMark(xTwips, yTwips);
        return;
    }
    if (chkUseMouse->isChecked() && !recorder_.passRunning()) {
        Command1_Click();
    }
}

void MeasureScreen::Form_MouseMove(double xTwips) {
    mouse_.moveTo(xTwips);
}

}  // namespace quillon::screens
