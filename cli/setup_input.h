#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "calibration/calibration.h"

namespace quillon::cli {

// A setup file loaded as the Setup screen loads it: slot 1 holds it and the boxes show its
// values. Throws BadInput when the file cannot be read or used.
struct LoadedSetup {
    calibration::Calibration calibration;
    calibration::SetupDisplay display;
    // Where its marks were made, from the view file beside it; and why that file was not used.
    std::optional<calibration::SetupView> view;
    std::optional<std::string> viewNote;
};
LoadedSetup load_setup(const std::string& path);

// The screen width, in pixels, that the gate ratios are measured against: `given` (the width
// of the command's --surface, the display's) when there is one; else the width of the picture
// the marks were made on, from the view file; else 1024. A view file that was not used is
// said on `err`.
std::string ratio_width(const std::optional<std::string>& given, const LoadedSetup& setup,
                        std::ostream& err);

}  // namespace quillon::cli
