#include <ctime>

#include "calibration/accuracy_grid.h"
#include "calibration/grid_check.h"
#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/setup_input.h"

namespace quillon::cli {

namespace {

text::CivilDateTime local_now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace

void run_accuracy(const Arguments& args) {
    LoadedSetup setup = load_setup(args.input);
    calibration::CameraModel& model = setup.calibration.model;
    calibration::grid_check(model, setup.display.boxes, args.screenWidthPx);

    calibration::AccuracyReportInput input;
    input.now = args.now ? *args.now : local_now();
    input.boxes = setup.display.boxes;
    input.ipt_file_description = setup.display.ipt_file_description;
    input.ipt_file_description_2 = setup.display.ipt_file_description_2;
    input.current_grid = setup.calibration.grids.current_grid;
    input.display = args.display;
    const calibration::AccuracyCheck check = calibration::run_accuracy_check(model, input);

    if (const auto problem =
            calibration::append_accuracy_report(args.resultsFolder, input.now, check.report)) {
        throw BadInput(problem->text);
    }
    std::string out;
    for (const calibration::AccuracyPoint& p : check.points) {
        out += std::to_string(p.k);
        out += '\t';
        out += p.label;
        out += '\t';
        out += g17(p.left);
        out += '\t';
        out += g17(p.top);
        out += '\n';
    }
    write_out(out);
}

}  // namespace quillon::cli
