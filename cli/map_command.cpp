#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/setup_input.h"

namespace quillon::cli {

void run_map(const Arguments& args) {
    LoadedSetup setup = load_setup(args.input);
    calibration::CameraModel& model = setup.calibration.model;
    const std::string input = read_all_stdin();

    // Everything is read and checked before anything is printed.
    std::string out;
    for (const NumberedLine& line : non_blank_lines(input)) {
        const auto pair = numbers_of_line(line, 2, "stdin");
        const calibration::PlanePoint mapped = args.direction == MapDirection::ToSurvey
                                                   ? model.screen_to_survey({pair[0], pair[1]})
                                                   : model.survey_to_screen({pair[0], pair[1]});
        out += g17(mapped.x);
        out += ',';
        out += g17(mapped.y);
        out += '\n';
    }
    write_out(out);
}

}  // namespace quillon::cli
