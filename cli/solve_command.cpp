#include <optional>
#include <ostream>

#include "calibration/setup_file.h"
#include "calibration/solver.h"
#include "cli/arguments.h"
#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/output_paths.h"
#include "text/text_file.h"

namespace quillon::cli {

namespace {

struct SolveRequest {
    std::string points;
    std::optional<std::string> writeTo;
    std::string description;
    std::optional<NumberPair> jump;
};

SolveRequest solve_request(const CommandWords& words) {
    SolveRequest request;
    request.points = words.input();
    request.writeTo = words.option("--write");
    request.description = words.option("--description").value_or("");
    const bool descriptionGiven = words.has("--description");
    if (const auto jump = words.option("--jump")) {
        request.jump = pair_argument(*jump, "--jump");
    }
    if (!request.writeTo && (descriptionGiven || request.jump)) {
        refuse("--description and --jump go with --write.");
    }
    // The description is line 2 of the file and the file's name is in line 1: a line break in
    // either would move every later value.
    if (const char* what = control_character_in(request.description)) {
        throw BadInput(joined({"--description holds ", what,
                               ", which the setup file's one descriptive line cannot keep."}));
    }
    if (const char* what = request.writeTo ? control_character_in(*request.writeTo) : nullptr) {
        throw BadInput(joined({"--write: the name holds ", what,
                               ", which the setup file's first line, naming it, cannot keep."}));
    }
    if (request.writeTo) {
        const NamedFile output{"--write", *request.writeTo};
        check_output_file(output);
        refuse_shared_files({{{"the POINTS file", request.points}}, {output}, {}});
    }
    return request;
}

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

std::string solve(const SolveRequest& request) {
    calibration::CameraModel model = read_points(request.points);
    if (request.jump) {
        model.jump_survey_x = request.jump->a;
        model.jump_survey_y = request.jump->b;
    }
    if (const auto singular = calibration::solve_grid(model)) {
        throw BadInput(singular->text);
    }
    if (request.writeTo) {
        const auto data =
            calibration::setup_file_data(model, *request.writeTo, request.description, 1);
        if (const auto problem = calibration::write_setup_file(*request.writeTo, data)) {
            throw BadInput(problem->text);
        }
    }
    return coefficient_lines(model);
}

}  // namespace

int solve_command(const CommandWords& words, const CommandIo& io) {
    io.out << solve(solve_request(words));
    return 0;
}

}  // namespace quillon::cli
