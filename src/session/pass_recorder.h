#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "course/pass_description.h"
#include "course/reference_course.h"
#include "session/pass_session.h"
#include "session/provenance.h"
#include "text/date_time.h"

namespace quillon::session {

// The boat-position marker: a horizontal line 800 twips long, centred on the screen point of
// the path centre on the row where the boat is expected.
struct MarkerRow {
    double pointX = 0;
    double y = 0;
    double x1() const { return pointX - 400; }
    double x2() const { return pointX + 400; }
    // The path centre as the poll reads it back from the marker: its left end + 400.
    double centreX() const { return x1() + 400; }
};

// Where the boat edge markers and the path boundary bars stand on the current row, in twips.
struct MarkerPlacement {
    double leftEdgeX = 0;
    double rightEdgeX = 0;
    double leftBarX = 0;
    double rightBarX = 0;
};

// What a poll finds at the line's position on the marker row.
struct PollReading {
    // Metres from the path centre, to the centimetre, halves up.
    double deviation = 0;
    // The survey point under the line on the marker row.
    double surveyX = 0;
    double surveyY = 0;
};

// What one sampling step did.
struct SampleStep {
    // The sample stored, and the distance from the start it stands for (metres, to 0.1 m).
    int index = 0;
    double distance = 0;
    double deviation = 0;
    Provenance provenance = Provenance::Operator;
    // The marker row for the next sample.
    MarkerRow row;
    // Samples taken so far.
    int samplesTaken = 0;
    // The pass reached its end with this step; the end-of-pass figures are in the session.
    bool ended = false;
};

// Where a pass stands. Idle: the screen is up, no pass. Running: from Start Pass until the
// last sample, Abort, or a replay that ended first. Ended: N + 1 samples taken, for the
// Results screen. EndedViewOnly: N + 1 samples of a view-only pass; activation makes it Idle
// again. Aborted: left without a result; the samples taken are not a pass.
enum class PassState { Idle, Running, Ended, EndedViewOnly, Aborted };

// The local date and time, from whatever clock the caller has (the wall clock on the screen,
// a fixed one in tests).
using TimeOfDay = std::function<text::CivilDateTime()>;

// The pass as plain C++, the one owner of its lifecycle: activation (the start row), Start
// Pass, the poll's deviation, the sampling step, the end of the pass, Abort, and each
// sample's provenance. The Measure screen and quillon-cli track move widgets or print lines
// with what it gives; the samples and end-of-pass figures go into the session.
class PassRecorder {
  public:
    explicit PassRecorder(PassSession& session, TimeOfDay clock = {})
        : session_(session), clock_(std::move(clock)) {}

    // Activation: the path geometry for the pass and the start row, where the line and the
    // marker are put. In jump the path centre is `jumpPathCentreX` in view-only mode (the
    // path chosen on the screen) and the split path otherwise; `jumpBoundary` is the path
    // limit beyond the boat's edge. A pass under way goes on; any other state becomes Idle.
    MarkerRow activate(const course::PassDescription& pass, bool viewOnly, double jumpPathCentreX,
                       double jumpBoundary);

    // Start Pass: takes the pass description, its captions and the report's clock line, sets
    // N, the sample counter and both tick counts, notes the time of day, and gives the
    // deviation of the line where it stands. Again while running, the pass restarts from
    // sample 0.
    double start(const course::PassDescription& pass, double lineX, bool viewOnly = false,
                 std::string clockLine = {});

    // The deviation of a line at `lineX` on the current marker row; the next sampling step
    // stores it (as `deviationText()` gives it) with `provenance`.
    PollReading poll(double lineX, Provenance provenance = Provenance::Operator);

    // The two pass clocks' ticks while a pass runs: the input poll's and the sampling step's.
    void tick1();
    void tick2();

    // The sampling step: stores the last poll's deviation as the next sample, moves the marker
    // to the next expected row and ends the pass after N + 1 samples. Nothing unless Running.
    std::optional<SampleStep> step();

    // Abort or Return to Start: the pass stops and its samples are not used.
    void abort();
    // A replay that ran out before the pass's last sample: stopped as an abort is.
    void stopEarly() { abort(); }

    // The boat edge markers around the measured centre and the path boundary bars, for a boat
    // `boatWidth` metres wide and bars `barWidthPx` pixels wide.
    MarkerPlacement markers(double measuredSurveyX, double surveyY, double boatWidth,
                            int barWidthPx) const;
    // The screen x of survey x `surveyX` on the current marker row.
    double screenXOnRow(double surveyX) const;
    // The survey x under screen x `lineX` on the current marker row.
    double surveyXOnRow(double lineX) const;

    PassState state() const { return state_; }
    bool passRunning() const { return state_ == PassState::Running; }
    int tickCount1() const { return tickCount1_; }
    int tickCount2() const { return tickCount2_; }
    // "hh:mm:ss" when the pass started and ended; empty until then.
    const std::string& passStartTime() const { return passStartTime_; }
    const std::string& passEndTime() const { return passEndTime_; }
    // The text of the last poll's deviation, as the screen shows it.
    const std::string& deviationText() const { return deviationText_; }
    Provenance lastProvenance() const { return provenance_; }
    // Samples of this pass so far that were not on a mark the tracker found, and which.
    std::vector<int> untrackedSamples() const;
    // Some sample of this pass so far was tracked.
    bool autoTracked() const;
    // The report's clock line: what Start Pass was given, and with Auto Track ", Auto Track"
    // and the untracked samples as ranges.
    std::string passClockLine() const;

    double pathCentreX() const { return pathCentreX_; }
    double courseLength() const { return courseLength_; }
    double boundaryDistance() const { return boundaryDistance_; }
    void setBoundaryDistance(double metres) { boundaryDistance_ = metres; }
    const MarkerRow& row() const { return row_; }
    double rowSurveyY() const { return rowSurveyY_; }

  private:
    MarkerRow rowAt(double surveyY);
    std::string timeNow() const;
    void end();

    PassSession& session_;
    TimeOfDay clock_;
    PassState state_ = PassState::Idle;
    bool viewOnly_ = false;
    int tickCount1_ = 0;
    int tickCount2_ = 0;
    std::string passStartTime_;
    std::string passEndTime_;
    std::string clockLine_;
    std::string deviationText_ = "0";
    Provenance provenance_ = Provenance::Operator;
    double pathCentreX_ = course::slalomPathCentreX;
    double courseLength_ = course::course_length(course::Discipline::Slalom);
    double boundaryDistance_ = 0.2;
    MarkerRow row_;
    double rowSurveyY_ = 0;
};

// Int((x - centre) x 100 + 0.5) / 100: the deviation to the centimetre, halves up.
double rounded_deviation(double surveyX, double pathCentreX);

// The deviation as the poll writes it and the step reads it back: the shortest decimal text
// with a point, 0.07, -0.12, 0.
std::string deviation_text(double deviation);

// The direction of the next view-only pass: the other one in slalom, towards in jump.
course::Direction direction_after_view_only(const course::PassDescription& pass);

}  // namespace quillon::session
