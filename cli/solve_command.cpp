#include "calibration/setup_file.h"
#include "calibration/solver.h"
#include "cli/cli_io.h"
#include "cli/commands.h"
#include "text/text_file.h"

namespace quillon::cli {

namespace {

// Four lines "screen_x,screen_y,survey_x,survey_y" in point order 1..4.
calibration::CameraModel read_points(const std::string& path) {
    const text::FileContent content = text::read_file(path, 1024 * 1024);
    if (!content.status) {
        std::string message = "The points file \"";
        message += path;
        message += "\" cannot be read: ";
        message += content.status.description;
        message += ".";
        throw BadInput(message);
    }
    const auto lines = non_blank_lines(content.bytes);
    if (lines.size() != calibration::CameraModel::pointCount) {
        std::string message = "The points file \"";
        message += path;
        message += "\" holds ";
        message += std::to_string(lines.size());
        message += " lines of numbers where 4 are expected.";
        throw BadInput(message);
    }
    calibration::CameraModel model;
    for (std::size_t i = 1; i <= calibration::CameraModel::pointCount; ++i) {
        const auto values = numbers_of_line(lines[i - 1], 4, path);
        model.screen_x[i] = values[0];
        model.screen_y[i] = values[1];
        model.survey_x[i] = values[2];
        model.survey_y[i] = values[3];
    }
    return model;
}

}  // namespace

void run_solve(const Arguments& args) {
    calibration::CameraModel model = read_points(args.input);
    if (args.jump) {
        model.jump_survey_x = args.jump->first;
        model.jump_survey_y = args.jump->second;
    }
    if (const auto singular = calibration::solve_grid(model)) {
        throw BadInput(singular->text);
    }
    if (args.writeTo) {
        const auto data = calibration::setup_file_data(model, *args.writeTo, args.description, 1);
        if (const auto problem = calibration::write_setup_file(*args.writeTo, data)) {
            throw BadInput(problem->text);
        }
    }
    std::string out;
    out += coefficient_lines(model);
    write_out(out);
}

}  // namespace quillon::cli
