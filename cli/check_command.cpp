#include <cmath>
#include <ostream>

#include "calibration/grid_check.h"
#include "cli/arguments.h"
#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/setup_input.h"
#include "text/number_text.h"

namespace quillon::cli {

namespace {

struct CheckRequest {
    std::string setup;
    std::optional<std::string> screenWidthPx;
};

CheckRequest check_request(const CommandWords& words) {
    CheckRequest request;
    request.setup = words.input();
    if (const auto surface = words.option("--surface")) {
        request.screenWidthPx = std::to_string(surface_argument(*surface).width);
    }
    return request;
}

std::string check(const CheckRequest& request, std::ostream& err) {
    LoadedSetup setup = load_setup(request.setup);
    calibration::CameraModel& model = setup.calibration.model;
    const auto warning = calibration::grid_check(model, setup.display.boxes,
                                                 ratio_width(request.screenWidthPx, setup, err));

    std::string out = setup.display.ipt_file_description_2;
    out += '\n';
    for (std::size_t i = 1; i <= calibration::CameraModel::pointCount; ++i) {
        for (double value : {model.screen_x[i], model.screen_y[i], model.survey_x[i]}) {
            out += g17(value);
            out += ',';
        }
        out += g17(model.survey_y[i]);
        out += '\n';
    }
    out += coefficient_lines(model);
    out += "Front Ratio: ";
    out += text::number_text(std::floor(model.front_ratio));
    out += "\nBack Ratio: ";
    out += text::number_text(std::floor(model.back_ratio));
    out += '\n';
    if (warning) {
        out += warning->text;
        out += '\n';
    }
    return out;
}

}  // namespace

int check_command(const CommandWords& words, const CommandIo& io) {
    io.out << check(check_request(words), io.err);
    return 0;
}

}  // namespace quillon::cli
