#pragma once

namespace quillon::screens {

class StartScreen;
class SetupScreen;
class MeasureScreen;
class ResultsScreen;
class ManualScreen;

// How screens reach each other: each accessor returns the one instance of a screen, creating
// it (and running its load handler) on first use.
class Screens {
  public:
    virtual ~Screens() = default;
    virtual StartScreen& start() = 0;
    virtual SetupScreen& setup() = 0;
    virtual MeasureScreen& measure() = 0;
    virtual ResultsScreen& results() = 0;
    virtual ManualScreen& manual() = 0;

    // The Results screen alone is unloaded when the operator leaves it, so that the next pass
    // gets a fresh one.
    virtual void unloadResults() = 0;

    // Ends the program at once: every screen disappears, nothing further is saved.
    virtual void quit() = 0;
};

}  // namespace quillon::screens
