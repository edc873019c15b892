#include "session/pass_recorder.h"

#include <charconv>
#include <cmath>

#include "analysis/pass_figures.h"
#include "text/text_value.h"

namespace quillon::session {

namespace {

using course::Direction;
using course::Discipline;

}  // namespace

double rounded_deviation(double surveyX, double pathCentreX) {
    return std::floor((surveyX - pathCentreX) * 100 + 0.5) / 100;
}

std::string deviation_text(double deviation) {
    if (deviation == 0.0) {
        return "0";
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, deviation);
    return std::string(buffer, result.ptr);
}

course::Direction direction_after_view_only(const course::PassDescription& pass) {
    if (pass.discipline == Discipline::Jump) {
        return Direction::Towards;
    }
    return pass.direction == Direction::Towards ? Direction::Away : Direction::Towards;
}

MarkerRow PassRecorder::rowAt(double surveyY) {
    const calibration::PlanePoint screen =
        session_.calibration.model.survey_to_screen({pathCentreX_, surveyY});
    rowSurveyY_ = surveyY;
    return {screen.x, screen.y};
}

double PassRecorder::screenXOnRow(double surveyX) const {
    return session_.calibration.model.survey_to_screen({surveyX, rowSurveyY_}).x;
}

double PassRecorder::surveyXOnRow(double lineX) const {
    return session_.calibration.model.screen_to_survey({lineX, row_.y}).x;
}

std::string PassRecorder::timeNow() const {
    return clock_ ? text::time_text(clock_()) : std::string();
}

MarkerRow PassRecorder::activate(const course::PassDescription& pass, bool viewOnly,
                                 double jumpPathCentreX, double jumpBoundary) {
    if (pass.discipline == Discipline::Slalom) {
        pathCentreX_ = course::measured_path_centre_x(pass.discipline);
        boundaryDistance_ = 0.2;
    } else {
        pathCentreX_ = viewOnly ? jumpPathCentreX : course::measured_path_centre_x(pass.discipline);
        boundaryDistance_ = jumpBoundary;
    }
    courseLength_ = course::course_length(pass.discipline);
    if (state_ != PassState::Running) {
        state_ = PassState::Idle;
    }
    row_ = rowAt(course::pass_start_y(pass.direction));
    return row_;
}

double PassRecorder::start(const course::PassDescription& pass, double lineX, bool viewOnly,
                           std::string clockLine) {
    session_.measuredPass = pass;
    session_.passSpeedText = std::to_string(course::speed_kmh(pass));
    session_.passLineText = course::line_length_label(pass.lineLength);
    session_.lastSampleIndex = static_cast<std::int16_t>(course::last_sample_index(pass));
    const double deviation = poll(lineX).deviation;
    session_.sampleIndex = 0;
    viewOnly_ = viewOnly;
    clockLine_ = std::move(clockLine);
    session_.passClockLine = clockLine_;
    passStartTime_ = timeNow();
    passEndTime_.clear();
    tickCount1_ = 0;
    tickCount2_ = 0;
    state_ = PassState::Running;
    return deviation;
}

PollReading PassRecorder::poll(double lineX, Provenance provenance) {
    const calibration::PlanePoint survey =
        session_.calibration.model.screen_to_survey({lineX, row_.y});
    const PollReading reading{rounded_deviation(survey.x, pathCentreX_), survey.x, survey.y};
    deviationText_ = deviation_text(reading.deviation);
    provenance_ = provenance;
    return reading;
}

void PassRecorder::tick1() {
    if (state_ == PassState::Running) {
        ++tickCount1_;
    }
}

void PassRecorder::tick2() {
    if (state_ == PassState::Running) {
        ++tickCount2_;
    }
}

std::optional<SampleStep> PassRecorder::step() {
    const int n = session_.lastSampleIndex;
    const int index = session_.sampleIndex;
    if (state_ != PassState::Running || n <= 0 || index < 0 ||
        index >= static_cast<int>(PassSession::sampleCapacity)) {
        return std::nullopt;
    }
    SampleStep step;
    step.index = index;
    const double d = static_cast<double>(index) / n * courseLength_;
    step.distance = std::floor(d * 10 + 0.5) / 10;
    step.deviation = text::text_value(deviationText_);
    step.provenance = provenance_;
    session_.samples[static_cast<std::size_t>(index)] = step.deviation;
    session_.sampleProvenance[static_cast<std::size_t>(index)] = provenance_;
    row_ = rowAt(course::pass_row_y(session_.measuredPass.direction, d));
    step.row = row_;
    session_.sampleIndex = index + 1;
    step.samplesTaken = session_.sampleIndex;
    if (session_.sampleIndex > n) {
        step.ended = true;
        end();
    }
    return step;
}

void PassRecorder::end() {
    const int n = session_.lastSampleIndex;
    state_ = viewOnly_ ? PassState::EndedViewOnly : PassState::Ended;
    passEndTime_ = timeNow();
    session_.passMeasured = 1;
    session_.keepStartFocus = false;
    const auto figures = analysis::end_of_pass_figures(session_.samples, n);
    session_.passSampleCount = figures.passSampleCount;
    session_.passMeanAbsDeviation = figures.passMeanAbsDeviation;
    session_.passMaxAbsDeviation = figures.passMaxAbsDeviation;
    session_.passMaxAbsIndex = figures.passMaxAbsIndex;
    session_.passClockLine = passClockLine();
}

void PassRecorder::abort() {
    if (state_ == PassState::Running) {
        state_ = PassState::Aborted;
    }
}

std::vector<int> PassRecorder::untrackedSamples() const {
    return analysis::untracked_samples(session_.sampleProvenance, session_.sampleIndex);
}

bool PassRecorder::autoTracked() const {
    return analysis::auto_tracked(session_.sampleProvenance, session_.sampleIndex);
}

std::string PassRecorder::passClockLine() const {
    std::string line = clockLine_;
    if (line.empty() || !autoTracked()) {
        return line;
    }
    line += ", Auto Track";
    const auto untracked = untrackedSamples();
    if (!untracked.empty()) {
        line += ", " + std::to_string(untracked.size()) + " samples not tracked (" +
                sample_ranges(untracked) + ")";
    }
    return line;
}

MarkerPlacement PassRecorder::markers(double measuredSurveyX, double surveyY, double boatWidth,
                                      int barWidthPx) const {
    const calibration::CameraModel& model = session_.calibration.model;
    auto screenX = [&](double surveyX) { return model.survey_to_screen({surveyX, surveyY}).x; };
    const double w = boatWidth;
    const double b = barWidthPx;
    MarkerPlacement placed;
    placed.leftEdgeX = screenX(measuredSurveyX - w / 2);
    placed.rightEdgeX = screenX(measuredSurveyX + w / 2);
    placed.leftBarX = screenX(pathCentreX_ - w / 2 - boundaryDistance_) + 15 + b * 15 / 2;
    placed.rightBarX = screenX(pathCentreX_ + w / 2 + boundaryDistance_) - b * 15 / 2;
    return placed;
}

}  // namespace quillon::session
