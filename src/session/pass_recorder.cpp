#include "session/pass_recorder.h"

#include <charconv>
#include <cmath>

#include "analysis/pass_figures.h"
#include "text/text_value.h"

namespace quillon::session {

namespace {

using course::Direction;
using course::Discipline;

// Both directions count the course from the far gate at 0 to the near gate at -259, in jump too.
constexpr double nearGateY = -259.0;

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
    auto& model = session_.calibration.model;
    model.pt_survey_x = pathCentreX_;
    model.pt_survey_y = surveyY;
    model.survey_to_screen();
    return {model.pt_screen_x, model.pt_screen_y};
}

double PassRecorder::screenX(double surveyX, double surveyY) {
    auto& model = session_.calibration.model;
    model.pt_survey_x = surveyX;
    model.pt_survey_y = surveyY;
    model.survey_to_screen();
    return model.pt_screen_x;
}

MarkerRow PassRecorder::activate(const course::PassDescription& pass, bool viewOnly,
                                 double jumpPathCentreX, double jumpBoundary) {
    if (pass.discipline == Discipline::Slalom) {
        pathCentreX_ = course::slalomPathCentreX;
        boundaryDistance_ = 0.2;
        courseLength_ = 259.0;
    } else {
        pathCentreX_ = viewOnly ? jumpPathCentreX : 2.0;
        courseLength_ = 280.0;
        boundaryDistance_ = jumpBoundary;
    }
    row_ = rowAt(pass.direction == Direction::Towards ? 0.0 : nearGateY);
    return row_;
}

double PassRecorder::start(const course::PassDescription& pass, double lineX) {
    pass_ = pass;
    session_.passSpeedText = std::to_string(course::speed_kmh(pass));
    session_.passLineText = course::line_length_label(pass.lineLength);
    session_.lastSampleIndex = static_cast<std::int16_t>(course::last_sample_index(pass));
    const double deviation = poll(lineX).deviation;
    session_.sampleIndex = 0;
    return deviation;
}

PollReading PassRecorder::poll(double lineX) {
    auto& model = session_.calibration.model;
    model.pt_screen_x = lineX;
    model.pt_screen_y = row_.y;
    model.screen_to_survey();
    return {rounded_deviation(model.pt_survey_x, pathCentreX_), model.pt_survey_x,
            model.pt_survey_y};
}

std::optional<SampleStep> PassRecorder::step(std::string_view deviationText) {
    const int n = session_.lastSampleIndex;
    const int index = session_.sampleIndex;
    if (n <= 0 || index < 0 || index >= static_cast<int>(PassSession::sampleCapacity)) {
        return std::nullopt;
    }
    SampleStep step;
    step.index = index;
    const double d = static_cast<double>(index) / n * courseLength_;
    step.distance = std::floor(d * 10 + 0.5) / 10;
    session_.samples[static_cast<std::size_t>(index)] = text::text_value(deviationText);
    row_ = rowAt(pass_.direction == Direction::Towards ? -d : d + nearGateY);
    step.row = row_;
    session_.sampleIndex = index + 1;
    step.samplesTaken = session_.sampleIndex;
    if (session_.sampleIndex > n) {
        step.ended = true;
        session_.passMeasured = 1;
        session_.keepStartFocus = false;
        const auto figures = analysis::end_of_pass_figures(session_.samples, n);
        session_.passSampleCount = figures.passSampleCount;
        session_.passMeanAbsDeviation = figures.passMeanAbsDeviation;
        session_.passMaxAbsDeviation = figures.passMaxAbsDeviation;
        session_.passMaxAbsIndex = figures.passMaxAbsIndex;
    }
    return step;
}

MarkerPlacement PassRecorder::markers(double measuredSurveyX, double surveyY, double boatWidth,
                                      int barWidthPx) {
    const double w = boatWidth;
    const double b = barWidthPx;
    MarkerPlacement placed;
    placed.leftEdgeX = screenX(measuredSurveyX - w / 2, surveyY);
    placed.rightEdgeX = screenX(measuredSurveyX + w / 2, surveyY);
    placed.leftBarX = screenX(pathCentreX_ - w / 2 - boundaryDistance_, surveyY) + 15 + b * 15 / 2;
    placed.rightBarX = screenX(pathCentreX_ + w / 2 + boundaryDistance_, surveyY) - b * 15 / 2;
    return placed;
}

}  // namespace quillon::session
