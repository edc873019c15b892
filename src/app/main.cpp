#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <cstdio>

#include "app/application.h"
#include "app/command_line.h"
#include "app/program_folders.h"
#include "platform/ffmpeg_video_source.h"
#include "platform/key_state.h"
#include "platform/precise_pulse_clock.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_settings_store.h"
#include "platform/sdl_joystick.h"
#include "platform/wall_clock.h"
#include "session/pass_session.h"

int main(int argc, char* argv[]) {
    if (const auto answer = quillon::app::answer_command_line(argc, argv, QUILLON_VERSION)) {
        std::fputs(answer->out.c_str(), stdout);
        std::fputs(answer->err.c_str(), stderr);
        return answer->exitCode;
    }
    QApplication qtApplication(argc, argv);
    QApplication::setApplicationName("Quillon");
    // Leaving a screen hides it; the program ends only through its own Exit and close handling.
    QApplication::setQuitOnLastWindowClosed(false);

    // Run from a build or a copy of one, the program keeps its files in its own folder; an
    // installed one, or one in a folder it cannot write to, keeps them per user. Started from
    // a menu, the program would otherwise begin in whatever folder the desktop chose.
    const quillon::app::ProgramFolders folders = quillon::app::program_folders(
        QCoreApplication::applicationDirPath().toStdString(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
    const QString appFolder = QString::fromStdString(folders.appFolder.string());
    if (folders.perUser) {
        QDir::setCurrent(appFolder);
    }

    quillon::platform::QtSettingsStore settings;
    quillon::platform::QtDialogs dialogs;
    quillon::platform::SystemWallClock clock;
    quillon::platform::QtKeyState keys;
    quillon::platform::SdlJoystick joystick;
    quillon::platform::PrecisePulseClockFactory pulseClocks;
    quillon::platform::FfmpegVideoSource video;
    quillon::platform::Platform platform{settings, dialogs,     clock, keys,
                                         joystick, pulseClocks, video, appFolder};
    platform.boatTracker = [] { return quillon::tracking::make_boat_tracker(); };

    quillon::session::PassSession session;
    quillon::app::Application application(session, platform);
    application.startUp();
    return QApplication::exec();
}
