#include <optional>
#include <ostream>

#include "calibration/accuracy_grid.h"
#include "calibration/grid_check.h"
#include "cli/arguments.h"
#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/output_paths.h"
#include "cli/setup_input.h"

namespace quillon::cli {

namespace {

struct AccuracyRequest {
    std::string setup;
    std::optional<std::string> screenWidthPx;
    std::string resultsFolder;
    calibration::AccuracyDisplay display = calibration::AccuracyDisplay::Detail;
    std::optional<text::CivilDateTime> now;
};

calibration::AccuracyDisplay display_argument(const std::string& text) {
    if (text == "detail") {
        return calibration::AccuracyDisplay::Detail;
    }
    if (text == "distance") {
        return calibration::AccuracyDisplay::Distance;
    }
    if (text != "level") {
        refuse(joined({"--display: \"", text, "\" is none of detail, distance, level."}));
    }
    return calibration::AccuracyDisplay::Level;
}

AccuracyRequest accuracy_request(const CommandWords& words) {
    AccuracyRequest request;
    request.setup = words.input();
    request.resultsFolder = *words.option("--results");
    if (request.resultsFolder.empty()) {
        refuse("--results needs a folder.");
    }
    if (const auto surface = words.option("--surface")) {
        request.screenWidthPx = std::to_string(surface_argument(*surface).width);
    }
    if (const auto display = words.option("--display")) {
        request.display = display_argument(*display);
    }
    if (const auto now = words.option("--now")) {
        request.now = parse_now(*now);
    }
    return request;
}

std::string accuracy(const AccuracyRequest& request, std::ostream& err) {
    const text::CivilDateTime now = request.now ? *request.now : local_now();
    // The report is appended to the day's accuracy report: the setup file must not be it, nor
    // any other of the day's logs.
    refuse_shared_files(
        {{{"the setup file", request.setup}}, {}, day_logs(request.resultsFolder, now)});
    LoadedSetup setup = load_setup(request.setup);
    calibration::CameraModel& model = setup.calibration.model;
    calibration::grid_check(model, setup.display.boxes,
                            ratio_width(request.screenWidthPx, setup, err));

    calibration::AccuracyReportInput input;
    input.now = now;
    input.boxes = setup.display.boxes;
    input.ipt_file_description = setup.display.ipt_file_description;
    input.ipt_file_description_2 = setup.display.ipt_file_description_2;
    input.current_grid = setup.calibration.grids.current_grid;
    input.display = request.display;
    const calibration::AccuracyCheck check = calibration::run_accuracy_check(model, input);

    if (const auto problem =
            calibration::append_accuracy_report(request.resultsFolder, input.now, check.report)) {
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
    return out;
}

}  // namespace

int accuracy_command(const CommandWords& words, const CommandIo& io) {
    io.out << accuracy(accuracy_request(words), io.err);
    return 0;
}

}  // namespace quillon::cli
