#pragma once

// The whole program for the screen benchmarks: real clocks, keys, joystick and video, settings
// kept in memory, every dialog answered at once, and a valid setup from a camera at the end of
// the course (the far gate narrow and high, the near gate wide) on a full-HD screen.

#include <QCoreApplication>
#include <map>

#include "app/application.h"
#include "calibration/calibration.h"
#include "calibration/solver.h"
#include "platform/ffmpeg_video_source.h"
#include "platform/key_state.h"
#include "platform/precise_pulse_clock.h"
#include "platform/sdl_joystick.h"
#include "screens/measure/measure_screen.h"
#include "session/pass_session.h"

namespace quillon::bench {

class MemorySettings : public platform::SettingsStore {
  public:
    QString read(const QString&, const QString&, const QString& key,
                 const QString& defaultValue) const override {
        const auto found = values_.find(key);
        return found == values_.end() ? defaultValue : found->second;
    }
    void write(const QString&, const QString&, const QString& key, const QString& value) override {
        values_[key] = value;
    }

  private:
    std::map<QString, QString> values_;
};

class SilentDialogs : public platform::Dialogs {
  public:
    platform::MessageAnswer message(const QString&, platform::MessageStyle,
                                    const QString&) override {
        return platform::MessageAnswer::Ok;
    }
    std::optional<QString> input(const QString&, const QString&, const QString&,
                                 std::optional<QPoint>) override {
        return std::nullopt;
    }
    std::optional<QString> openFile(const platform::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<QString> saveFile(const platform::FileDialogRequest&) override {
        return std::nullopt;
    }
    bool print(QPrinter&, const QString&) override { return false; }
};

struct FullHdProgram {
    FullHdProgram() {
        application.startUp();
        auto& model = session.calibration.model;
        const double screen[4][2] = {{15300, 3000}, {24000, 15000}, {13500, 3000}, {4800, 15000}};
        const double survey[4][2] = {{0, 0}, {0, -259}, {2.5, 0}, {2.5, -259}};
        for (int i = 0; i < 4; ++i) {
            model.screen_x[i + 1] = screen[i][0];
            model.screen_y[i + 1] = screen[i][1];
            model.survey_x[i + 1] = survey[i][0];
            model.survey_y[i + 1] = survey[i][1];
        }
        calibration::solve_grid(model);
        session.calibration.corners = calibration::corners_from_points(model);
        session.setupValid = 1;
    }

    // The Measure screen with a 1920 x 1080 drawing surface.
    screens::MeasureScreen& showMeasure() {
        session.screenWidthPx = "1920";
        session.screenHeightPx = "1180";
        screens::MeasureScreen& measure = application.measure();
        measure.show();
        QCoreApplication::processEvents();
        return measure;
    }

    MemorySettings settings;
    SilentDialogs dialogs;
    platform::SystemWallClock clock;
    platform::QtKeyState keys;
    platform::SdlJoystick joystick;
    platform::PrecisePulseClockFactory pulseClocks;
    platform::FfmpegVideoSource video;
    platform::Platform platform{
        settings, dialogs,     clock, keys,
        joystick, pulseClocks, video, QCoreApplication::applicationDirPath()};
    session::PassSession session;
    app::Application application{session, platform};
};

}  // namespace quillon::bench
