#include "calibration/grid_check.h"
#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/setup_input.h"
#include "text/number_text.h"

#include <cmath>

namespace quillon::cli {

void run_check(const Arguments& args) {
    LoadedSetup setup = load_setup(args.input);
    calibration::CameraModel& model = setup.calibration.model;
    const auto warning = calibration::grid_check(model, setup.display.boxes, args.screenWidthPx);

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
    write_out(out);
}

}  // namespace quillon::cli
