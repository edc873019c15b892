#pragma once

#include <QDir>
#include <QTemporaryDir>

#include "app/application.h"
#include "support/fake_platform.h"
#include "support/fake_pulse_clock.h"
#include "support/fake_video_source.h"
#include "support/screen_test.h"

namespace quillon::testing {

// A whole program with fake adapters, its program folder a fresh temporary folder that is
// also the current folder, as when the program is started from its own folder.
struct AppHarness {
    AppHarness()
        : platform{settings, dialogs, clock, keys, joystick, pulseClocks, video, folder.path()},
          app(session, platform) {
        QDir::setCurrent(folder.path());
        app.onQuit = [this] { quitRequested = true; };
    }

    QString path(const QString& name) const { return QDir(folder.path()).filePath(name); }

    // Starts the program with its results going into its own folder.
    void startWithResultsHere() {
        settings.values["Quillon/Settings/resultspath"] = folder.path();
        app.startUp();
    }

    QTemporaryDir folder;
    FakeSettingsStore settings;
    FakeDialogs dialogs;
    FakeWallClock clock;
    FakeKeyState keys;
    FakeJoystick joystick;
    FakePulseClockFactory pulseClocks;
    FakeVideoSource video;
    platform::Platform platform;
    session::PassSession session;
    app::Application app;
    bool quitRequested = false;
};

}  // namespace quillon::testing
