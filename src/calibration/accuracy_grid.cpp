#include "calibration/accuracy_grid.h"

#include <cmath>

#include "text/number_text.h"
#include "text/text_file.h"
#include "text/text_value.h"

namespace quillon::calibration {

using text::number_text;
using text::round_half_up;

namespace {

// One pixel in twips.
constexpr double pixel = 15;
// How far below the image of its point a label's top stands, besides the pixel.
constexpr double labelDrop = 60;

std::string r2(double value) {
    return number_text(round_half_up(value, 2));
}

void put_header(text::CrLfText& report, const AccuracyReportInput& in, const CameraModel& model) {
    const ReferenceBoxes& b = in.boxes;
    std::string first = text::date_text(in.now);
    first += "  ";
    first += text::time_text(in.now);
    first += " Accuracy Check";
    report.line(first);
    report.line("Grid Set-up for accuracy check");
    report.line(in.ipt_file_description);
    report.line(in.ipt_file_description_2);
    std::string grid = "Grid Number: ";
    grid += text::printed_number(in.current_grid);
    report.line(grid);
    report.line(" ");
    std::string front = "Front Ratio: ";
    front += number_text(std::floor(model.front_ratio));
    report.line(front);
    std::string back = "Back Ratio: ";
    back += number_text(std::floor(model.back_ratio));
    report.line(back);

    put_reference_boxes(report, b, "Pixels");
}

void put_point(text::CrLfText& report, const AccuracyPoint& p) {
    std::string line = "xpix: ";
    line += number_text(std::floor(p.acc_x));
    line += "  ypix: ";
    line += number_text(std::floor(p.acc_y));
    line += "  x: ";
    line += r2(p.below_x);
    line += "  y: ";
    line += r2(p.below_y);
    line += "  distance: ";
    line += r2(p.acc_distance);
    line += "  v inc: ";
    line += r2(p.v_inc);
    line += "  h inc: ";
    line += r2(p.h_inc);
    line += "  delta: ";
    line += r2(p.delta);
    report.line(line);
    report.line("new method");
    std::string second = "xpix: ";
    second += number_text(p.px);
    second += "  ypix: ";
    second += number_text(p.py + pixel);
    second += "  x: ";
    second += r2(p.below_x);
    second += "  y: ";
    second += r2(p.below_y);
    second += "  h inc: ";
    second += r2(p.h_inc);
    report.line(second);
}

}  // namespace

AccuracyLattice build_accuracy_lattice() {
    AccuracyLattice l;
    auto& x = l.acc_x;
    auto& y = l.acc_y;
    x[0][0] = 2.4;
    y[0][0] = -27;
    x[0][5] = 2.4;
    y[0][5] = -232;
    x[6][0] = 0.1;
    y[6][0] = -27;
    x[6][5] = 0.1;
    y[6][5] = -232;
    for (std::size_t i : {std::size_t{0}, std::size_t{6}}) {
        for (std::size_t j = 1; j <= 4; ++j) {
            const double step = static_cast<double>(j);
            x[i][j] = x[i][0] + (x[i][5] - x[i][0]) * step / 5;
            y[i][j] = y[i][0] + (y[i][5] - y[i][0]) * step / 5;
        }
    }
    for (std::size_t j = 0; j <= 5; ++j) {
        for (std::size_t i = 1; i <= 5; ++i) {
            const double step = static_cast<double>(i);
            x[i][j] = x[0][j] + (x[6][j] - x[0][j]) * step / 6;
            y[i][j] = y[0][j] + (y[6][j] - y[0][j]) * step / 6;
        }
    }
    return l;
}

std::string accuracy_level(double h_inc) {
    if (h_inc <= 0.1) {
        return "R";
    }
    if (h_inc <= 0.15) {
        return "L";
    }
    if (h_inc <= 0.2) {
        return "C";
    }
    return "NH";
}

std::string accuracy_label(const AccuracyPoint& point, AccuracyDisplay display) {
    switch (display) {
        case AccuracyDisplay::Level:
            return point.acc_level;
        case AccuracyDisplay::Distance:
            return number_text(round_half_up(point.acc_distance, 1));
        case AccuracyDisplay::Detail:
            break;
    }
    return number_text(round_half_up(point.delta, 2));
}

AccuracyCheck run_accuracy_check(const CameraModel& model, const AccuracyReportInput& input) {
    AccuracyCheck check;
    text::CrLfText report;
    put_header(report, input, model);

    const AccuracyLattice lattice = build_accuracy_lattice();
    for (int i = 0; i < AccuracyLattice::columns; ++i) {
        for (int j = 0; j < AccuracyLattice::rows; ++j) {
            const int k = 6 * i + j;
            AccuracyPoint& p = check.points[static_cast<std::size_t>(k)];
            p.i = i;
            p.j = j;
            p.k = k;
            p.acc_x = lattice.acc_x[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
            p.acc_y = lattice.acc_y[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];

            const PlanePoint image = model.survey_to_screen({p.acc_x, p.acc_y});
            p.px = image.x;
            p.py = image.y;

            // The image maps back to a survey point, and one pixel right and one pixel down of
            // it to two more: the steps on the water that one pixel spans.
            p.acc_distance = model.jump_distance(image);
            const PlanePoint back = model.screen_to_survey(image);
            const PlanePoint right = model.screen_to_survey({p.px + pixel, p.py});
            const double dx = right.x - back.x;
            const double dy = right.y - back.y;
            p.h_inc = std::sqrt(dx * dx + dy * dy);

            const PlanePoint below{p.px, p.py + pixel};
            p.v_inc = model.jump_distance(below);
            p.delta = p.h_inc;
            const PlanePoint belowSurvey = model.screen_to_survey(below);
            p.below_x = belowSurvey.x;
            p.below_y = belowSurvey.y;

            p.acc_level = accuracy_level(p.h_inc);
            p.label = accuracy_label(p, input.display);
            p.top = p.py + pixel + labelDrop;
            p.left = p.px;

            put_point(report, p);
        }
    }
    check.report = report.str();
    return check;
}

std::string accuracy_file_name(const text::CivilDateTime& now) {
    std::string name = "acc";
    name += text::month_day_text(now);
    name += ".txt";
    return name;
}

std::optional<Message> append_accuracy_report(std::string_view resultsFolder,
                                              const text::CivilDateTime& now,
                                              std::string_view report) {
    const std::string path = text::path_in_folder(resultsFolder, accuracy_file_name(now));
    const text::FileStatus status = text::append_to_file(path, report);
    if (status) {
        return std::nullopt;
    }
    std::string text = "The accuracy report could not be written to \"";
    text += path;
    text += "\": ";
    text += status.description;
    text += ".";
    return Message{std::move(text), applicationTitle, MessageStyle::Exclamation};
}

std::optional<int> skier_line_answer(std::string_view answer) {
    const double value = text::text_value(answer);
    for (int line = 1; line <= 6; ++line) {
        if (value == line) {
            return line;
        }
    }
    return std::nullopt;
}

}  // namespace quillon::calibration
