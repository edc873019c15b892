#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "screens/measure/measure_screen.h"
#include "screens/widgets/line_shape.h"
#include "screens/widgets/overlay_canvas.h"

// The Measure screen's lines and its two panels: how they are built and where they stand.

namespace quillon::screens {

namespace {

const QColor white(255, 255, 255);

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
// Narrower surfaces stack the options into a column.
constexpr int stackedOptionsBelow = 1280;

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
    lineColour_ = highlightText;
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
    // How fast a pass timed by its video was replayed, so that a "Time" count reached late is
    // read as a slow replay, not as a sampling fault.
    lblReplayPace = named(new QLabel, "lblReplayPace");
    lblReplayPace->hide();
    column->addWidget(lblReplayPace);
    // A live pass's recording: its file, or why it is not being written.
    lblRecording = named(new QLabel, "lblRecording");
    lblRecording->setWordWrap(true);
    lblRecording->hide();
    column->addWidget(lblRecording);

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

// The options: entries, check boxes and four option frames, under a button that collapses
// them. On a wide surface they lie in columns side by side, a low band along the top edge above
// where the far gate of a course usually is; on a narrower one they stack into a column that is
// placed beside the course (placePanels).
QWidget* MeasureScreen::buildOptions() {
    auto* panel = named(new QWidget, "optionsPanel");
    panel->setAutoFillBackground(true);
    use_panel_font(*panel);
    // The button stands at the band's left end, or on top of the column.
    optionsOuter_ = new QBoxLayout(QBoxLayout::LeftToRight, panel);
    optionsOuter_->setContentsMargins(panelMargin, panelMargin, panelMargin, panelMargin);
    optionsOuter_->setSpacing(2 * panelSpacing);
    btnOptions = named(new QPushButton("Hide Options"), "btnOptions");
    btnOptions->setFocusPolicy(Qt::NoFocus);
    auto* corner = new QVBoxLayout;
    corner->addWidget(btnOptions);
    corner->addStretch();
    optionsOuter_->addLayout(corner);
    optionsBody_ = named(new QWidget, "optionsBody");
    optionsGrid_ = new QGridLayout(optionsBody_);
    optionsGrid_->setContentsMargins(0, 0, 0, 0);
    optionsGrid_->setSpacing(2 * panelSpacing);
    optionsOuter_->addWidget(optionsBody_);

    optionEntries_ = named(new QWidget, "optionEntries");
    auto* entries = new QGridLayout(optionEntries_);
    entries->setContentsMargins(0, 0, 0, 0);
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

    optionChecks_ = named(new QWidget, "optionChecks");
    auto* checks = new QVBoxLayout(optionChecks_);
    checks->setContentsMargins(0, 0, 0, 0);
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
    chkAutoTrack = named(new QCheckBox("Auto Track"), "chkAutoTrack");
    chkAutoTrack->setEnabled(false);
    checks->addWidget(chkAutoTrack);
    lblTrackStatus = named(new QLabel, "lblTrackStatus");
    lblTrackStatus->hide();
    checks->addWidget(lblTrackStatus);
    checks->addStretch();

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
    arrangeOptions(false);
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

// Side by side in one row, or stacked: entries, check boxes, then the frames two to a row.
void MeasureScreen::arrangeOptions(bool stacked) {
    struct Cell {
        QWidget* widget;
        int row, column, rowSpan, columnSpan;
    };
    const Cell row[] = {{optionEntries_, 0, 0, 1, 1}, {optionChecks_, 0, 1, 1, 1},
                        {Frame1, 0, 2, 1, 1},         {Frame2, 0, 3, 1, 1},
                        {Frame3, 0, 4, 1, 1},         {frmJumpPath, 0, 5, 1, 1}};
    const Cell column[] = {{optionEntries_, 0, 0, 1, 2}, {optionChecks_, 1, 0, 1, 2},
                           {Frame1, 2, 0, 1, 1},         {Frame2, 2, 1, 1, 1},
                           {Frame3, 3, 0, 1, 1},         {frmJumpPath, 3, 1, 1, 1}};
    for (const Cell& cell : stacked ? column : row) {
        optionsGrid_->removeWidget(cell.widget);
        optionsGrid_->addWidget(cell.widget, cell.row, cell.column, cell.rowSpan, cell.columnSpan,
                                Qt::AlignTop | Qt::AlignLeft);
    }
    optionsOuter_->setDirection(stacked ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    optionsStacked_ = stacked;
}

void MeasureScreen::btnOptions_Click() {
    const bool collapsing = !optionsBody_->isHidden();
    optionsBody_->setVisible(!collapsing);
    btnOptions->setText(collapsing ? "Show Options" : "Hide Options");
}

namespace {

int area(const QRegion& region) {
    int sum = 0;
    for (const QRect& rect : region) {
        sum += rect.width() * rect.height();
    }
    return sum;
}

}  // namespace

// Where the course lies on the surface, in pixels: the quadrilateral through the four marked
// gate buoys with their circles, and the water beyond the far gate up to the top edge, where a
// boat coming toward the camera starts its pass and the measurement line reaches up.
QRegion MeasureScreen::courseRegion() {
    if (session_.setupValid == 0) {
        return {};
    }
    const auto& c = session_.calibration.corners;
    const auto pixel = [](double x, double y) { return OverlayCanvas::toPixels(x, y).toPoint(); };
    const QPoint ul = pixel(c.ul_screen_x, c.ul_screen_y);
    const QPoint ur = pixel(c.ur_screen_x, c.ur_screen_y);
    const QPoint ll = pixel(c.ll_screen_x, c.ll_screen_y);
    const QPoint lr = pixel(c.lr_screen_x, c.lr_screen_y);
    QRegion course(QPolygon({ul, ur, lr, ll}), Qt::OddEvenFill);
    const int radius = static_cast<int>(std::ceil(2 * crossSize() / OverlayCanvas::twipsPerPixel));
    for (const QPoint& buoy : {ul, ur, ll, lr}) {
        course += QRect(buoy - QPoint(radius, radius), QSize(2 * radius + 1, 2 * radius + 1));
    }
    const int farLeft = std::min(ul.x(), ur.x()) - radius;
    const int farRight = std::max(ul.x(), ur.x()) + radius;
    course += QRect(farLeft, 0, farRight - farLeft + 1, std::max(ul.y(), ur.y()));
    return course;
}

// The panels keep to the edges of the screen, leaving its middle, where the course is, free:
// the information panel in the lower-left corner, the options in the upper-right one. Each
// takes the size its visible controls need, so hiding some (status indicators, jump options,
// the collapsed options) shrinks it back into its corner. Below 1280 pixels the band of options
// would reach over the far gate: stacked into a column, they take the first place beside the
// information panel that leaves the course clear, or the one that covers least of it.
void MeasureScreen::placePanels() {
    const bool stacked = canvas_->width() < stackedOptionsBelow;
    if (stacked != optionsStacked_) {
        arrangeOptions(stacked);
    }
    for (QWidget* panel : {informationPanel_, optionsPanel_}) {
        panel->layout()->activate();
        const QSize hint = panel->sizeHint();
        const int width = std::clamp(hint.width(), panel->minimumWidth(), panel->maximumWidth());
        panel->resize(width,
                      panel->hasHeightForWidth() ? panel->heightForWidth(width) : hint.height());
    }
    const QSize surface = canvas_->size();
    informationPanel_->move(
        panelEdge, std::max(0, surface.height() - informationPanel_->height() - panelEdge));
    const QSize options = optionsPanel_->size();
    const int right = std::max(0, surface.width() - options.width() - panelEdge);
    const int bottom = std::max(0, surface.height() - options.height() - panelEdge);
    const int besideInformation = informationPanel_->geometry().right() + 1 + panelEdge;
    if (!stacked) {
        optionsPanel_->move(right, panelEdge);
        return;
    }
    const QPoint places[] = {{right, panelEdge},
                             {right, bottom},
                             {panelEdge, panelEdge},
                             {besideInformation, bottom},
                             {besideInformation, panelEdge}};
    const QRegion course = courseRegion();
    const QRect surfaceRect(QPoint(0, 0), surface);
    QPoint best = places[0];
    int leastCovered = -1;
    for (const QPoint& place : places) {
        const QRect rect(place, options);
        if (!surfaceRect.contains(rect) || rect.intersects(informationPanel_->geometry())) {
            continue;
        }
        const int covered = area(course.intersected(rect));
        if (leastCovered < 0 || covered < leastCovered) {
            best = place;
            leastCovered = covered;
        }
        if (covered == 0) {
            break;
        }
    }
    optionsPanel_->move(best);
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

}  // namespace quillon::screens
