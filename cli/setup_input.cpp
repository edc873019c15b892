#include "cli/setup_input.h"

#include "cli/cli_io.h"
#include "text/text_file.h"

namespace quillon::cli {

LoadedSetup load_setup(const std::string& path) {
    LoadedSetup loaded;
    auto outcome = calibration::load_setup_file(loaded.calibration, path);
    if (!outcome.display) {
        throw BadInput(outcome.problem->text);
    }
    loaded.display = std::move(*outcome.display);
    const text::FileContent bytes = text::read_file(path);
    if (bytes.status) {
        calibration::SetupViewRead view = calibration::read_setup_view(path, bytes.bytes);
        loaded.view = std::move(view.view);
        if (view.note) {
            loaded.viewNote = view.note->text;
        }
    }
    return loaded;
}

std::string ratio_width(const std::optional<std::string>& given, const LoadedSetup& setup,
                        std::ostream& err) {
    if (given) {
        return *given;
    }
    if (setup.viewNote) {
        err << *setup.viewNote << '\n';
    }
    return setup.view ? calibration::ratio_width_px(*setup.view) : std::string("1024");
}

}  // namespace quillon::cli
