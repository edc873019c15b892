#include "cli/setup_input.h"

#include "cli/cli_io.h"

namespace quillon::cli {

LoadedSetup load_setup(const std::string& path) {
    LoadedSetup loaded;
    auto outcome = calibration::load_setup_file(loaded.calibration, path);
    if (!outcome.display) {
        throw BadInput(outcome.problem->text);
    }
    loaded.display = std::move(*outcome.display);
    return loaded;
}

}  // namespace quillon::cli
