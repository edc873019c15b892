#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "platform/dialogs.h"
#include "platform/joystick.h"
#include "platform/key_state.h"
#include "platform/pulse_clock.h"
#include "platform/settings_store.h"
#include "platform/video_source.h"
#include "platform/wall_clock.h"
#include "tracking/boat_tracker.h"

namespace quillon::platform {

// The adapters a running program uses: the real ones in the program, fakes in the tests.
struct Platform {
    SettingsStore& settings;
    Dialogs& dialogs;
    WallClock& clock;
    KeyState& keys;
    Joystick& joystick;
    PulseClockFactory& pulseClocks;
    // The one video behind the Setup and Measure screens.
    VideoSource& video;
    // The program's folder: name lists, icons and demo files, and the start folder of the
    // file dialogs. The executable's own folder, or a per-user folder when that one cannot be
    // written to or the program is installed (see app/program_folders.h).
    QString appFolder;
    // Makes the tracker that follows the boat on the video; none means Auto Track is not
    // offered.
    std::function<std::unique_ptr<tracking::BoatTracker>()> boatTracker = {};
};

}  // namespace quillon::platform
