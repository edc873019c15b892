#pragma once

#include <QMainWindow>
#include <QPoint>
#include <array>
#include <optional>
#include <string>

#include "calibration/reference_boxes.h"
#include "calibration/setup_view.h"
#include "platform/platform.h"
#include "screens/screens.h"
#include "session/pass_session.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QToolButton;

namespace quillon::screens {

class OverlayCanvas;
class VideoControls;

// "Grid Setup": calibrates the camera model from four marked buoys or a setup file.
//
// Every control is a child of the drawing surface, so that a mouse press on the surface itself
// is a press on the picture. The eighteen reference boxes are described by one table
// (reference_box_table.h) and share one change handler, ReferenceBox_Change, which knows the
// box by its index in that table.
//
// Qt object names must be unique for findChild, so the label arrays of the accuracy check are
// named with their index: "AccuracyIndicator0" .. "AccuracyIndicator50" and "LineLabel0" ..
// "LineLabel10".
class SetupScreen : public QMainWindow {
    Q_OBJECT

  public:
    static constexpr int accuracyIndicatorCount = 51;
    static constexpr int lineLabelCount = 11;

    SetupScreen(session::PassSession& session, Screens& screens, platform::Platform& platform);

    void Form_Load();
    void Form_Activate();

    // Half the length of a marking cross, in twips (the Setup_Cross_size scroll bar).
    double crossSize() const;

    OverlayCanvas& canvas() { return *surface_; }

  protected:
    void showEvent(class QShowEvent* event) override;
    void closeEvent(class QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The largest half-length the cross-size scroll bar allows: erasing an old mark covers a
    // cross of any size that may have been drawn.
    static constexpr double largestCrossSize = 105;
    static constexpr double initialCrossSize = 90;

    static void setTextColour(QLabel* label, const QColor& colour);

    // The four gate buoys in the order marking and micro-adjust process them.
    enum Buoy { UpperLeft, UpperRight, LowerLeft, LowerRight };
    static constexpr std::array<Buoy, 4> buoyOrder{UpperLeft, UpperRight, LowerLeft, LowerRight};

    // The eighteen reference boxes, in the order of the table and of referenceBoxes_.
    enum ReferenceBox {
        upperLeftX,
        upperLeftY,
        upperRightX,
        upperRightY,
        lowerLeftX,
        lowerLeftY,
        lowerRightX,
        lowerRightY,
        ulSurveyX,
        ulSurveyY,
        urSurveyX,
        urSurveyY,
        llSurveyX,
        llSurveyY,
        lrSurveyX,
        lrSurveyY,
        jumpX,
        jumpY,
    };
    QLineEdit* box(ReferenceBox which) const { return referenceBoxes_[which]; }

    void createControls();
    void connectControls();
    void placeControls();

    // Event handlers.
    void ReferenceBox_Change(int box);
    void Load_Click();
    void grid_select_Click();
    void gridExit_Click();
    void gridLoad_Click();
    void gridSave_Click();
    void mnuLoadPicture_Click();
    void mnuClearPicture_Click();
    void mnuPaste_Click();
    void Form_MouseDown(double x, double y);
    void Adjust_Click(double dx, double dy);
    void chkboxGridLock_Click();
    void show_alignment_Click();
    void btnShowAllBuoys_Click();
    void cmdHide_Click();
    void btnAccuracyCheck_Click();
    void btnClearAccuracy_Click();

    // Private procedures.
    void Show_grid();
    void clear_accuracy_indicator();
    void enableAccuracyCheck();
    void showGridStateIcon(const char* fileName);
    bool enterProgramFolder();
    void showBoxes(const calibration::SetupDisplay& display);
    void showMessage(const calibration::Message& message);
    calibration::ReferenceBoxes boxes() const;
    std::string resultsFolder() const;
    std::optional<QString> setupFilePath(const QString& chosen);
    std::optional<QString> descriptionWithoutComma();
    // The surface as the marks stand on it: its size and the video or picture behind it.
    calibration::SetupView surfaceView() const;
    std::string ratioWidth() const;

    // Marks.
    struct BuoyParts {
        double* x;
        double* y;
        QLineEdit* boxX;
        QLineEdit* boxY;
        std::size_t index;  // in screen_x / screen_y
        QRadioButton* option;
    };
    BuoyParts buoy(Buoy which);
    void drawCross(double x, double y, double halfLength, const QColor& colour);
    void eraseMark(double x, double y);
    void moveMark(Buoy which, double x, double y);

    session::PassSession& session_;
    Screens& screens_;
    platform::Platform& platform_;
    OverlayCanvas* surface_ = nullptr;
    VideoControls* video_ = nullptr;

    // What picture_folder would give: nothing sets it, so the picture dialog starts in the
    // program's folder.
    std::string picture_folder;
    double click_x = 0;
    double click_y = 0;

    struct Drag {
        bool dragging = false;
        QPoint start;
    };
    Drag cross_drag;
    Drag locked_label_drag;

    std::array<QLineEdit*, 18> referenceBoxes_{};

    QLineEdit* ipt_file_description = nullptr;
    QLineEdit* ipt_file_description_2 = nullptr;

    QPushButton* Load = nullptr;
    QPushButton* grid_select = nullptr;
    QLabel* grid_state_icon = nullptr;
    QPushButton* cmdHide = nullptr;

    QGroupBox* Frame1 = nullptr;
    QRadioButton* upper_left_button = nullptr;
    QRadioButton* upper_right_button = nullptr;
    QRadioButton* lower_left_button = nullptr;
    QRadioButton* lower_right_button = nullptr;
    QCheckBox* chkboxGridLock = nullptr;
    QLabel* gridLockedLabel = nullptr;

    QLabel* AdjustmentLabel = nullptr;
    QToolButton* AdjustUp = nullptr;
    QToolButton* AdjustDown = nullptr;
    QToolButton* AdjustLeft = nullptr;
    QToolButton* AdjustRight = nullptr;
    QScrollBar* Setup_Cross_size = nullptr;
    QLabel* CrossSizeLabel = nullptr;

    QPushButton* show_alignment = nullptr;
    QPushButton* btnShowAllBuoys = nullptr;

    QPushButton* btnAccuracyCheck = nullptr;
    QPushButton* btnClearAccuracy = nullptr;
    QGroupBox* fmAccuracyDisplay = nullptr;
    QRadioButton* optAdvancedAccuracy = nullptr;
    QRadioButton* optStandardAccuracy = nullptr;
    QGroupBox* fmAccuracyConfig = nullptr;
    QRadioButton* optDisplayDistance = nullptr;
    QRadioButton* optDetailMeasurement = nullptr;
    QRadioButton* optHomolgationLevel = nullptr;
    std::array<QLabel*, accuracyIndicatorCount> AccuracyIndicator{};
    std::array<QLabel*, lineLabelCount> LineLabel{};

    QAction* gridLoad = nullptr;
    QAction* mnuSetupPicture = nullptr;
    QAction* mnuLoadPicture = nullptr;
    QAction* mnuClearPicture = nullptr;
    QAction* mnuPaste = nullptr;
    QAction* gridSave = nullptr;
    QAction* gridExit = nullptr;
};

}  // namespace quillon::screens
