#include "screens/measure/measure_screen.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "analysis/pass_figures.h"
#include "platform/pulse_clock.h"
#include "platform/video_time_pulse_clock.h"
#include "screens/results/results_screen.h"
#include "screens/setup/setup_screen.h"
#include "screens/start/start_screen.h"
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

// The deviation as the shortest decimal text with a point: 0.07, -0.12, 0.
QString deviation_text(double value) {
    if (value == 0.0) {
        return "0";
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

// Int((x - centre) x 100 + 0.5) / 100: to the centimetre, halves up.
double rounded_deviation(double surveyX, double centre) {
    return std::floor((surveyX - centre) * 100 + 0.5) / 100;
}

// The panels use their own small type, so that they keep their size whatever font the
// desktop gives the program.
constexpr int panelFontPixels = 11;
constexpr int panelMargin = 4;
constexpr int panelSpacing = 3;
// Distance of the panels from the edges of the surface.
constexpr int panelEdge = 8;
// The information panel is one narrow column along the left edge: on a 1024 x 768 surface the
// lower-left gate buoy of a course filmed from behind the near gate may lie 200 pixels in.
constexpr int informationPanelWidth = 176;

void use_panel_font(QWidget& panel) {
    QFont font = panel.font();
    font.setPixelSize(panelFontPixels);
    panel.setFont(font);
}

template <typename T>
T* named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

}  // namespace

MeasureScreen::MeasureScreen(session::PassSession& session, Screens& screens,
                             platform::Platform& platform)
    : session_(session), screens_(screens), platform_(platform) {
    setWindowTitle("Measure Boat Path Deviation");
    buildControls();
    connectHandlers();
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

void MeasureScreen::buildLines() {
    const QColor highlightText = palette().color(QPalette::HighlightedText);
    lnMeasure = canvas_->addLine("lnMeasure");
    lnMeasure->setCoordinates(3720, 720, 3720, 6360);
    lnMeasure1 = canvas_->addLine("lnMeasure1");
    lnMeasure1->setCoordinates(3735, 720, 3735, 6360);
    lnHorizPos = canvas_->addLine("lnHorizPos");
    lnHorizPos->setWidth(2);
    for (LineShape* line : {lnMeasure, lnMeasure1, lnHorizPos}) {
        line->setColour(highlightText);
    }
    lnLeft = canvas_->addLine("lnLeft");
    lnRight = canvas_->addLine("lnRight");
    for (LineShape* bar : {lnLeft, lnRight}) {
        bar->setCoordinates(0, 720, 0, 720);
        bar->setColour(white);
        bar->setVisible(false);
    }
    left_edge = canvas_->addLine("left_edge");
    right_edge = canvas_->addLine("right_edge");
    for (LineShape* edge : {left_edge, right_edge}) {
        edge->setCoordinates(0, 1080, 0, 1080);
        edge->setWidth(2);
        edge->setColour(palette().color(QPalette::Base));
        edge->setVisible(false);
    }
}

QWidget* MeasureScreen::buildInformation() {
    auto* panel = named(new QWidget, "informationPanel");
    panel->setAutoFillBackground(true);
    use_panel_font(*panel);
    panel->setFixedWidth(informationPanelWidth);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(panelMargin, panelMargin, panelMargin, panelMargin);
    column->setSpacing(panelSpacing);

    auto* figures = new QGridLayout;
    figures->setSpacing(panelSpacing);
    int row = 0;
    auto addBox = [&](const char* labelName, const char* caption, QLineEdit*& box,
                      const char* boxName) {
        figures->addWidget(named(new QLabel(caption), labelName), row, 0);
        box = named(new QLineEdit, boxName);
        figures->addWidget(box, row, 1);
        ++row;
    };
    addBox("Label1", "Sample Number:", txtSample, "txtSample");
    addBox("Label2", "Distance from start:", txtDistance, "txtDistance");
    addBox("Label4", "Deviation from Center:", txtDeviation, "txtDeviation");
    column->addLayout(figures);

    Command1 = named(new QPushButton("Start Pass"), "Command1");
    // Enter starts the pass while the button has the focus.
    Command1->setAutoDefault(true);
    btnAbort = named(new QPushButton("Abort Measurement"), "btnAbort");
    cmdStatus = named(new QPushButton("Hide Status Indicators"), "cmdStatus");
    for (QPushButton* button : {Command1, btnAbort, cmdStatus}) {
        column->addWidget(button);
    }

    Label9 = named(new QLabel("Slalom"), "Label9");
    lblSpeed = named(new QLabel("36"), "lblSpeed");
    lblLine = named(new QLabel("Line"), "lblLine");
    auto* passRow = new QHBoxLayout;
    passRow->setSpacing(8);
    for (QLabel* label : {Label9, lblSpeed, lblLine}) {
        passRow->addWidget(label);
    }
    passRow->addStretch();
    column->addLayout(passRow);
    // Names of any length wrap within the column rather than widen it.
    lblDriver = named(new QLabel, "lblDriver");
    lblBoat = named(new QLabel, "lblBoat");
    lblSkier = named(new QLabel, "lblSkier");
    lblModel = named(new QLabel, "lblModel");
    for (QLabel* label : {lblDriver, lblBoat, lblSkier, lblModel}) {
        label->setWordWrap(true);
        column->addWidget(label);
    }

    Label5 = named(new QLabel("Use Arrow keys or a joystick/mouse to position the line at the "
                              "center of the boat (pylon) to record deviation."),
                   "Label5");
    Label5->setWordWrap(true);
    column->addWidget(Label5);

    // "Time" and "Done" keep their place while hidden, so the column does not jump mid-pass.
    Label3 = named(new QLabel("Time"), "Label3");
    Label7 = named(new QLabel("Done"), "Label7");
    auto* timeAndDone = new QHBoxLayout;
    for (QLabel* label : {Label3, Label7}) {
        QSizePolicy policy = label->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        label->setSizePolicy(policy);
        label->hide();
        timeAndDone->addWidget(label);
    }
    timeAndDone->addStretch();
    column->addLayout(timeAndDone);

    Text1 = named(new QLineEdit, "Text1");
    Text2 = named(new QLineEdit, "Text2");
    Text3 = named(new QLineEdit, "Text3");
    txtStep = named(new QLineEdit, "txtStep");
    txtCount = named(new QLineEdit, "txtCount");
    txtCount1 = named(new QLineEdit, "txtCount1");
    txtCount2 = named(new QLineEdit, "txtCount2");
    txtTest = named(new QLineEdit, "txtTest");
    // The two times side by side, the counters three to a row.
    auto* counters = new QGridLayout;
    counters->setSpacing(panelSpacing);
    counters->addWidget(Text2, 0, 0, 1, 3);
    counters->addWidget(Text3, 0, 3, 1, 3);
    int slot = 0;
    for (QLineEdit* box : {txtStep, txtCount, txtCount1, txtCount2, txtTest, Text1}) {
        counters->addWidget(box, 1 + slot / 3, 2 * (slot % 3), 1, 2);
        ++slot;
    }
    for (QLineEdit* box : {Text1, Text2, Text3, txtStep, txtCount, txtCount1, txtCount2, txtTest}) {
        box->setReadOnly(true);
    }
    column->addLayout(counters);

    Labelx = named(new QLabel, "Labelx");
    Labely = named(new QLabel, "Labely");
    status = named(new QLabel, "status");
    status->setWordWrap(true);
    auto* joystickRow = new QHBoxLayout;
    joystickRow->addWidget(Labelx);
    joystickRow->addWidget(Labely);
    joystickRow->addStretch();
    column->addLayout(joystickRow);
    column->addWidget(status);
    return panel;
}

// The options lie in columns side by side: a low band along the top edge, above where the
// far gate of a course usually is.
QWidget* MeasureScreen::buildOptions() {
    auto* panel = named(new QWidget, "optionsPanel");
    panel->setAutoFillBackground(true);
    use_panel_font(*panel);
    auto* columns = new QHBoxLayout(panel);
    columns->setContentsMargins(panelMargin, panelMargin, panelMargin, panelMargin);
    columns->setSpacing(2 * panelSpacing);

    auto* entries = new QGridLayout;
    entries->setSpacing(panelSpacing);
    int row = 0;
    auto addEntry = [&](const char* labelName, const char* caption, QLineEdit*& box,
                        const char* boxName, const char* text) -> QLabel* {
        auto* label = named(new QLabel(caption), labelName);
        box = named(new QLineEdit(text), boxName);
        box->setFixedWidth(36);
        entries->addWidget(label, row, 0);
        entries->addWidget(box, row, 1);
        ++row;
        return label;
    };
    addEntry("Label6", "Boat Width in meters", txtBoatWidth, "txtBoatWidth", "2.2");
    addEntry("Label8", "Boundary Mark Width", txtBoundryWidth, "txtBoundryWidth", "1");
    Label10 = addEntry("Label10", "Jump Boundary Width", txtJumpBoundry, "txtJumpBoundry", "0.5");
    entries->setRowStretch(row, 1);
    columns->addLayout(entries);

    auto* checks = new QVBoxLayout;
    checks->setSpacing(0);
    chkEdgeOn = named(new QCheckBox("Boat Edge Markers On"), "chkEdgeOn");
    cbPath = named(new QCheckBox("Path Boundary Markers on"), "cbPath");
    chkThinLine = named(new QCheckBox("Check for Thin Line"), "chkThinLine");
    chkViewOnly = named(new QCheckBox("View Only"), "chkViewOnly");
    chkUseMouse = named(new QCheckBox("Use Mouse"), "chkUseMouse");
    for (QCheckBox* box : {chkEdgeOn, cbPath, chkThinLine, chkViewOnly, chkUseMouse}) {
        checks->addWidget(box);
    }
    Label11 = named(new QLabel("Click Mouse to Start Measuring"), "Label11");
    Label11->hide();
    checks->addWidget(Label11);
    checks->addStretch();
    columns->addLayout(checks);

    auto group = [&](QGroupBox*& frame, const char* name, const char* title,
                     std::initializer_list<std::pair<const char*, const char*>> options) {
        frame = named(new QGroupBox(title), name);
        auto* list = new QVBoxLayout(frame);
        list->setContentsMargins(panelMargin, panelMargin, panelMargin, panelMargin);
        list->setSpacing(0);
        for (const auto& [optionName, caption] : options) {
            list->addWidget(named(new QRadioButton(caption), optionName));
        }
        list->addStretch();
        columns->addWidget(frame);
    };
    group(Frame1, "Frame1", "Line Color",
          {{"optBlack", "Black"}, {"optWhite", "White"}, {"optYellow", "Yellow"}});
    group(Frame2, "Frame2", "Line Style",
          {{"optSolid", "Solid"}, {"optDash", "Dash"}, {"optDot", "Dot"}});
    group(Frame3, "Frame3", "Boundary",
          {{"optBBlack", "Black"},
           {"optBBlue", "Blue"},
           {"optBRed", "Red"},
           {"optBWhite", "White"},
           {"optBYellow", "Yellow"}});
    group(frmJumpPath, "frmJumpPath", "Path",
          {{"optjnarrow", "Narrow"},
           {"optjnarrowsplit", "Narr Split"},
           {"optjsplit", "Split"},
           {"optjwidesplit", "Wide Spl"},
           {"optjwide", "Wide"}});
    optjnarrow = panel->findChild<QRadioButton*>("optjnarrow");
    optjnarrowsplit = panel->findChild<QRadioButton*>("optjnarrowsplit");
    optjsplit = panel->findChild<QRadioButton*>("optjsplit");
    optjwidesplit = panel->findChild<QRadioButton*>("optjwidesplit");
    optjwide = panel->findChild<QRadioButton*>("optjwide");
    optjsplit->setChecked(true);
    panel->findChild<QRadioButton*>("optWhite")->setChecked(true);
    panel->findChild<QRadioButton*>("optSolid")->setChecked(true);
    panel->findChild<QRadioButton*>("optBWhite")->setChecked(true);
    return panel;
}

void MeasureScreen::connectHandlers() {
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(btnAbort, &QPushButton::clicked, this, [this] { btnAbort_Click(); });
    connect(cmdStatus, &QPushButton::clicked, this, [this] { cmdStatus_Click(); });
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

    const std::pair<QRadioButton*, double> paths[] = {{optjnarrow, 1.0},
                                                      {optjnarrowsplit, 1.5},
                                                      {optjsplit, 2.0},
                                                      {optjwidesplit, 2.5},
                                                      {optjwide, 3.0}};
    for (const auto& [option, centre] : paths) {
        const double x = centre;
        connect(option, &QRadioButton::clicked, this, [this, x] { jumpPath_Click(x); });
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
        connect(findChild<QRadioButton*>(name), &QRadioButton::clicked, this, [this, s] {
            lnMeasure->setStyle(s);
            lnMeasure1->setStyle(s);
            Command1->setFocus();
        });
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
    connect(canvas_, &OverlayCanvas::mousePressed, this, [this] { Form_MouseDown(); });
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
    videoTmr1_ = new platform::VideoTimePulseClock(platform_.video, this);
    videoTmr2_ = new platform::VideoTimePulseClock(platform_.video, this);
    videoTmr1_->setObjectName("videoTmr1");
    videoTmr2_->setObjectName("videoTmr2");
    for (platform::PulseClock* clock : {tmr1, videoTmr1_}) {
        connect(clock, &platform::PulseClock::Timer, this, [this] { tmr1_Timer(); });
    }
    for (platform::PulseClock* clock : {tmr2, videoTmr2_}) {
        connect(clock, &platform::PulseClock::Timer, this, [this] { tmr2_Timer(); });
    }

    joyResult_ = platform_.joystick.capabilities();
    if (joyResult_ != platform::joystick_result::ok) {
        platform_.dialogs.message("Couldn't Detect the Joystick.");
    } else {
        joyResult_ = platform_.joystick.position(joyInfo_);
        Labelx->setText(QString::number(joyInfo_.x));
        Labely->setText(QString::number(joyInfo_.y));
        joyCentreX_ = static_cast<std::int32_t>(joyInfo_.x);
    }
    updateJoystickStatus();
}

void MeasureScreen::updateJoystickStatus() {
    if (joyResult_ == platform::joystick_result::ok) {
        status->setText("Status: Joystick Connected");
    } else if (joyResult_ == platform::joystick_result::unplugged) {
        status->setText("Status: Joystick Unplugged");
    } else {
        status->setText("Status: joyGetPosEx error, rc = " + QString::number(joyResult_));
    }
}

// The panels keep to the edges of the screen, leaving its middle, where the course is, free:
// the information panel in the lower-left corner, the options in the upper-right one. Each
// takes the size its visible controls need, so hiding some (status indicators, jump options)
// shrinks it back into its corner.
void MeasureScreen::placePanels() {
    for (QWidget* panel : {informationPanel_, optionsPanel_}) {
        const QSize hint = panel->sizeHint();
        const int width = std::clamp(hint.width(), panel->minimumWidth(), panel->maximumWidth());
        panel->resize(width,
                      panel->hasHeightForWidth() ? panel->heightForWidth(width) : hint.height());
    }
    optionsPanel_->move(std::max(0, canvas_->width() - optionsPanel_->width() - panelEdge),
                        panelEdge);
    informationPanel_->move(
        panelEdge, std::max(0, canvas_->height() - informationPanel_->height() - panelEdge));
}

void MeasureScreen::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    placePanels();
}

// A panel asks for a new layout when a control in it is shown or hidden or a text in it grows
// (a long name, a wrapped status line): it is sized and placed again at once.
bool MeasureScreen::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::LayoutRequest &&
        (watched == informationPanel_ || watched == optionsPanel_)) {
        placePanels();
    }
    return QMainWindow::eventFilter(watched, event);
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

double MeasureScreen::selectedJumpPathX() const {
    if (optjnarrow->isChecked()) {
        return 1.0;
    }
    if (optjnarrowsplit->isChecked()) {
        return 1.5;
    }
    if (optjwidesplit->isChecked()) {
        return 2.5;
    }
    if (optjwide->isChecked()) {
        return 3.0;
    }
    return 2.0;
}

std::pair<double, double> MeasureScreen::mapToScreen(double surveyX, double surveyY) {
    auto& model = session_.calibration.model;
    model.pt_survey_x = surveyX;
    model.pt_survey_y = surveyY;
    model.survey_to_screen();
    return {model.pt_screen_x, model.pt_screen_y};
}

double MeasureScreen::mapToSurveyX(double screenX, double screenY) {
    auto& model = session_.calibration.model;
    model.pt_screen_x = screenX;
    model.pt_screen_y = screenY;
    model.screen_to_survey();
    return model.pt_survey_x;
}

void MeasureScreen::Form_Activate() {
    const auto pass = screens_.start().passDescription();
    const bool slalom = pass.discipline == Discipline::Slalom;
    const double startY = pass.direction == Direction::Towards ? 0.0 : -259.0;

    if (slalom) {
        pathCentreX_ = 1.25;
        boundaryDistance_ = 0.2;
        courseLength_ = 259.0;
        frmJumpPath->hide();
    } else {
        frmJumpPath->show();
        pathCentreX_ = chkViewOnly->isChecked() ? selectedJumpPathX() : 2.0;
        courseLength_ = 280.0;
        boundaryDistance_ = text::text_value(txtJumpBoundry->text().toStdString());
    }

    const auto [px, py] = mapToScreen(pathCentreX_, startY);
    lnMeasure->setX(px);
    lnMeasure1->setX(px + 15);
    lnHorizPos->setCoordinates(px - 400, py, px + 400, py);

    if (session_.setupValid != 0) {
        placeMarkers(pathCentreX_, startY);
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
    draw_reference_marks();
    draw_course_overlay();
    placePanels();
}

QString MeasureScreen::speedText() const {
    return lblSpeed->text();
}

QString MeasureScreen::lineText() const {
    return lblLine->text();
}

void MeasureScreen::placeMarkers(double measuredSurveyX, double surveyY) {
    const double w = text::text_value(txtBoatWidth->text().toStdString());
    const double row = lnHorizPos->Y1();
    const double b = lnLeft->width();

    left_edge->setX(mapToScreen(measuredSurveyX - w / 2, surveyY).first);
    left_edge->setY2(row);
    right_edge->setX(mapToScreen(measuredSurveyX + w / 2, surveyY).first);
    right_edge->setY2(row);
    const double leftX = mapToScreen(pathCentreX_ - w / 2 - boundaryDistance_, surveyY).first;
    lnLeft->setX(leftX + 15 + b * 15 / 2);
    lnLeft->setY2(row);
    const double rightX = mapToScreen(pathCentreX_ + w / 2 + boundaryDistance_, surveyY).first;
    lnRight->setX(rightX - b * 15 / 2);
    lnRight->setY2(row);
}

void MeasureScreen::showDeviation(double deviation) {
    txtDeviation->setText(deviation_text(deviation));
}

void MeasureScreen::Timer1_Timer() {
    using platform::ArrowKey;
    auto giveStartFocus = [this] {
        if (session_.keepStartFocus && isVisible()) {
            Command1->setFocus();
        }
    };
    if (platform_.keys.pressed(ArrowKey::Left)) {
        lnMeasure->setX(lnMeasure->X1() - 15);
        lnMeasure1->setX(lnMeasure1->X1() - 15);
        giveStartFocus();
    }
    if (platform_.keys.pressed(ArrowKey::Up)) {
        if (lnMeasure->Y1() > 720) {
            lnMeasure->setY1(lnMeasure->Y1() - 45);
            lnMeasure1->setY1(lnMeasure1->Y1() - 45);
        }
        giveStartFocus();
    }
    if (platform_.keys.pressed(ArrowKey::Right)) {
        lnMeasure->setX(lnMeasure->X1() + 15);
        lnMeasure1->setX(lnMeasure1->X1() + 15);
        giveStartFocus();
    }
    if (platform_.keys.pressed(ArrowKey::Down)) {
        if (lnMeasure->Y1() < 6000) {
            lnMeasure->setY1(lnMeasure->Y1() + 45);
            lnMeasure1->setY1(lnMeasure1->Y1() + 45);
        }
        giveStartFocus();
    }

    double x = lnMeasure->X1();
    if (chkViewOnly->isChecked()) {
        x = lnHorizPos->X1() + 400;
        lnMeasure->setX(x);
        lnMeasure1->setX(x + 15);
    }

    auto& model = session_.calibration.model;
    model.pt_screen_x = x;
    model.pt_screen_y = lnHorizPos->Y1();
    model.screen_to_survey();
    const double surveyX = model.pt_survey_x;
    const double surveyY = model.pt_survey_y;
    showDeviation(rounded_deviation(surveyX, pathCentreX_));

    if (session_.setupValid != 0) {
        placeMarkers(surveyX, surveyY);
    }

    const bool wasConnected = joyResult_ == platform::joystick_result::ok;
    joyResult_ = platform_.joystick.position(joyInfo_);
    updateJoystickStatus();
    if (joyResult_ == platform::joystick_result::ok) {
        // A joystick connected since the last poll (plugged in after start-up, or again after
        // being pulled out) is at rest now, as one present at start-up is when the screen is
        // created: its own reading now is the one that puts the line on the path centre.
        if (!wasConnected) {
            joyCentreX_ = static_cast<std::int32_t>(joyInfo_.x);
        }
        Labelx->setText(QString::number(joyInfo_.x));
        Labely->setText(QString::number(joyInfo_.y));
        const double centre = std::round(lnHorizPos->X1() + 400);
        const double joystickX =
            std::round((static_cast<double>(joyInfo_.x) - joyCentreX_) * 1250 / 65356 + centre);
        lnMeasure->setX(joystickX);
        lnMeasure1->setX(joystickX - 15);
    }

    if (chkUseMouse->isChecked()) {
        lnMeasure->setX(mouseX_);
        lnMeasure1->setX(mouseX_ - 15);
    }
}

void MeasureScreen::Command1_Click() {
    stepTimer->stop();
    const auto pass = screens_.start().passDescription();
    session_.lastSampleIndex = static_cast<std::int16_t>(course::last_sample_index(pass));
    const int n = session_.lastSampleIndex;

    showDeviation(rounded_deviation(mapToSurveyX(lnMeasure->X1(), lnHorizPos->Y1()), pathCentreX_));
    session_.sampleIndex = 0;
    checkTimer->setInterval(100 * n);
    checkTimer->start();
    Label3->hide();
    Label3->setText("Time");
    Label7->hide();
    passStartTime_ = QString::fromStdString(text::time_text(platform_.clock.now()));
    Text2->setText(passStartTime_);

    stop_pulse_clocks();
    passRunning_ = false;
    tickCount1_ = 0;
    tickCount2_ = 0;
    passRunning_ = true;
    start_pulse_clocks();
    draw_reference_marks();
    draw_course_overlay();
}

void MeasureScreen::start_pulse_clocks() {
    // A replayed pass can run in the video's time, so that the samples fall on the same
    // frames at any speed; live video and no video always use the wall clock.
    const bool videoTime = video_->videoTimeChosen();
    session_.passClockLine.clear();
    if (platform_.video.kind() == platform::VideoSource::Kind::File) {
        session_.passClockLine = videoTime
                                     ? QStringLiteral("Pass Clock: Video Time (%1 from %2)")
                                           .arg(QFileInfo(platform_.video.name()).fileName(),
                                                video_time_text(platform_.video.frame().timeUs))
                                           .toStdString()
                                     : std::string("Pass Clock: Wall Clock");
    }
    platform::PulseClock* input = videoTime ? videoTmr1_ : tmr1;
    platform::PulseClock* sampling = videoTime ? videoTmr2_ : tmr2;
    input->setPeriodMs(50);
    input->setResolutionMs(1);
    input->setPeriodic(1);
    input->setRunning(true);
    sampling->setPeriodMs(100);
    sampling->setResolutionMs(1);
    sampling->setPeriodic(1);
    sampling->setRunning(true);
    video_->setPassRunning(true);
}

void MeasureScreen::stop_pulse_clocks() {
    for (platform::PulseClock* clock : {tmr1, tmr2, videoTmr1_, videoTmr2_}) {
        clock->setRunning(false);
    }
    video_->setPassRunning(false);
}

void MeasureScreen::tmr1_Timer() {
    ++tickCount1_;
    txtCount1->setText(QString::number(tickCount1_));
    Timer1_Timer();
}

void MeasureScreen::tmr2_Timer() {
    ++tickCount2_;
    txtCount2->setText(QString::number(tickCount2_));
    stepTimer_Timer();
}

void MeasureScreen::stepTimer_Timer() {
    const int n = session_.lastSampleIndex;
    const int index = session_.sampleIndex;
    if (n <= 0 || index < 0 || index >= static_cast<int>(session::PassSession::sampleCapacity)) {
        return;
    }
    txtSample->setText(QString::number(index));
    const double d = static_cast<double>(index) / n * courseLength_;
    txtDistance->setText(
        QString::fromStdString(text::format_pattern(std::floor(d * 10 + 0.5) / 10, "0.0")));
    session_.samples[static_cast<std::size_t>(index)] =
        text::text_value(txtDeviation->text().toStdString());

    const auto pass = screens_.start().passDescription();
    const double y = pass.direction == Direction::Towards ? -d : d - 259;
    const auto [px, py] = mapToScreen(pathCentreX_, y);
    lnHorizPos->setCoordinates(px - 400, py, px + 400, py);
    session_.sampleIndex = index + 1;
    draw_reference_marks();
    draw_course_overlay();
    if (Label3->isVisible() && Label3->text() == "Time") {
        Label3->setText(QString::number(session_.sampleIndex));
    }
    if (session_.sampleIndex > n) {
        endPass();
    }
    txtTest->setText(QString::number(overlayRedraws_));
}

void MeasureScreen::endPass() {
    stepTimer->stop();
    session_.passMeasured = 1;
    session_.keepStartFocus = false;
    passEndTime_ = QString::fromStdString(text::time_text(platform_.clock.now()));
    Text3->setText(passEndTime_);
    if (!statusHidden_) {
        Label7->show();
    }
    stop_pulse_clocks();
    passRunning_ = false;

    const auto figures = analysis::end_of_pass_figures(session_.samples, session_.lastSampleIndex);
    session_.passSampleCount = figures.passSampleCount;
    session_.passMeanAbsDeviation = figures.passMeanAbsDeviation;
    session_.passMaxAbsDeviation = figures.passMaxAbsDeviation;
    session_.passMaxAbsIndex = figures.passMaxAbsIndex;
    txtStep->setText(QString::number(session_.passSampleCount));

    StartScreen& start = screens_.start();
    if (!chkViewOnly->isChecked()) {
        platform_.dialogs.message("Pass Completed");
        hide();
        screens_.results().showMaximized();
        return;
    }
    const auto pass = start.passDescription();
    Direction next = pass.direction == Direction::Towards ? Direction::Away : Direction::Towards;
    if (pass.discipline == Discipline::Jump) {
        next = Direction::Towards;
    }
    start.selectDirection(next);
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
    passRunning_ = false;
    hide();
    screens_.start().show();
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
        draw_reference_marks();
        draw_course_overlay();
    }
}

double MeasureScreen::crossSize() {
    return screens_.setup().crossSize();
}

void MeasureScreen::draw_reference_marks() {
    session_.calibration.marker_circle_radius =
        screens::draw_reference_marks(*canvas_, session_.calibration.corners, crossSize());
}

void MeasureScreen::draw_course_overlay() {
    ++overlayRedraws_;
    const double s = crossSize();
    const auto pass = screens_.start().passDescription();
    if (pass.discipline == Discipline::Slalom) {
        for (const double x : {0.1, 2.4}) {
            for (const double y : {-27.0, -68.0, -109.0, -150.0, -191.0, -232.0}) {
                const auto [px, py] = mapToScreen(x, y);
                canvas_->line(px - s, py, px + s, py, white);
                canvas_->line(px, py - s, px, py + s, white);
            }
        }
        for (const double y : {0.0, -27.0, -68.0, -109.0, -150.0, -191.0, -232.0}) {
            const auto [px, py] = mapToScreen(1.25, y);
            canvas_->line(px, py - s, px, py + s, white);
        }
        return;
    }
    const double x = chkViewOnly->isChecked() ? selectedJumpPathX() : 2.0;
    const auto [tx, ty] = mapToScreen(x, 0);
    canvas_->line(tx, ty - s, tx, ty + s, white);
    double previousX = tx;
    double previousY = ty;
    for (const double y : {-1.0, -41.0, -81.0, -121.0, -161.0, -201.0, -241.0, -281.0}) {
        const auto [px, py] = mapToScreen(x, y);
        canvas_->line(previousX, previousY, px, py, white);
        previousX = px;
        previousY = py;
    }
}

void MeasureScreen::setLineColour(const QColor& colour) {
    for (LineShape* line : {left_edge, right_edge, lnHorizPos, lnMeasure, lnMeasure1}) {
        line->setColour(colour);
    }
    Command1->setFocus();
}

void MeasureScreen::setBoundaryColour(const QColor& colour) {
    lnLeft->setColour(colour);
    lnRight->setColour(colour);
    Command1->setFocus();
}

void MeasureScreen::jumpPath_Click(double centreX) {
    pathCentreX_ = centreX;
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
    const bool jump = screens_.start().passDescription().discipline == Discipline::Jump;
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
    boundaryDistance_ = value;
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

void MeasureScreen::Form_MouseDown() {
    if (chkUseMouse->isChecked() && !passRunning_) {
        Command1_Click();
    }
}

void MeasureScreen::Form_MouseMove(double xTwips) {
    mouseX_ = static_cast<int>(std::lround(xTwips));
}

}  // namespace quillon::screens
