#pragma once

#include "course/pass_description.h"

namespace quillon::screens {

enum class Screen { Start, Setup, Measure, Results, Manual };

// The pass as the Start screen's selections hold it: the one source of the pass description.
class PassSelections {
  public:
    virtual ~PassSelections() = default;
    // Built from the selections on each call; never kept.
    virtual course::PassDescription passDescription() const = 0;
    // Selects a direction as a click on its option would, keeping the direction sign in step.
    virtual void selectDirection(course::Direction direction) = 0;
};

// How the screens reach each other: a few narrow services, never another screen's window.
class Screens {
  public:
    virtual ~Screens() = default;

    virtual PassSelections& selections() = 0;
    // The Setup screen's cross size in twips, for every screen that draws the buoy marks.
    virtual double crossSize() = 0;

    // Shows a screen, creating it (and running its load handler) on first use. The Measure,
    // Results and Manual screens open maximized, the Manual one over the Start screen.
    virtual void show(Screen screen) = 0;
    // Creates a screen hidden, when it is not there yet.
    virtual void load(Screen screen) = 0;
    // The Results screen alone is unloaded when the operator leaves it, so that the next pass
    // gets a fresh one.
    virtual void unloadResults() = 0;
    // Ends the program at once: every screen disappears, nothing further is saved.
    virtual void quit() = 0;
};

}  // namespace quillon::screens
