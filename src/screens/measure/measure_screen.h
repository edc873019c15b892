#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "calibration/calibration.h"
#include "course/pass_description.h"
#include "measure/pass_loop.h"
#include "measure/tracked_line.h"
#include "platform/platform.h"
#include "screens/measure/auto_track.h"
#include "screens/measure/operator_inputs.h"
#include "screens/screens.h"
#include "screens/widgets/line_shape.h"
#include "session/line_input.h"
#include "session/pass_recorder.h"
#include "session/pass_session.h"
#include "video/pass_recording.h"

class QAction;
class QBoxLayout;
class QCheckBox;
class QGridLayout;
class QRegion;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace quillon::platform {
class PulseClock;
}

namespace quillon::screens {

class LineShape;
class OverlayCanvas;
class VideoControls;

// "Measure Boat Path Deviation": during a pass the operator keeps the measurement line on the
// boat; every 100 ms the sampling step stores its deviation from the path centre at the
// boat's expected course position.
class MeasureScreen : public QMainWindow {
    Q_OBJECT

  public:
    MeasureScreen(session::PassSession& session, Screens& screens, platform::Platform& platform);

    // Creation: timers, pass clocks and the joystick.
    void Form_Load();
    // Each time the screen comes up: places the line and the marker at the start of the course.
    void Form_Activate();

    double pathCentreX() const { return recorder_.pathCentreX(); }
    double boundaryDistance() const { return recorder_.boundaryDistance(); }
    bool passRunning() const { return recorder_.passRunning(); }
    const session::PassRecorder& recorder() const { return recorder_; }
    bool statusHidden() const { return statusHidden_; }
    int overlayRedraws() const { return overlayRedraws_; }
    const OverlayCanvas& canvas() const { return *canvas_; }
    // The drawing surface, for putting a still picture of the course behind the lines.
    OverlayCanvas& canvas() { return *canvas_; }

    // The input poll and the sampling step, as their timers call them.
    void Timer1_Timer();
    void stepTimer_Timer();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(class QCloseEvent* event) override;

  private:
    void buildControls();
    void placePanels();
    void buildLines();
    QWidget* buildInformation();
    QWidget* buildOptions();
    void arrangeOptions(bool stacked);
    void btnOptions_Click();
    QRegion courseRegion();
    void connectHandlers();

    void Command1_Click();
    void btnAbort_Click();
    void mnuStart_Click();
    void mnuExit_Click();
    void cmdStatus_Click();
    void checkTimer_Timer();
    void tmr1_Timer();
    void tmr2_Timer();
    void Timer2_Timer();
    void chkEdgeOn_Click();
    void cbPath_Click();
    void chkThinLine_Click();
    void chkUseMouse_Click();
    void chkViewOnly_Click();
    void jumpPath_Click();
    void txtBoundryWidth_Change();
    void txtJumpBoundry_Change();
    void Form_MouseDown(double xTwips, double yTwips);
    // Auto Track: the check box, its Video menu entry, the status, and the report's note.
    void buildAutoTrack();
    void chkAutoTrack_Click();
    void refreshAutoTrack();
    void replayEndedEarly();
    void pickMark(double xTwips, double yTwips);
    void stopTracking();
    void showTracking();
    tracking::FrameOnSurface videoPlacement() const;
    // Every decoded frame, in order: the pass loop tracks it and, in video time, takes the
    // polls and samples due on it.
    void frameDecoded(const platform::VideoFrame& frame);
    void showPoll(const measure::PollOutcome& poll);
    void showStep(const session::SampleStep& step);
    void showReplayPace(qint64 frameUs);
    // A live pass: the recording of its frames, begun at Start Pass and closed with the pass.
    void startRecording(const course::PassDescription& pass, const platform::VideoFrame& frame);
    void finishRecording();
    void liveSourceStalled();
    void Form_MouseMove(double xTwips);

    void start_pulse_clocks();
    void stop_pulse_clocks();
    void endPass();
    void leaveForStart();
    void setLine(const session::LinePosition& line);
    // The line where the pass loop's last poll left it, drawn dashed in orange while it holds
    // the boat's last tracked position.
    void showLine();
    void placeMarker(const session::MarkerRow& row);
    void placeMarkers(double measuredSurveyX, double surveyY);
    void showDeviation();
    // What the reference marks and the course overlay on the surface show.
    struct DrawnMarks {
        calibration::CornerPositions corners;
        std::array<double, 8> coefficients{};
        course::Discipline discipline = course::Discipline::Slalom;
        double pathCentreX = 0;
        double crossSize = 0;
        friend bool operator==(const DrawnMarks&, const DrawnMarks&) = default;
    };
    DrawnMarks marksToDraw();
    // Clears the surface's marks when what they show has changed, then draws the current ones.
    void drawMarks();
    void draw_reference_marks();
    void draw_course_overlay();
    void setLineColour(const QColor& colour);
    void setLineStyle(LineShape::Style style);
    void setBoundaryColour(const QColor& colour);
    std::pair<double, double> mapToScreen(double surveyX, double surveyY);
    double crossSize();
    double selectedJumpPathX() const;
    void updateJoystickStatus();
    void showJoystickReading();

    session::PassSession& session_;
    Screens& screens_;
    platform::Platform& platform_;

    // The pass itself, what moves the line in a poll, and the loop that runs them.
    session::PassRecorder recorder_;
    measure::TrackedLine tracked_;
    ArrowKeysInput keys_;
    JoystickInput joystick_;
    MouseInput mouse_;
    session::LineInputs lineInputs_;
    measure::PassLoop loop_;
    AutoTrackOverlay* autoTrack_ = nullptr;
    bool statusHidden_ = false;
    int overlayRedraws_ = 0;
    // What the marks now on the surface were drawn for; none after a clear.
    std::optional<DrawnMarks> drawnFor_;
    // Minimized, as the last window-state change left it: a show while this is set is the
    // window system restoring the screen, not the program showing it.
    bool minimized_ = false;
    // The line's colour and style as the operator chose them.
    QColor lineColour_ = QColor(0, 0, 0);
    LineShape::Style lineStyle_ = LineShape::Style::Solid;
    // Wall-clock milliseconds since Start Pass, for the replay's pace.
    QElapsedTimer paceTimer_;
    std::unique_ptr<video::PassRecording> recording_;

    OverlayCanvas* canvas_ = nullptr;
    QWidget* informationPanel_ = nullptr;
    QWidget* optionsPanel_ = nullptr;
    QWidget* optionsBody_ = nullptr;
    QWidget* optionEntries_ = nullptr;
    QWidget* optionChecks_ = nullptr;
    QBoxLayout* optionsOuter_ = nullptr;
    QGridLayout* optionsGrid_ = nullptr;
    bool optionsStacked_ = false;
    QPushButton* btnOptions = nullptr;
    LineShape* lnMeasure = nullptr;
    LineShape* lnMeasure1 = nullptr;
    LineShape* lnHorizPos = nullptr;
    LineShape* lnLeft = nullptr;
    LineShape* lnRight = nullptr;
    LineShape* left_edge = nullptr;
    LineShape* right_edge = nullptr;

    QPushButton* Command1 = nullptr;
    QPushButton* btnAbort = nullptr;
    QPushButton* cmdStatus = nullptr;
    QLineEdit* txtSample = nullptr;
    QLineEdit* txtDistance = nullptr;
    QLineEdit* txtDeviation = nullptr;
    QLabel* lblSpeed = nullptr;
    QLabel* lblLine = nullptr;
    QLabel* lblDriver = nullptr;
    QLabel* lblBoat = nullptr;
    QLabel* lblSkier = nullptr;
    QLabel* lblModel = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblReplayPace = nullptr;
    QLabel* lblRecording = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QCheckBox* chkAutoTrack = nullptr;
    QLabel* lblTrackStatus = nullptr;
    QAction* mnuAutoTrack = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* txtStep = nullptr;
    QLineEdit* txtCount = nullptr;
    QLineEdit* txtCount1 = nullptr;
    QLineEdit* txtCount2 = nullptr;
    QLineEdit* txtTest = nullptr;
    QLabel* Labelx = nullptr;
    QLabel* Labely = nullptr;
    QLabel* status = nullptr;
    QLineEdit* txtBoatWidth = nullptr;
    QCheckBox* chkEdgeOn = nullptr;
    QCheckBox* cbPath = nullptr;
    QCheckBox* chkThinLine = nullptr;
    QLineEdit* txtBoundryWidth = nullptr;
    QLineEdit* txtJumpBoundry = nullptr;
    QGroupBox* frmJumpPath = nullptr;
    QRadioButton* optjnarrow = nullptr;
    QRadioButton* optjnarrowsplit = nullptr;
    QRadioButton* optjsplit = nullptr;
    QRadioButton* optjwidesplit = nullptr;
    QRadioButton* optjwide = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QCheckBox* chkViewOnly = nullptr;
    QCheckBox* chkUseMouse = nullptr;
    QAction* mnuStart = nullptr;
    QAction* mnuExit = nullptr;

    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* stepTimer = nullptr;
    QTimer* checkTimer = nullptr;
    platform::PulseClock* tmr1 = nullptr;
    platform::PulseClock* tmr2 = nullptr;
    VideoControls* video_ = nullptr;
};

}  // namespace quillon::screens
