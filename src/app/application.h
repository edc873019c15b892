#pragma once

#include <functional>
#include <memory>

class QObject;
class QWidget;

#include "platform/platform.h"
#include "screens/screens.h"
#include "session/pass_session.h"

namespace quillon::screens {
class StartScreen;
class SetupScreen;
class MeasureScreen;
class ResultsScreen;
class ManualScreen;
}  // namespace quillon::screens

namespace quillon::app {

// Owns the one PassSession and the single instance of each screen.
class Application : public screens::Screens {
  public:
    Application(session::PassSession& session, platform::Platform& platform);
    ~Application() override;

    // Creates the Start screen, runs its start-up sequence and shows it.
    void startUp();

    // The screens themselves, for main and the tests; screens reach each other only through
    // the narrow services below.
    screens::StartScreen& start();
    screens::SetupScreen& setup();
    screens::MeasureScreen& measure();
    screens::ResultsScreen& results();
    screens::ManualScreen& manual();

    screens::PassSelections& selections() override;
    double crossSize() override;
    void show(screens::Screen screen) override;
    void load(screens::Screen screen) override;
    void unloadResults() override;
    void quit() override;

    bool hasResultsScreen() const { return results_ != nullptr; }

    // What ending the program does; the program leaves its event loop, a test records it.
    std::function<void()> onQuit;

  private:
    struct LaterDelete {
        void operator()(QObject* object) const;
    };
    template <typename T>
    using ScreenPtr = std::unique_ptr<T, LaterDelete>;

    QWidget& window(screens::Screen screen);

    session::PassSession& session_;
    platform::Platform& platform_;
    ScreenPtr<screens::StartScreen> start_;
    ScreenPtr<screens::SetupScreen> setup_;
    ScreenPtr<screens::MeasureScreen> measure_;
    ScreenPtr<screens::ResultsScreen> results_;
    ScreenPtr<screens::ManualScreen> manual_;
};

}  // namespace quillon::app
