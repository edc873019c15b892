#include "screens/setup/setup_screen.h"
#include "text/date_time.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
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
#include "screens/setup/reference_box_table.h"
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

// One pixel, the step of the arrow buttons.
constexpr double pixelTwips = 15;
// Each stroke of the crosses drawn on leaving reaches this far either side of the mark.
constexpr double exitCrossHalfLength = 100;

QString qt(const std::string& text) {
    return QString::fromStdString(text);
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

void SetupScreen::connectControls() {
    for (std::size_t i = 0; i < referenceBoxCount; ++i) {
        connect(referenceBoxes_[i], &QLineEdit::textChanged, this,
                [this, i] { ReferenceBox_Change(static_cast<int>(i)); });
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
    enableAccuracyCheck();

    placeControls();
}

void SetupScreen::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    Form_Activate();
}

void SetupScreen::Form_Activate() {
    const auto rewrite = calibration::activation_survey_rewrite(
        screens_.selections().passDescription().discipline, box(ulSurveyX)->text().toStdString());
    if (!rewrite) {
        return;
    }
    box(ulSurveyX)->setText(qt(rewrite->ul_survey_x));
    box(llSurveyX)->setText(qt(rewrite->ll_survey_x));
    box(llSurveyY)->setText(qt(rewrite->ll_survey_y));
    box(lrSurveyY)->setText(qt(rewrite->lr_survey_y));
    session_.setupValid = 0;
    enableAccuracyCheck();
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
    // The screen boxes only display the marks; the others are the survey values.
    const std::size_t which = static_cast<std::size_t>(box);
    if (const auto modelValue = referenceBoxTable[which].modelValue) {
        modelValue(session_.calibration.model) =
            text::text_value(referenceBoxes_[which]->text().toStdString());
    }
    enterProgramFolder();
    showGridStateIcon(notCompleteIcon);
    btnAccuracyCheck->hide();
    fmAccuracyConfig->hide();
    fmAccuracyDisplay->hide();
    clear_accuracy_indicator();
    session_.setupValid = 0;
    enableAccuracyCheck();
}

calibration::ReferenceBoxes SetupScreen::boxes() const {
    calibration::ReferenceBoxes texts;
    for (std::size_t i = 0; i < referenceBoxCount; ++i) {
        texts.*referenceBoxTable[i].text = referenceBoxes_[i]->text().toStdString();
    }
    return texts;
}

// Fills the boxes in turn; each fill runs its change handling.
void SetupScreen::showBoxes(const calibration::SetupDisplay& display) {
    for (std::size_t i = 0; i < referenceBoxCount; ++i) {
        referenceBoxes_[i]->setText(qt(display.boxes.*referenceBoxTable[i].text));
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

    if (outcome.solved) {
        // The record dossier names a calibration marked here by when it was marked.
        const auto now = platform_.clock.now();
        cal.grids.current().grid_marked_at =
            text::iso_date_text(now) + " " + text::time_text(now).substr(0, 5);
    }
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
    enableAccuracyCheck();
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
    enableAccuracyCheck();
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
        calibration::load_setup_file(cal, chosen->toStdString(), surfaceView());
    if (!outcome.display) {
        if (outcome.problem) {
            showMessage(*outcome.problem);
        }
        return;
    }
    if (outcome.note) {
        showMessage(*outcome.note);
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
    if (auto warning = calibration::grid_check(cal.model, boxes(), ratioWidth())) {
        showMessage(*warning);
    }
    enterProgramFolder();
    showGridStateIcon(completeIcon);
    btnAccuracyCheck->show();
    grid_select->setText(qt(calibration::finish_setup_load(cal, session_.setupValid)));
    enableAccuracyCheck();
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
    const auto path = setupFilePath(*chosen);
    if (!path) {
        return;
    }
    if (auto problem = calibration::comma_in_path_problem(path->toStdString())) {
        showMessage(*problem);
        return;
    }
    const auto description = descriptionWithoutComma();
    if (!description) {
        return;
    }
    if (auto problem = calibration::save_setup_file(session_.calibration, path->toStdString(),
                                                    description->toStdString())) {
        showMessage(*problem);
        return;
    }
    ipt_file_description->setText(*path);
    ipt_file_description_2->setText(*description);
    // Where the marks were made, so that the setup lines up with the same video on another
    // display.
    if (auto problem = calibration::write_setup_view(path->toStdString(), surfaceView())) {
        showMessage(*problem);
    }
}

calibration::SetupView SetupScreen::surfaceView() const {
    calibration::SetupView view{surface_->width(), surface_->height(), std::nullopt, {}};
    auto fit = [](const QRect& shown, const QSize& own) {
        return calibration::PictureFit{own.width(),
                                       own.height(),
                                       static_cast<double>(shown.left()),
                                       static_cast<double>(shown.top()),
                                       static_cast<double>(shown.width()),
                                       static_cast<double>(shown.height())};
    };
    if (surface_->hasVideo()) {
        view.picture = fit(surface_->videoRect(), surface_->videoSize());
    } else if (const auto placed = surface_->picturePlacement()) {
        view.picture = fit(placed->shown, placed->own);
    }
    return view;
}

// The gates are measured against the width of the video or picture the buoys were marked on,
// which is the same on every display; against the screen's width when nothing is behind.
std::string SetupScreen::ratioWidth() const {
    const calibration::SetupView view = surfaceView();
    return view.picture ? calibration::ratio_width_px(view) : session_.screenWidthPx;
}

// A name without an extension gets ".ipt", so that the Load dialog's filter shows the file.
// The dialog asked about replacing only the name as chosen: a file under the longer name is
// replaced only when the operator says so. Nothing when the operator says no.
std::optional<QString> SetupScreen::setupFilePath(const QString& chosen) {
    if (QFileInfo(chosen).fileName().contains('.')) {
        return chosen;
    }
    const QString path = chosen + ".ipt";
    if (QFileInfo::exists(path) &&
        platform_.dialogs.message(
            "\"" + QDir::toNativeSeparators(path) + "\" already exists. Do you want to replace it?",
            platform::MessageStyle::YesNo,
            "Save Data Setup File") != platform::MessageAnswer::Yes) {
        return std::nullopt;
    }
    return path;
}

// The descriptive line; cancelling the first box gives an empty line. A line with a comma is
// refused with the reason and offered again as typed, to be mended; cancelling then ends the
// save with nothing written.
std::optional<QString> SetupScreen::descriptionWithoutComma() {
    QString typed = platform_.dialogs.input("Enter descriptive line about grid", "Grid Description")
                        .value_or(QString());
    while (auto problem = calibration::comma_in_description_problem(typed.toStdString())) {
        showMessage(*problem);
        const auto again =
            platform_.dialogs.input("Enter descriptive line about grid", "Grid Description", typed);
        if (!again) {
            return std::nullopt;
        }
        typed = *again;
    }
    return typed;
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
    const calibration::CameraModel& model = session_.calibration.model;
    const double s = crossSize();
    for (double x : course::slalomGuideX) {
        for (double y : course::slalomBuoyY) {
            const calibration::PlanePoint screen = model.survey_to_screen({x, y});
            drawCross(screen.x, screen.y, s, white);
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

// The button stays where the setup shows it, but works only on a valid calibration: after
// "No Unique Solution" the coefficients would put a block of NaN rows into the report.
void SetupScreen::enableAccuracyCheck() {
    btnAccuracyCheck->setEnabled(session_.setupValid != 0);
}

void SetupScreen::btnAccuracyCheck_Click() {
    if (session_.setupValid == 0) {
        return;
    }
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
        setTextColour(label, black);
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
            setTextColour(label, black);
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
