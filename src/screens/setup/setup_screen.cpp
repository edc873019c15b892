#include "screens/setup/setup_screen.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>

#include "calibration/accuracy_grid.h"
#include "calibration/grid_check.h"
#include "calibration/results_log_entry.h"
#include "course/reference_course.h"
#include "screens/setup/whole_picture.h"
#include "screens/video/video_controls.h"
#include "screens/widgets/drawing_surface.h"
#include "screens/widgets/overlay_canvas.h"
#include "screens/widgets/reference_marks.h"
#include "text/number_text.h"
#include "text/text_value.h"

namespace quillon::screens {

namespace {

using calibration::Message;

const QColor white{255, 255, 255};
const QColor black{0, 0, 0};

constexpr const char* completeIcon = "face02.ico";
constexpr const char* notCompleteIcon = "msgbox03.ico";

constexpr const char* setupNotOkText = "Setup needs to be OK to do this - look for the smiley face";
constexpr const char* invalidPathText = "Invalid path, change in configuration screen";

constexpr const char* setupLoadFilter =
    "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.ipt)|*.ipt|";
constexpr const char* setupSaveFilter =
    "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.IPT)|*.IPT|";
constexpr int setupFilterIndex = 3;
constexpr const char* pictureFilter =
    "All Files (*.*)|*.*|Text Files (*.txt)|*.txt|Jump Picture Files (*.gif)|*.gif|"
    "Jump Picture Files (*.bmp)|*.bmp|Jump Picture Files (*.jpg)|*.jpg|";
constexpr int pictureFilterIndex = 4;

// The largest half-length the cross-size scroll bar allows: erasing an old mark covers a cross
// of any size that may have been drawn.
constexpr double largestCrossSize = 105;
constexpr double initialCrossSize = 90;
// One pixel, the step of the arrow buttons.
constexpr double pixelTwips = 15;
// Each stroke of the crosses drawn on leaving reaches this far either side of the mark.
constexpr double exitCrossHalfLength = 100;

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

QLineEdit* make_box(QWidget* parent, const char* name, const char* initial) {
    auto* box = new QLineEdit(QString::fromLatin1(initial), parent);
    box->setObjectName(name);
    return box;
}

QRadioButton* make_option(QWidget* parent, const char* name, const char* caption) {
    auto* option = new QRadioButton(QString::fromLatin1(caption), parent);
    option->setObjectName(name);
    return option;
}

QPushButton* make_button(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(name);
    return button;
}

QGroupBox* make_frame(QWidget* parent, const char* name, const char* caption) {
    auto* frame = new QGroupBox(QString::fromLatin1(caption), parent);
    frame->setObjectName(name);
    // Frames sit on the picture: give them a plain background so their captions stay legible.
    frame->setAutoFillBackground(true);
    return frame;
}

// White on black, legible over water and over the key colour alike.
void make_black_label(QLabel* label) {
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, black);
    palette.setColor(QPalette::WindowText, white);
    label->setPalette(palette);
}

void set_text_colour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

}  // namespace

SetupScreen::SetupScreen(session::PassSession& session, Screens& screens,
                         platform::Platform& platform)
    : session_(session), screens_(screens), platform_(platform) {
    setWindowTitle("Grid Setup");
    surface_ = new OverlayCanvas(this);
    setCentralWidget(surface_);
    createControls();
    connectControls();
    video_ = new VideoControls(*this, *surface_, platform_);
    // A paused frame becomes the still picture, placed as the surface showed it, so that
    // buoys are marked on it exactly where they are in the video.
    video_->offerGrab([this](const QImage& frame) { surface_->setPicture(frame); });
}

void SetupScreen::createControls() {
    const calibration::ReferenceBoxes initial = calibration::initial_reference_boxes();
    QWidget* s = surface_;
    upper_left_x = make_box(s, "upper_left_x", initial.upper_left_x.c_str());
    upper_left_y = make_box(s, "upper_left_y", initial.upper_left_y.c_str());
    upper_right_x = make_box(s, "upper_right_x", initial.upper_right_x.c_str());
    upper_right_y = make_box(s, "upper_right_y", initial.upper_right_y.c_str());
    lower_left_x = make_box(s, "lower_left_x", initial.lower_left_x.c_str());
    lower_left_y = make_box(s, "lower_left_y", initial.lower_left_y.c_str());
    lower_right_x = make_box(s, "lower_right_x", initial.lower_right_x.c_str());
    lower_right_y = make_box(s, "lower_right_y", initial.lower_right_y.c_str());
    ul_survey_x = make_box(s, "ul_survey_x", initial.ul_survey_x.c_str());
    ul_survey_y = make_box(s, "ul_survey_y", initial.ul_survey_y.c_str());
    ur_survey_x = make_box(s, "ur_survey_x", initial.ur_survey_x.c_str());
    ur_survey_y = make_box(s, "ur_survey_y", initial.ur_survey_y.c_str());
    ll_survey_x = make_box(s, "ll_survey_x", initial.ll_survey_x.c_str());
    ll_survey_y = make_box(s, "ll_survey_y", initial.ll_survey_y.c_str());
    lr_survey_x = make_box(s, "lr_survey_x", initial.lr_survey_x.c_str());
    lr_survey_y = make_box(s, "lr_survey_y", initial.lr_survey_y.c_str());
    jump_x = make_box(s, "jump_x", initial.jump_x.c_str());
    jump_y = make_box(s, "jump_y", initial.jump_y.c_str());
    const std::array<const char*, referenceBoxCount> tips{
        "Upper left buoy: screen x (twips)",  "Upper left buoy: screen y (twips)",
        "Upper right buoy: screen x (twips)", "Upper right buoy: screen y (twips)",
        "Lower left buoy: screen x (twips)",  "Lower left buoy: screen y (twips)",
        "Lower right buoy: screen x (twips)", "Lower right buoy: screen y (twips)",
        "Upper left buoy: survey x (m)",      "Upper left buoy: survey y (m)",
        "Upper right buoy: survey x (m)",     "Upper right buoy: survey y (m)",
        "Lower left buoy: survey x (m)",      "Lower left buoy: survey y (m)",
        "Lower right buoy: survey x (m)",     "Lower right buoy: survey y (m)",
        "Jump point: survey x (m)",           "Jump point: survey y (m)"};
    referenceBoxes_ = {upper_left_x, upper_left_y,  upper_right_x, upper_right_y, lower_left_x,
                       lower_left_y, lower_right_x, lower_right_y, ul_survey_x,   ul_survey_y,
                       ur_survey_x,  ur_survey_y,   ll_survey_x,   ll_survey_y,   lr_survey_x,
                       lr_survey_y,  jump_x,        jump_y};
    for (std::size_t box = 0; box < referenceBoxes_.size(); ++box) {
        referenceBoxes_[box]->setToolTip(QString::fromLatin1(tips[box]));
    }

    ipt_file_description = make_box(s, "ipt_file_description", "No File");
    ipt_file_description_2 = make_box(s, "ipt_file_description_2", "");
    cmdHide = make_button(s, "cmdHide", "Hide");

    Load = make_button(s, "Load", "Complete");
    grid_select = make_button(s, "grid_select", "Grid 1");
    grid_state_icon = new QLabel(s);
    grid_state_icon->setObjectName("grid_state_icon");
    grid_state_icon->setAlignment(Qt::AlignCenter);

    Frame1 = make_frame(s, "Frame1", "Gate Buoy Selection");
    upper_left_button = make_option(Frame1, "upper_left_button", "upper left");
    upper_right_button = make_option(Frame1, "upper_right_button", "upper right");
    lower_left_button = make_option(Frame1, "lower_left_button", "lower left");
    lower_right_button = make_option(Frame1, "lower_right_button", "lower right");

    chkboxGridLock = new QCheckBox("Lock Grid Buoys", s);
    chkboxGridLock->setObjectName("chkboxGridLock");
    chkboxGridLock->setAutoFillBackground(true);
    gridLockedLabel = new QLabel("GRID LOCKED!", s);
    gridLockedLabel->setObjectName("gridLockedLabel");
    QFont lockedFont = gridLockedLabel->font();
    lockedFont.setPointSize(24);
    lockedFont.setBold(true);
    gridLockedLabel->setFont(lockedFont);
    set_text_colour(gridLockedLabel, white);
    gridLockedLabel->adjustSize();
    gridLockedLabel->installEventFilter(this);

    AdjustmentLabel = new QLabel("Micro-Adjust", s);
    AdjustmentLabel->setObjectName("AdjustmentLabel");
    const std::array<std::pair<QToolButton**, std::pair<const char*, Qt::ArrowType>>, 4> arrows{{
        {&AdjustUp, {"AdjustUp", Qt::UpArrow}},
        {&AdjustDown, {"AdjustDown", Qt::DownArrow}},
        {&AdjustLeft, {"AdjustLeft", Qt::LeftArrow}},
        {&AdjustRight, {"AdjustRight", Qt::RightArrow}},
    }};
    for (const auto& [button, what] : arrows) {
        *button = new QToolButton(s);
        (*button)->setObjectName(what.first);
        (*button)->setArrowType(what.second);
    }

    Setup_Cross_size = new QScrollBar(Qt::Horizontal, s);
    Setup_Cross_size->setObjectName("Setup_Cross_size");
    Setup_Cross_size->setRange(15, static_cast<int>(largestCrossSize));
    Setup_Cross_size->setSingleStep(15);
    Setup_Cross_size->setPageStep(15);
    Setup_Cross_size->setValue(static_cast<int>(initialCrossSize));
    CrossSizeLabel = new QLabel("Cross Size", s);
    CrossSizeLabel->setObjectName("CrossSizeLabel");
    CrossSizeLabel->installEventFilter(this);

    show_alignment = make_button(s, "show_alignment", "Draw Buoys");
    btnShowAllBuoys = make_button(s, "btnShowAllBuoys", "Show Course");

    btnAccuracyCheck = make_button(s, "btnAccuracyCheck", "Accuracy");
    btnClearAccuracy = make_button(s, "btnClearAccuracy", "Clear Accuracy Values");
    btnClearAccuracy->hide();
    fmAccuracyDisplay = make_frame(s, "fmAccuracyDisplay", "Accuracy ");
    optAdvancedAccuracy = make_option(fmAccuracyDisplay, "optAdvancedAccuracy", "Advanced");
    optStandardAccuracy = make_option(fmAccuracyDisplay, "optStandardAccuracy", "Standard");
    optAdvancedAccuracy->setChecked(true);
    fmAccuracyConfig = make_frame(s, "fmAccuracyConfig", "Display");
    optDisplayDistance = make_option(fmAccuracyConfig, "optDisplayDistance", "Distance");
    optDetailMeasurement = make_option(fmAccuracyConfig, "optDetailMeasurement", "Detail ");
    optHomolgationLevel = make_option(fmAccuracyConfig, "optHomolgationLevel", "Hom.Lvl");
    optDetailMeasurement->setChecked(true);

    QFont small = font();
    small.setPointSize(8);
    for (int k = 0; k < accuracyIndicatorCount; ++k) {
        auto* label = new QLabel(s);
        label->setObjectName(QStringLiteral("AccuracyIndicator%1").arg(k));
        label->setFont(small);
        label->hide();
        AccuracyIndicator[static_cast<std::size_t>(k)] = label;
    }
    for (int k = 0; k < lineLabelCount; ++k) {
        auto* label = new QLabel(QString::number(k + 1), s);
        label->setObjectName(QStringLiteral("LineLabel%1").arg(k));
        label->hide();
        LineLabel[static_cast<std::size_t>(k)] = label;
    }

    QMenuBar* menu = menuBar();
    gridLoad = menu->addAction("&Load Setup Data File");
    gridLoad->setObjectName("gridLoad");
    QMenu* pictureMenu = menu->addMenu("Setup &Picture");
    mnuSetupPicture = pictureMenu->menuAction();
    mnuSetupPicture->setObjectName("mnuSetupPicture");
    mnuLoadPicture = pictureMenu->addAction("Load &Picture");
    mnuLoadPicture->setObjectName("mnuLoadPicture");
    mnuClearPicture = pictureMenu->addAction("&Clear Picture");
    mnuClearPicture->setObjectName("mnuClearPicture");
    mnuPaste = menu->addAction("P&aste Picture from Clipboard");
    mnuPaste->setObjectName("mnuPaste");
    gridSave = menu->addAction("&Save Data Setup File");
    gridSave->setObjectName("gridSave");
    gridExit = menu->addAction("E&xit");
    gridExit->setObjectName("gridExit");
}

void SetupScreen::connectControls() {
    for (int box = 0; box < referenceBoxCount; ++box) {
        connect(referenceBoxes_[static_cast<std::size_t>(box)], &QLineEdit::textChanged, this,
                [this, box] { ReferenceBox_Change(box); });
    }
    connect(Load, &QPushButton::clicked, this, [this] { Load_Click(); });
    connect(grid_select, &QPushButton::clicked, this, [this] { grid_select_Click(); });
    connect(cmdHide, &QPushButton::clicked, this, [this] { cmdHide_Click(); });
    connect(surface_, &OverlayCanvas::mousePressed, this,
            [this](double x, double y, Qt::MouseButton) { Form_MouseDown(x, y); });
    connect(AdjustUp, &QToolButton::clicked, this, [this] { Adjust_Click(0, -pixelTwips); });
    connect(AdjustDown, &QToolButton::clicked, this, [this] { Adjust_Click(0, pixelTwips); });
    connect(AdjustLeft, &QToolButton::clicked, this, [this] { Adjust_Click(-pixelTwips, 0); });
    connect(AdjustRight, &QToolButton::clicked, this, [this] { Adjust_Click(pixelTwips, 0); });
    // The lock check runs on every change of the box, its own refusal included.
    connect(chkboxGridLock, &QCheckBox::toggled, this, [this] { chkboxGridLock_Click(); });
    connect(show_alignment, &QPushButton::clicked, this, [this] { show_alignment_Click(); });
    connect(btnShowAllBuoys, &QPushButton::clicked, this, [this] { btnShowAllBuoys_Click(); });
    connect(btnAccuracyCheck, &QPushButton::clicked, this, [this] { btnAccuracyCheck_Click(); });
    connect(btnClearAccuracy, &QPushButton::clicked, this, [this] { btnClearAccuracy_Click(); });
    connect(optAdvancedAccuracy, &QRadioButton::clicked, this,
            [this] { fmAccuracyConfig->show(); });
    connect(optStandardAccuracy, &QRadioButton::clicked, this,
            [this] { fmAccuracyConfig->hide(); });
    connect(gridLoad, &QAction::triggered, this, [this] { gridLoad_Click(); });
    connect(mnuLoadPicture, &QAction::triggered, this, [this] { mnuLoadPicture_Click(); });
    connect(mnuClearPicture, &QAction::triggered, this, [this] { mnuClearPicture_Click(); });
    connect(mnuPaste, &QAction::triggered, this, [this] { mnuPaste_Click(); });
    connect(gridSave, &QAction::triggered, this, [this] { gridSave_Click(); });
    connect(gridExit, &QAction::triggered, this, [this] { gridExit_Click(); });
}

void SetupScreen::Form_Load() {
    calibration::GridSlots& grids = session_.calibration.grids;
    grids.current_grid = 1;
    grids.grids_in_use = 1;
    grid_select->setText("Grid 1");

    session_.calibration.marker_circle_radius = 2 * crossSize();

    session_.calibration.corners = {};
    session_.setupValid = 0;

    enterProgramFolder();
    showGridStateIcon(notCompleteIcon);

    btnAccuracyCheck->hide();
    fmAccuracyConfig->hide();
    fmAccuracyDisplay->hide();
    clear_accuracy_indicator();
    gridLockedLabel->hide();

    make_black_label(AdjustmentLabel);
    make_black_label(CrossSizeLabel);

    placeControls();
}

// Everything sits along the edges of the screen, the middle is left to the course: the left
// buoys' boxes, the buoy selection, the lock, the arrows and the cross size down the left edge;
// the right buoys' boxes and the commands down the right edge; the descriptions along the top.
void SetupScreen::placeControls() {
    const QSize surface = drawing_surface_size(session_);
    hold_drawing_surface(*this, *surface_, surface);
    const int width = surface.width();
    const int bottom = surface.height() - 10;

    constexpr int column = 190;
    constexpr int boxW = 93;
    constexpr int boxH = 22;
    const int left = 4;
    const int right = width - column - 4;

    auto pair = [](QLineEdit* a, QLineEdit* b, int x, int y) {
        a->setGeometry(x, y, boxW, boxH);
        b->setGeometry(x + boxW + 4, y, boxW, boxH);
    };
    pair(upper_left_x, upper_left_y, left, 4);
    pair(ul_survey_x, ul_survey_y, left, 28);
    pair(jump_x, jump_y, left, 56);
    pair(upper_right_x, upper_right_y, right, 4);
    pair(ur_survey_x, ur_survey_y, right, 28);
    pair(lower_left_x, lower_left_y, left, bottom - 48);
    pair(ll_survey_x, ll_survey_y, left, bottom - 24);
    pair(lower_right_x, lower_right_y, right, bottom - 48);
    pair(lr_survey_x, lr_survey_y, right, bottom - 24);

    const int descriptionLeft = left + column + 8;
    const int descriptionWidth = (right - 8 - descriptionLeft - 60) / 2;
    ipt_file_description->setGeometry(descriptionLeft, 4, descriptionWidth, boxH);
    ipt_file_description_2->setGeometry(descriptionLeft + descriptionWidth + 4, 4, descriptionWidth,
                                        boxH);
    cmdHide->setGeometry(descriptionLeft + 2 * descriptionWidth + 8, 3, 56, boxH + 2);
    gridLockedLabel->move((width - gridLockedLabel->width()) / 2, 32);

    Frame1->setGeometry(left, 84, column, 76);
    upper_left_button->setGeometry(6, 22, 90, 22);
    upper_right_button->setGeometry(96, 22, 92, 22);
    lower_left_button->setGeometry(6, 48, 90, 22);
    lower_right_button->setGeometry(96, 48, 92, 22);
    chkboxGridLock->setGeometry(left, 166, column, 22);

    AdjustmentLabel->setGeometry(left, 196, 90, 18);
    constexpr int arrow = 26;
    AdjustUp->setGeometry(left + arrow, 218, arrow, arrow);
    AdjustLeft->setGeometry(left, 218 + arrow, arrow, arrow);
    AdjustRight->setGeometry(left + 2 * arrow, 218 + arrow, arrow, arrow);
    AdjustDown->setGeometry(left + arrow, 218 + 2 * arrow, arrow, arrow);
    CrossSizeLabel->setGeometry(left, 306, 90, 18);
    Setup_Cross_size->setGeometry(left, 326, column, 18);

    grid_select->setGeometry(right, 56, 90, 28);
    grid_state_icon->setGeometry(right + 100, 54, 32, 32);
    Load->setGeometry(right, 90, column, 28);
    show_alignment->setGeometry(right, 124, column, 26);
    btnShowAllBuoys->setGeometry(right, 154, column, 26);
    btnAccuracyCheck->setGeometry(right, 188, column, 26);
    btnClearAccuracy->setGeometry(right, 218, column, 26);
    fmAccuracyDisplay->setGeometry(right, 250, column, 50);
    optAdvancedAccuracy->setGeometry(6, 22, 90, 22);
    optStandardAccuracy->setGeometry(96, 22, 90, 22);
    fmAccuracyConfig->setGeometry(right, 304, column, 50);
    optDisplayDistance->setGeometry(4, 22, 68, 22);
    optDetailMeasurement->setGeometry(72, 22, 56, 22);
    optHomolgationLevel->setGeometry(128, 22, 62, 22);
}

void SetupScreen::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    Form_Activate();
}

void SetupScreen::Form_Activate() {
    const auto rewrite = calibration::activation_survey_rewrite(
        screens_.selections().passDescription().discipline, ul_survey_x->text().toStdString());
    if (!rewrite) {
        return;
    }
    ul_survey_x->setText(qt(rewrite->ul_survey_x));
    ll_survey_x->setText(qt(rewrite->ll_survey_x));
    ll_survey_y->setText(qt(rewrite->ll_survey_y));
    lr_survey_y->setText(qt(rewrite->lr_survey_y));
    session_.setupValid = 0;
}

double SetupScreen::crossSize() const {
    return Setup_Cross_size ? Setup_Cross_size->value() : initialCrossSize;
}

void SetupScreen::closeEvent(QCloseEvent* event) {
    event->accept();
    screens_.quit();
}

// --- Reference boxes ------------------------------------------------------------------------

void SetupScreen::ReferenceBox_Change(int box) {
    calibration::CameraModel& model = session_.calibration.model;
    const double value =
        text::text_value(referenceBoxes_[static_cast<std::size_t>(box)]->text().toStdString());
    switch (box) {
        case urSurveyX:
            model.survey_x[1] = value;
            break;
        case urSurveyY:
            model.survey_y[1] = value;
            break;
        case lrSurveyX:
            model.survey_x[2] = value;
            break;
        case lrSurveyY:
            model.survey_y[2] = value;
            break;
        case ulSurveyX:
            model.survey_x[3] = value;
            break;
        case ulSurveyY:
            model.survey_y[3] = value;
            break;
        case llSurveyX:
            model.survey_x[4] = value;
            break;
        case llSurveyY:
            model.survey_y[4] = value;
            break;
        case jumpX:
            model.jump_survey_x = value;
            break;
        case jumpY:
            model.jump_survey_y = value;
            break;
        default:
            break;  // the screen boxes only display the marks
    }
    enterProgramFolder();
    showGridStateIcon(notCompleteIcon);
    btnAccuracyCheck->hide();
    fmAccuracyConfig->hide();
    fmAccuracyDisplay->hide();
    clear_accuracy_indicator();
    session_.setupValid = 0;
}

calibration::ReferenceBoxes SetupScreen::boxes() const {
    auto t = [](const QLineEdit* box) { return box->text().toStdString(); };
    calibration::ReferenceBoxes b;
    b.upper_left_x = t(upper_left_x);
    b.upper_left_y = t(upper_left_y);
    b.upper_right_x = t(upper_right_x);
    b.upper_right_y = t(upper_right_y);
    b.lower_left_x = t(lower_left_x);
    b.lower_left_y = t(lower_left_y);
    b.lower_right_x = t(lower_right_x);
    b.lower_right_y = t(lower_right_y);
    b.ul_survey_x = t(ul_survey_x);
    b.ul_survey_y = t(ul_survey_y);
    b.ur_survey_x = t(ur_survey_x);
    b.ur_survey_y = t(ur_survey_y);
    b.ll_survey_x = t(ll_survey_x);
    b.ll_survey_y = t(ll_survey_y);
    b.lr_survey_x = t(lr_survey_x);
    b.lr_survey_y = t(lr_survey_y);
    b.jump_x = t(jump_x);
    b.jump_y = t(jump_y);
    return b;
}

// Fills the boxes in the order a load or a slot switch writes them; each fill runs its change
// handling.
void SetupScreen::showBoxes(const calibration::SetupDisplay& display) {
    const calibration::ReferenceBoxes& b = display.boxes;
    const std::array<std::pair<QLineEdit*, const std::string*>, referenceBoxCount> fills{{
        {upper_right_x, &b.upper_right_x},
        {upper_right_y, &b.upper_right_y},
        {lower_right_x, &b.lower_right_x},
        {lower_right_y, &b.lower_right_y},
        {upper_left_x, &b.upper_left_x},
        {upper_left_y, &b.upper_left_y},
        {lower_left_x, &b.lower_left_x},
        {lower_left_y, &b.lower_left_y},
        {ur_survey_x, &b.ur_survey_x},
        {ur_survey_y, &b.ur_survey_y},
        {lr_survey_x, &b.lr_survey_x},
        {lr_survey_y, &b.lr_survey_y},
        {ul_survey_x, &b.ul_survey_x},
        {ul_survey_y, &b.ul_survey_y},
        {ll_survey_x, &b.ll_survey_x},
        {ll_survey_y, &b.ll_survey_y},
        {jump_x, &b.jump_x},
        {jump_y, &b.jump_y},
    }};
    for (const auto& [box, value] : fills) {
        box->setText(qt(*value));
    }
    ipt_file_description->setText(qt(display.ipt_file_description));
    ipt_file_description_2->setText(qt(display.ipt_file_description_2));
}

std::string SetupScreen::resultsFolder() const {
    return screens_.selections().passDescription().resultsFolder;
}

void SetupScreen::showMessage(const Message& message) {
    platform_.dialogs.message(qt(message.text), message.style, qt(message.title));
}

bool SetupScreen::enterProgramFolder() {
    return QDir::setCurrent(qt(session_.appFolder));
}

// A missing or unreadable icon file leaves the image empty; the screen works without it.
void SetupScreen::showGridStateIcon(const char* fileName) {
    QImageReader reader(QDir(qt(session_.appFolder)).filePath(QString::fromLatin1(fileName)));
    // The icons are read by their content, whatever format their name suggests.
    reader.setDecideFormatFromContent(true);
    const QImage icon = reader.read();
    if (icon.isNull()) {
        grid_state_icon->clear();
        return;
    }
    grid_state_icon->setPixmap(QPixmap::fromImage(icon));
}

// --- Complete, slots, leaving ---------------------------------------------------------------

void SetupScreen::Load_Click() {
    const calibration::ReferenceBoxes entered = boxes();
    calibration::Calibration& cal = session_.calibration;
    const calibration::CompleteOutcome outcome = calibration::complete_setup(
        cal, entered, ipt_file_description->text().toStdString(),
        ipt_file_description_2->text().toStdString(), session_.setupValid);

    const bool checked =
        !outcome.message || *outcome.message != calibration::missing_parameters_message();
    if (checked) {
        enterProgramFolder();
        showGridStateIcon(completeIcon);
        btnAccuracyCheck->show();
        surface_->clear();
    }
    if (outcome.message) {
        showMessage(*outcome.message);
    }

    calibration::ResultsLogInput entry;
    entry.now = platform_.clock.now();
    entry.boxes = boxes();
    entry.ipt_file_description = ipt_file_description->text().toStdString();
    entry.ipt_file_description_2 = ipt_file_description_2->text().toStdString();
    entry.current_grid = cal.grids.current_grid;
    entry.labelWord = calibration::ScreenLabelWord::Pixels;
    if (auto problem = calibration::append_results_log_entry(resultsFolder(), entry)) {
        showMessage(*problem);
    }
}

void SetupScreen::grid_select_Click() {
    calibration::Calibration& cal = session_.calibration;
    const calibration::GridSelectOutcome outcome =
        calibration::select_next_grid(cal, grid_select->text().toStdString());
    grid_select->setText(qt(outcome.caption));
    showBoxes(outcome.display);
    if (outcome.loaded) {
        enterProgramFolder();
        showGridStateIcon(completeIcon);
        btnAccuracyCheck->show();
        fmAccuracyDisplay->show();
    }
    calibration::apply_completion_rule(cal.grids, session_.setupValid);
}

void SetupScreen::gridExit_Click() {
    if (session_.setupValid == 0) {
        if (platform_.dialogs.message(
                "Do you want to leave the grid setup with the grid setup not complete?",
                platform::MessageStyle::YesNo,
                "Grid Setup Error") == platform::MessageAnswer::Yes) {
            hide();
            screens_.show(Screen::Start);
        }
        return;
    }
    hide();
    screens_.show(Screen::Start);

    // The Measure screen works with slot 1: put it back in place (the boxes keep their texts)
    // and leave its marks on the surface.
    calibration::restore_grid(session_.calibration, 1);
    const calibration::CornerPositions& c = session_.calibration.corners;
    surface_->setPenWidth(2);
    for (const auto& [x, y] :
         {std::pair{c.ul_screen_x, c.ul_screen_y}, std::pair{c.ur_screen_x, c.ur_screen_y},
          std::pair{c.ll_screen_x, c.ll_screen_y}, std::pair{c.lr_screen_x, c.lr_screen_y}}) {
        drawCross(x, y, exitCrossHalfLength, white);
    }
    surface_->line(c.lr_screen_x, c.lr_screen_y, c.ur_screen_x, c.ur_screen_y, white);
    surface_->line(c.ll_screen_x, c.ll_screen_y, c.ul_screen_x, c.ul_screen_y, white);
}

// --- Setup files ----------------------------------------------------------------------------

void SetupScreen::gridLoad_Click() {
    chkboxGridLock->setChecked(false);
    gridLockedLabel->hide();
    calibration::Calibration& cal = session_.calibration;
    cal.grids.grids_in_use = 1;
    cal.grids.current_grid = 1;

    if (!enterProgramFolder()) {
        platform_.dialogs.message(invalidPathText, platform::MessageStyle::Exclamation);
        return;
    }
    const auto chosen =
        platform_.dialogs.openFile({"", setupLoadFilter, setupFilterIndex, qt(session_.appFolder)});
    if (!chosen) {
        return;
    }
    const calibration::SetupLoadOutcome outcome =
        calibration::load_setup_file(cal, chosen->toStdString());
    if (!outcome.display) {
        if (outcome.problem) {
            showMessage(*outcome.problem);
        }
        return;
    }
    ipt_file_description->setText(qt(outcome.display->ipt_file_description));
    ipt_file_description_2->setText(qt(outcome.display->ipt_file_description_2));
    showBoxes(*outcome.display);

    calibration::ResultsLogInput entry;
    entry.now = platform_.clock.now();
    entry.boxes = boxes();
    entry.ipt_file_description = ipt_file_description->text().toStdString();
    entry.ipt_file_description_2 = ipt_file_description_2->text().toStdString();
    entry.current_grid = cal.grids.current_grid;
    entry.labelWord = calibration::ScreenLabelWord::Twips;
    if (auto problem = calibration::append_results_log_entry(resultsFolder(), entry)) {
        // The calibration is in place; the operator fixes the results folder and loads again.
        showMessage(*problem);
        return;
    }

    surface_->clear();
    if (auto warning = calibration::grid_check(cal.model, boxes(), session_.screenWidthPx)) {
        showMessage(*warning);
    }
    enterProgramFolder();
    showGridStateIcon(completeIcon);
    btnAccuracyCheck->show();
    grid_select->setText(qt(calibration::finish_setup_load(cal, session_.setupValid)));
    Show_grid();
}

void SetupScreen::gridSave_Click() {
    chkboxGridLock->setChecked(false);
    gridLockedLabel->hide();

    if (!enterProgramFolder()) {
        platform_.dialogs.message(invalidPathText, platform::MessageStyle::Exclamation);
        return;
    }
    const auto chosen =
        platform_.dialogs.saveFile({"", setupSaveFilter, setupFilterIndex, qt(session_.appFolder)});
    if (!chosen) {
        return;
    }
    const QString description =
        platform_.dialogs.input("Enter descriptive line about grid", "Grid Description")
            .value_or(QString());
    if (auto problem = calibration::save_setup_file(session_.calibration, chosen->toStdString(),
                                                    description.toStdString())) {
        showMessage(*problem);
        return;
    }
    ipt_file_description->setText(*chosen);
    ipt_file_description_2->setText(description);
}

// --- Background picture ---------------------------------------------------------------------

void SetupScreen::mnuLoadPicture_Click() {
    // An empty picture folder leaves the current folder as it is.
    if (!picture_folder.empty() && !QDir::setCurrent(qt(picture_folder))) {
        platform_.dialogs.message(invalidPathText, platform::MessageStyle::Exclamation);
        return;
    }
    const QString start = picture_folder.empty() ? qt(session_.appFolder) : qt(picture_folder);
    const auto chosen = platform_.dialogs.openFile({"", pictureFilter, pictureFilterIndex, start});
    if (!chosen) {
        return;
    }
    // Not a picture, or one cut off part way: nothing changes.
    const QImage picture = read_whole_picture(*chosen);
    if (picture.isNull()) {
        return;
    }
    surface_->setPicture(picture);
}

void SetupScreen::mnuClearPicture_Click() {
    surface_->clearPicture();
}

void SetupScreen::mnuPaste_Click() {
    const QImage picture = clipboard_picture(*QApplication::clipboard());
    if (picture.isNull()) {
        platform_.dialogs.message("There is no picture on the clipboard.",
                                  platform::MessageStyle::Information);
        return;
    }
    surface_->setPicture(picture);
}

// --- Marking --------------------------------------------------------------------------------

SetupScreen::BuoyParts SetupScreen::buoy(Buoy which) {
    calibration::CornerPositions& c = session_.calibration.corners;
    switch (which) {
        case UpperLeft:
            return {&c.ul_screen_x,   &c.ul_screen_y, upper_left_x, upper_left_y, 3,
                    upper_left_button};
        case UpperRight:
            return {&c.ur_screen_x,    &c.ur_screen_y, upper_right_x, upper_right_y, 1,
                    upper_right_button};
        case LowerLeft:
            return {&c.ll_screen_x,   &c.ll_screen_y, lower_left_x, lower_left_y, 4,
                    lower_left_button};
        case LowerRight:
            break;
    }
    return {&c.lr_screen_x, &c.lr_screen_y, lower_right_x, lower_right_y, 2, lower_right_button};
}

void SetupScreen::drawCross(double x, double y, double halfLength, const QColor& colour) {
    surface_->line(x - halfLength, y, x + halfLength, y, colour);
    surface_->line(x, y - halfLength, x, y + halfLength, colour);
}

// Paints the key colour over the circle of the last overlay and over the largest cross.
void SetupScreen::eraseMark(double x, double y) {
    surface_->circle(x, y, session_.calibration.marker_circle_radius, keyColour);
    drawCross(x, y, largestCrossSize, keyColour);
}

// Erases the buoy's old mark, writes its boxes, keeps the position and draws the new cross.
void SetupScreen::moveMark(Buoy which, double x, double y) {
    const BuoyParts part = buoy(which);
    eraseMark(*part.x, *part.y);
    part.boxX->setText(qt(text::number_text(x)));
    part.boxY->setText(qt(text::number_text(y)));
    *part.x = x;
    *part.y = y;
    drawCross(x, y, crossSize(), white);
    session_.calibration.model.screen_x[part.index] = x;
    session_.calibration.model.screen_y[part.index] = y;
}

void SetupScreen::Form_MouseDown(double x, double y) {
    std::optional<Buoy> selected;
    for (Buoy which : buoyOrder) {
        if (buoy(which).option->isChecked()) {
            selected = which;
        }
    }
    if (!selected) {
        return;
    }
    click_x = x;
    click_y = y;
    surface_->setPenWidth(2);
    const BuoyParts chosen = buoy(*selected);
    const double dx = x - *chosen.x;
    const double dy = y - *chosen.y;
    const bool locked = chkboxGridLock->isChecked();
    for (Buoy which : buoyOrder) {
        if (which == *selected) {
            moveMark(which, x, y);
        } else if (locked) {
            const BuoyParts part = buoy(which);
            moveMark(which, *part.x + dx, *part.y + dy);
        }
    }
}

void SetupScreen::Adjust_Click(double dx, double dy) {
    surface_->setPenWidth(2);
    const bool locked = chkboxGridLock->isChecked();
    for (Buoy which : buoyOrder) {
        const BuoyParts part = buoy(which);
        if (locked || part.option->isChecked()) {
            moveMark(which, *part.x + dx, *part.y + dy);
        }
    }
}

void SetupScreen::chkboxGridLock_Click() {
    if (chkboxGridLock->isChecked()) {
        for (const QLineEdit* box : {upper_left_x, upper_right_x, lower_left_x, lower_right_x}) {
            if (box->text() == QLatin1String("auto")) {
                platform_.dialogs.message(
                    "Cannot Lock Grid Until buoy positions have been entered for all four buoys",
                    platform::MessageStyle::Ok);
                chkboxGridLock->setChecked(false);
                break;
            }
        }
    }
    gridLockedLabel->setVisible(chkboxGridLock->isChecked());
}

bool SetupScreen::eventFilter(QObject* watched, QEvent* event) {
    const bool crossPair = watched == CrossSizeLabel;
    if (!crossPair && watched != gridLockedLabel) {
        return QMainWindow::eventFilter(watched, event);
    }
    Drag& drag = crossPair ? cross_drag : locked_label_drag;
    auto* label = static_cast<QLabel*>(watched);
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            drag.start = static_cast<QMouseEvent*>(event)->position().toPoint();
            drag.dragging = true;
            return true;
        case QEvent::MouseMove:
            if (drag.dragging) {
                // The label moves with the mouse, so the next event is again relative to it.
                const QPoint delta =
                    static_cast<QMouseEvent*>(event)->position().toPoint() - drag.start;
                label->move(label->pos() + delta);
                if (crossPair) {
                    Setup_Cross_size->move(Setup_Cross_size->pos() + delta);
                }
            }
            return true;
        case QEvent::MouseButtonRelease:
            drag.dragging = false;
            return true;
        default:
            return QMainWindow::eventFilter(watched, event);
    }
}

// --- Overlay --------------------------------------------------------------------------------

void SetupScreen::Show_grid() {
    surface_->clear();
    surface_->setPenWidth(2);
    session_.calibration.marker_circle_radius =
        draw_reference_marks(*surface_, session_.calibration.corners, crossSize());
}

void SetupScreen::show_alignment_Click() {
    if (session_.setupValid == 0) {
        platform_.dialogs.message(setupNotOkText, platform::MessageStyle::Ok);
        return;
    }
    surface_->setPenWidth(2);
    surface_->clear();
    Show_grid();
}

void SetupScreen::btnShowAllBuoys_Click() {
    if (session_.setupValid == 0) {
        platform_.dialogs.message(setupNotOkText, platform::MessageStyle::Ok);
        return;
    }
    calibration::CameraModel& model = session_.calibration.model;
    const double s = crossSize();
    for (double x : course::slalomGuideX) {
        for (double y : course::slalomBuoyY) {
            model.pt_survey_x = x;
            model.pt_survey_y = y;
            model.survey_to_screen();
            drawCross(model.pt_screen_x, model.pt_screen_y, s, white);
        }
    }
}

void SetupScreen::cmdHide_Click() {
    const bool hiding = cmdHide->text() == QLatin1String("Hide");
    ipt_file_description->setVisible(!hiding);
    ipt_file_description_2->setVisible(!hiding);
    cmdHide->setText(hiding ? "Show" : "Hide");
}

// --- Accuracy check -------------------------------------------------------------------------

void SetupScreen::clear_accuracy_indicator() {
    for (QLabel* label : AccuracyIndicator) {
        label->hide();
    }
}

void SetupScreen::btnAccuracyCheck_Click() {
    const bool standard = optStandardAccuracy->isChecked();
    if (standard) {
        optHomolgationLevel->setChecked(true);
    }
    calibration::AccuracyReportInput input;
    input.now = platform_.clock.now();
    input.boxes = boxes();
    input.ipt_file_description = ipt_file_description->text().toStdString();
    input.ipt_file_description_2 = ipt_file_description_2->text().toStdString();
    input.current_grid = session_.calibration.grids.current_grid;
    input.display = optHomolgationLevel->isChecked()  ? calibration::AccuracyDisplay::Level
                    : optDisplayDistance->isChecked() ? calibration::AccuracyDisplay::Distance
                                                      : calibration::AccuracyDisplay::Detail;
    const calibration::AccuracyCheck check =
        calibration::run_accuracy_check(session_.calibration.model, input);
    if (auto problem =
            calibration::append_accuracy_report(resultsFolder(), input.now, check.report)) {
        // The labels are still worth showing; only the record on file is missing.
        showMessage(*problem);
    }

    for (const calibration::AccuracyPoint& point : check.points) {
        QLabel* label = AccuracyIndicator[static_cast<std::size_t>(point.k)];
        label->hide();
        label->setText(qt(point.label));
        label->adjustSize();
        label->move(QPointF(OverlayCanvas::toPixels(point.left, point.top)).toPoint());
        set_text_colour(label, black);
        if (!standard) {
            label->show();
        }
    }

    if (standard) {
        constexpr int rows = calibration::AccuracyLattice::rows;
        constexpr int farColumn = (calibration::AccuracyLattice::columns - 1) * rows;
        surface_->clear();
        for (int j = 0; j < rows; ++j) {
            const auto& first = check.points[static_cast<std::size_t>(j)];
            const auto& last = check.points[static_cast<std::size_t>(farColumn + j)];
            surface_->line(first.px, first.py, last.px, last.py, black);
            QLabel* label = LineLabel[static_cast<std::size_t>(j)];
            set_text_colour(label, black);
            label->adjustSize();
            label->move(OverlayCanvas::toPixels(last.px + 30, last.py - 90).toPoint());
            label->show();
        }
        std::optional<int> line;
        while (!line) {
            const auto answer = platform_.dialogs.input(
                "Pick the line number that best represents where the skier will land",
                "Input the skier path line", QString(), QPoint(100, 100));
            line = calibration::skier_line_answer(answer.value_or(QString()).toStdString());
        }
        surface_->clear();
        for (int j = 0; j < rows; ++j) {
            LineLabel[static_cast<std::size_t>(j)]->hide();
        }
        for (int i = 0; i < calibration::AccuracyLattice::columns; ++i) {
            AccuracyIndicator[static_cast<std::size_t>(*line - 1 + rows * i)]->show();
        }
    }

    btnClearAccuracy->show();
    Show_grid();
}

void SetupScreen::btnClearAccuracy_Click() {
    btnClearAccuracy->hide();
    for (int i = 0; i <= 7; ++i) {
        for (int j = 0; j <= 7; ++j) {
            AccuracyIndicator[static_cast<std::size_t>(6 * i + j)]->hide();
        }
    }
}

}  // namespace quillon::screens
