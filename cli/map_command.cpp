#include <ostream>

#include "cli/arguments.h"
#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/setup_input.h"

namespace quillon::cli {

namespace {

enum class MapDirection { ToSurvey, ToScreen };

struct MapRequest {
    std::string setup;
    MapDirection direction = MapDirection::ToSurvey;
};

MapRequest map_request(const CommandWords& words) {
    const bool toSurvey = words.has("--to-survey");
    if (toSurvey == words.has("--to-screen")) {
        refuse(toSurvey ? "Give one of --to-survey and --to-screen, once."
                        : "map needs --to-survey or --to-screen.");
    }
    return {words.input(), toSurvey ? MapDirection::ToSurvey : MapDirection::ToScreen};
}

// Everything is read and checked before anything is printed.
std::string map_pairs(const MapRequest& request, std::istream& in) {
    LoadedSetup setup = load_setup(request.setup);
    calibration::CameraModel& model = setup.calibration.model;
    const std::string input = read_all(in);

    std::string out;
    for (const NumberedLine& line : non_blank_lines(input)) {
        const auto pair = numbers_of_line(line, 2, "stdin");
        const calibration::PlanePoint mapped = request.direction == MapDirection::ToSurvey
                                                   ? model.screen_to_survey({pair[0], pair[1]})
                                                   : model.survey_to_screen({pair[0], pair[1]});
        out += g17(mapped.x);
        out += ',';
        out += g17(mapped.y);
        out += '\n';
    }
    return out;
}

}  // namespace

int map_command(const CommandWords& words, const CommandIo& io) {
    io.out << map_pairs(map_request(words), io.in);
    return 0;
}

}  // namespace quillon::cli
