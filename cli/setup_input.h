#pragma once

#include <string>

#include "calibration/calibration.h"

namespace quillon::cli {

// A setup file loaded as the Setup screen loads it: slot 1 holds it and the boxes show its
// values. Throws BadInput when the file cannot be read or used.
struct LoadedSetup {
    calibration::Calibration calibration;
    calibration::SetupDisplay display;
};
LoadedSetup load_setup(const std::string& path);

}  // namespace quillon::cli
