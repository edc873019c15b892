#pragma once

#include <optional>
#include <vector>

#include "session/provenance.h"

namespace quillon::session {

// The measurement line: its x in twips and the x of its one-pixel twin beside it.
struct LinePosition {
    double x = 0;
    double twinX = 0;

    friend bool operator==(const LinePosition&, const LinePosition&) = default;
};

// What one input says in one poll.
struct LineReport {
    // Where it puts the line; nullopt leaves the line where the inputs before it left it.
    std::optional<LinePosition> position;
    // The operator moved it: an arrow key, the joystick beyond its dead band, the mouse by a
    // pixel or more. An input that places the line by itself (a tracker) never says so.
    bool operatorMoved = false;
    // Where a line placed before the deviation comes from, when not from the operator: the
    // tracker's mark, or the position it holds after losing the mark.
    std::optional<Provenance> provenance;
};

// What an input knows when it is asked.
struct LinePoll {
    // The line where the inputs before this one left it.
    LinePosition line;
    // The path centre on the marker row, where a joystick at rest puts the line.
    double centreX = 0;
};

// Something that moves the measurement line in the input poll: the arrow keys, a joystick,
// the mouse, a tracker following the boat on the video.
class LineInput {
  public:
    // Inputs applied before the deviation is computed reach it in the same poll; those applied
    // after it overwrite the line last, so their effect reaches the deviation at the next poll.
    enum class Stage { BeforeDeviation, AfterDeviation };

    virtual ~LineInput() = default;
    virtual Stage stage() const = 0;
    virtual LineReport read(const LinePoll& poll) = 0;
};

// The outcome of one poll over all inputs.
struct CombinedPoll {
    // Where the line stands when the deviation is computed.
    LinePosition forDeviation;
    // Where it stands at the end of the poll.
    LinePosition final;
    // Some input said the operator moved the line.
    bool operatorMoved = false;
    // Where the line measured by the deviation came from.
    Provenance provenance = Provenance::Operator;
};

// The inputs of the Measure screen in their order of precedence: those before the deviation
// in the order added, then, in view-only mode, the line put on the path centre, then the
// deviation, then those after it in the order added, the last overwriting the others.
class LineInputs {
  public:
    // Inputs are not owned; they outlive the poll.
    void add(LineInput& input) { inputs_.push_back(&input); }
    void remove(const LineInput& input);

    CombinedPoll poll(LinePosition line, double centreX, bool viewOnly) const;

  private:
    std::vector<LineInput*> inputs_;
};

}  // namespace quillon::session
