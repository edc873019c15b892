#include <QApplication>

#include "app/application.h"
#include "platform/joystick.h"
#include "platform/key_state.h"
#include "platform/precise_pulse_clock.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_settings_store.h"
#include "platform/qt_video_source.h"
#include "platform/wall_clock.h"
#include "session/pass_session.h"

int main(int argc, char* argv[]) {
    quillon::platform::QtVideoSource::chooseBackend();
    QApplication qtApplication(argc, argv);
    QApplication::setApplicationName("Quillon");
    // Leaving a screen hides it; the program ends only through its own Exit and close handling.
    QApplication::setQuitOnLastWindowClosed(false);

    quillon::platform::QtSettingsStore settings;
    quillon::platform::QtDialogs dialogs;
    quillon::platform::SystemWallClock clock;
    quillon::platform::QtKeyState keys;
    quillon::platform::LinuxJoystick joystick;
    quillon::platform::PrecisePulseClockFactory pulseClocks;
    quillon::platform::QtVideoSource video;
    quillon::platform::Platform platform{settings,
                                         dialogs,
                                         clock,
                                         keys,
                                         joystick,
                                         pulseClocks,
                                         video,
                                         QCoreApplication::applicationDirPath()};

    quillon::session::PassSession session;
    quillon::app::Application application(session, platform);
    application.startUp();
    return QApplication::exec();
}
