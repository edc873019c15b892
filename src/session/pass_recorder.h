#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "course/pass_description.h"
#include "course/reference_course.h"
#include "session/pass_session.h"

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
    // The marker row for the next sample.
    MarkerRow row;
    // Samples taken so far.
    int samplesTaken = 0;
    // The pass reached its end with this step; the end-of-pass figures are in the session.
    bool ended = false;
};

// The pass of the Measure screen as plain C++: activation (the start row), Start Pass, the
// poll's deviation, the sampling step and the end of the pass. The screen's handlers move
// widgets and call it; the samples and end-of-pass figures go into the session.
class PassRecorder {
  public:
    explicit PassRecorder(PassSession& session) : session_(session) {}

    // Activation: the path geometry for the pass and the start row, where the line and the
    // marker are put. In jump the path centre is `jumpPathCentreX` in view-only mode (the
    // path chosen on the screen) and the split path otherwise; `jumpBoundary` is the path
    // limit beyond the boat's edge.
    MarkerRow activate(const course::PassDescription& pass, bool viewOnly, double jumpPathCentreX,
                       double jumpBoundary);

    // Start Pass: takes the pass description and its captions, sets N and the sample counter,
    // and gives the deviation of the line where it stands.
    double start(const course::PassDescription& pass, double lineX);

    // The deviation of a line at `lineX` on the current marker row.
    PollReading poll(double lineX);

    // The sampling step: stores the number in the deviation text as the next sample, moves
    // the marker to the next expected row and ends the pass after N + 1 samples. Does nothing
    // when no pass is under way.
    std::optional<SampleStep> step(std::string_view deviationText);

    // The boat edge markers around the measured centre and the path boundary bars, for a boat
    // `boatWidth` metres wide and bars `barWidthPx` pixels wide.
    MarkerPlacement markers(double measuredSurveyX, double surveyY, double boatWidth,
                            int barWidthPx);

    double pathCentreX() const { return pathCentreX_; }
    double courseLength() const { return courseLength_; }
    double boundaryDistance() const { return boundaryDistance_; }
    void setBoundaryDistance(double metres) { boundaryDistance_ = metres; }
    const MarkerRow& row() const { return row_; }
    // The pass as it was when Start Pass took it.
    const course::PassDescription& pass() const { return pass_; }

  private:
    MarkerRow rowAt(double surveyY);
    double screenX(double surveyX, double surveyY);

    PassSession& session_;
    course::PassDescription pass_;
    double pathCentreX_ = course::slalomPathCentreX;
    double courseLength_ = 259.0;
    double boundaryDistance_ = 0.2;
    MarkerRow row_;
};

// Int((x - centre) x 100 + 0.5) / 100: the deviation to the centimetre, halves up.
double rounded_deviation(double surveyX, double pathCentreX);

// The deviation as the poll writes it and the step reads it back: the shortest decimal text
// with a point, 0.07, -0.12, 0.
std::string deviation_text(double deviation);

// The direction of the next view-only pass: the other one in slalom, towards in jump.
course::Direction direction_after_view_only(const course::PassDescription& pass);

}  // namespace quillon::session
