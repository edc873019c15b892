#pragma once

#include <QString>

#include "platform/dialogs.h"
#include "platform/settings_store.h"
#include "platform/wall_clock.h"

namespace quillon::platform {

// The adapters a running program uses: the real ones in the program, fakes in the tests.
struct Platform {
    SettingsStore& settings;
    Dialogs& dialogs;
    WallClock& clock;
    // The folder of the program's executable.
    QString executableFolder;
};

}  // namespace quillon::platform
