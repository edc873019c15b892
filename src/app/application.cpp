#include "app/application.h"

#include <QCoreApplication>
#include <QWidget>

#include "screens/manual/manual_screen.h"
#include "screens/measure/measure_screen.h"
#include "screens/results/results_screen.h"
#include "screens/setup/setup_screen.h"
#include "screens/start/start_screen.h"
#include "screens/video/video_controls.h"

namespace quillon::app {

void Application::LaterDelete::operator()(QObject* object) const {
    // A screen may be unloaded from inside one of its own handlers.
    if (object != nullptr) {
        object->deleteLater();
    }
}

Application::Application(session::PassSession& session, platform::Platform& platform)
    : onQuit([] { QCoreApplication::exit(0); }), session_(session), platform_(platform) {}

Application::~Application() {
    // Destroy now rather than later: the event loop that would run deleteLater may be gone.
    for (QWidget* screen :
         std::initializer_list<QWidget*>{results_.release(), measure_.release(), setup_.release(),
                                         manual_.release(), start_.release()}) {
        delete screen;
    }
}

void Application::startUp() {
    start().show();
    screens::VideoControls::reopenRemembered(platform_);
}

screens::StartScreen& Application::start() {
    if (!start_) {
        start_.reset(new screens::StartScreen(session_, *this, platform_));
        start_->Form_Load();
    }
    return *start_;
}

screens::SetupScreen& Application::setup() {
    if (!setup_) {
        setup_.reset(new screens::SetupScreen(session_, *this, platform_));
        setup_->Form_Load();
    }
    return *setup_;
}

screens::MeasureScreen& Application::measure() {
    if (!measure_) {
        measure_.reset(new screens::MeasureScreen(session_, *this, platform_));
        measure_->Form_Load();
    }
    return *measure_;
}

screens::ResultsScreen& Application::results() {
    if (!results_) {
        results_.reset(new screens::ResultsScreen(session_, *this, platform_));
        results_->Form_Load();
    }
    return *results_;
}

screens::ManualScreen& Application::manual() {
    if (!manual_) {
        manual_.reset(new screens::ManualScreen());
        manual_->Form_Load();
    }
    return *manual_;
}

screens::PassSelections& Application::selections() {
    return start();
}

double Application::crossSize() {
    return setup().crossSize();
}

QWidget& Application::window(screens::Screen screen) {
    switch (screen) {
        case screens::Screen::Start:
            return start();
        case screens::Screen::Setup:
            return setup();
        case screens::Screen::Measure:
            return measure();
        case screens::Screen::Results:
            return results();
        case screens::Screen::Manual:
            return manual();
    }
    return start();
}

void Application::load(screens::Screen screen) {
    window(screen);
}

void Application::show(screens::Screen screen) {
    QWidget& shown = window(screen);
    switch (screen) {
        case screens::Screen::Start:
        case screens::Screen::Setup:
            shown.show();
            break;
        case screens::Screen::Measure:
        case screens::Screen::Results:
            shown.showMaximized();
            break;
        case screens::Screen::Manual:
            shown.showMaximized();
            shown.raise();
            shown.activateWindow();
            break;
    }
}

void Application::unloadResults() {
    if (results_) {
        results_->hide();
        results_.reset();
    }
}

void Application::quit() {
    for (QWidget* screen : std::initializer_list<QWidget*>{
             results_.get(), measure_.get(), setup_.get(), manual_.get(), start_.get()}) {
        if (screen != nullptr) {
            screen->hide();
        }
    }
    if (onQuit) {
        onQuit();
    }
}

}  // namespace quillon::app
