#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "analysis/pass_statistics.h"
#include "calibration/calibration.h"
#include "course/pass_description.h"
#include "session/provenance.h"

namespace quillon::session {

// The one record that more than one screen needs, alive for the whole run. The pass
// description is not here: the Start screen owns it and the others ask for it.
struct PassSession {
    static constexpr std::size_t sampleCapacity = 701;

    // +1.0 when the boat goes away from the camera, -1.0 when it comes toward it.
    double directionSign = -1.0;
    // Non-zero once the Setup screen has produced a valid calibration.
    double setupValid = 0;
    // The folder of the program's executable.
    std::string appFolder;
    // The screen size in pixels, kept as text.
    std::string screenWidthPx;
    std::string screenHeightPx;

    // The camera model, the reference points and the grid slots: written by the Setup screen,
    // read by the Measure screen and the accuracy check.
    calibration::Calibration calibration;

    // While true, the Measure screen's input poll hands the focus back to its Start Pass
    // button after every arrow-key step, so that Enter starts the pass.
    bool keepStartFocus = false;

    // The samples of the current pass: lateral deviation in metres. A pass overwrites indices
    // 0 to lastSampleIndex; higher ones keep values of an earlier, longer pass.
    std::array<double, sampleCapacity> samples{};
    // Where each sample of the current pass came from, index for index with `samples`.
    std::array<Provenance, sampleCapacity> sampleProvenance{};
    std::int16_t lastSampleIndex = 0;
    int sampleIndex = 0;

    // End-of-pass figures of the Measure screen.
    std::int16_t passSampleCount = 0;
    double passMeanAbsDeviation = 0;
    double passMaxAbsDeviation = 0;
    std::int16_t passMaxAbsIndex = 0;
    int passMeasured = 0;
    // The speed and line captions of the pass as Start Pass took them ("58", "11.25", " 9.75").
    std::string passSpeedText;
    std::string passLineText;
    // The report's line naming the clock of the pass; empty when no recorded video was open.
    // With Auto Track it ends with how many samples, and which, were not tracked.
    std::string passClockLine;
    // The pass description as Start Pass took it: the Results screen reports this pass, not
    // what the Start screen's buttons say later.
    course::PassDescription measuredPass;
    // The video the pass was measured on (the file replayed, or a live pass's recording), and
    // the video time of the frame sample 0 was taken on; empty and -1 when there was none.
    std::string passVideoPath;
    std::int64_t passSample0FrameUs = -1;

    analysis::PassStatistics passStatistics;
};

}  // namespace quillon::session
