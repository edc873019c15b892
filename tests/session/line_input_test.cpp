#include "session/line_input.h"

#include <gtest/gtest.h>

using namespace quillon::session;

namespace {

// An input that steps the line (arrow keys) or places it (joystick, mouse, tracker).
class FakeInput : public LineInput {
  public:
    enum class Kind { Step, Place };
    FakeInput(Stage stage, Kind kind, double value, bool operatorMoves,
              std::optional<Provenance> provenance = std::nullopt)
        : stage_(stage),
          kind_(kind),
          value_(value),
          operatorMoves_(operatorMoves),
          provenance_(provenance) {}
    Stage stage() const override { return stage_; }
    LineReport read(const LinePoll& poll) override {
        seen = poll.line;
        if (kind_ == Kind::Step) {
            return {LinePosition{poll.line.x + value_, poll.line.twinX + value_}, operatorMoves_,
                    provenance_};
        }
        return {LinePosition{value_, value_ - 15}, operatorMoves_, provenance_};
    }
    LinePosition seen;

  private:
    Stage stage_;
    Kind kind_;
    double value_;
    bool operatorMoves_;
    std::optional<Provenance> provenance_;
};

using Stage = LineInput::Stage;
using Kind = FakeInput::Kind;

}  // namespace

TEST(LineInputs, PrecedenceOfKeysViewOnlyJoystickMouseAndATracker) {
    const LinePosition start{1000, 1015};
    const double centre = 2000;
    FakeInput keys(Stage::BeforeDeviation, Kind::Step, 15, true);
    FakeInput tracker(Stage::BeforeDeviation, Kind::Place, 1500, false, Provenance::Tracked);
    FakeInput holding(Stage::BeforeDeviation, Kind::Place, 1400, false, Provenance::Held);
    FakeInput joystick(Stage::AfterDeviation, Kind::Place, 2100, true);
    FakeInput mouse(Stage::AfterDeviation, Kind::Place, 3000, true);
    FakeInput joystickAtRest(Stage::AfterDeviation, Kind::Place, 2000, false);
    const struct {
        const char* name;
        std::vector<FakeInput*> inputs;
        bool viewOnly;
        LinePosition forDeviation;
        LinePosition final;
        bool operatorMoved;
        // Where the measured line came from.
        Provenance provenance = Provenance::Operator;
    } cases[] = {
        {"nothing", {}, false, start, start, false},
        {"keys step the line and its twin", {&keys}, false, {1015, 1030}, {1015, 1030}, true},
        {"view only centres after the keys", {&keys}, true, {2000, 2015}, {2000, 2015}, true},
        {"view only centres the tracked line: nothing tracked is measured",
         {&tracker},
         true,
         {2000, 2015},
         {2000, 2015},
         false},
        {"a tracker holding the lost mark's position",
         {&holding},
         false,
         {1400, 1385},
         {1400, 1385},
         false,
         Provenance::Held},
        {"the joystick overwrites the keys after the deviation",
         {&keys, &joystick},
         false,
         {1015, 1030},
         {2100, 2085},
         true},
        {"the mouse overwrites the joystick",
         {&joystick, &mouse},
         false,
         start,
         {3000, 2985},
         true},
        {"a tracker reaches the deviation in the same poll",
         {&tracker},
         false,
         {1500, 1485},
         {1500, 1485},
         false,
         Provenance::Tracked},
        {"keys after the tracker step from where it put the line",
         {&tracker, &keys},
         false,
         {1515, 1500},
         {1515, 1500},
         true},
        {"the mouse wins over the tracker at the end of the poll; this poll measured the mark",
         {&mouse, &tracker},
         false,
         {1500, 1485},
         {3000, 2985},
         true,
         Provenance::Tracked},
        {"a joystick at rest after the tracker leaves the sample tracked",
         {&tracker, &joystickAtRest},
         false,
         {1500, 1485},
         {2000, 1985},
         false,
         Provenance::Tracked},
    };
    for (const auto& c : cases) {
        LineInputs inputs;
        for (FakeInput* input : c.inputs) {
            inputs.add(*input);
        }
        const CombinedPoll poll = inputs.poll(start, centre, c.viewOnly);
        EXPECT_EQ(poll.forDeviation, c.forDeviation) << c.name;
        EXPECT_EQ(poll.final, c.final) << c.name;
        EXPECT_EQ(poll.operatorMoved, c.operatorMoved) << c.name;
        EXPECT_EQ(poll.provenance, c.provenance) << c.name;
    }

    // Each input sees the line where the ones before it left it; a removed one is not asked.
    LineInputs inputs;
    inputs.add(keys);
    inputs.add(joystick);
    inputs.add(mouse);
    inputs.remove(joystick);
    mouse.seen = {};
    joystick.seen = {};
    inputs.poll(start, centre, false);
    EXPECT_EQ(mouse.seen, (LinePosition{1015, 1030}));
    EXPECT_EQ(joystick.seen, LinePosition{});
}
