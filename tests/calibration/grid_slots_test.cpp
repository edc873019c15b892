#include <gtest/gtest.h>

#include "calibration/calibration.h"
#include "calibration/solver.h"
#include "calibration_test_support.h"
#include "session/pass_session.h"

using namespace quillon::calibration;
using namespace quillon::calibration::testing;
using quillon::course::Discipline;

TEST(GridSelection, CyclesByCaption) {
    const struct {
        const char* caption;
        int inUse;
        const char* next;
        int current;
    } cases[] = {
        {"Grid 1", 1, "Grid 2", 2}, {"Grid 2", 1, "Grid 1", 1}, {"Grid 2", 2, "Grid 1", 1},
        {"Grid 2", 3, "Grid 3", 3}, {"Grid 3", 3, "Grid 1", 1}, {"Grid 3", 1, "Grid 1", 1},
        {"grid 1", 1, "grid 1", 2},  // not a caption the button ever has: nothing moves
    };
    for (const auto& c : cases) {
        const GridSelection next = next_grid_selection(c.caption, c.inUse, 2);
        EXPECT_EQ(next.caption, c.next) << c.caption << " with " << c.inUse;
        EXPECT_EQ(next.current_grid, c.current) << c.caption << " with " << c.inUse;
    }
}

TEST(CompletionRule, NeedsEverySlotInUse) {
    const struct {
        int inUse;
        bool loaded1, loaded2, loaded3;
        bool complete;
    } cases[] = {
        {1, true, false, false, true}, {1, false, true, true, false}, {2, true, false, true, false},
        {2, true, true, false, true},  {3, true, true, false, false}, {3, true, true, true, true},
        {0, true, true, true, false},
    };
    for (const auto& c : cases) {
        GridSlots slots;
        slots.grids_in_use = c.inUse;
        slots.slot[1].loaded = c.loaded1;
        slots.slot[2].loaded = c.loaded2;
        slots.slot[3].loaded = c.loaded3;
        EXPECT_EQ(setup_complete(slots), c.complete) << c.inUse;
        double setupValid = 0;
        apply_completion_rule(slots, setupValid);
        EXPECT_EQ(setupValid, c.complete ? 1 : 0);
        setupValid = 1;  // the rule never clears it
        apply_completion_rule(slots, setupValid);
        EXPECT_EQ(setupValid, 1);
    }
}

TEST(GridSlot, RestoresWhatWasStored) {
    CameraModel model = perspective_slalom();
    model.set_coefficients({1, 2, 3, 4, 5, 6, 7, 8});
    GridSlot slot;
    store_calibration(slot, model, 3);
    EXPECT_EQ(slot.cells[19], 1);  // c1..c8 in cells 19..26
    EXPECT_EQ(slot.cells[26], 8);
    EXPECT_EQ((std::array<double, 3>{slot.cells[29], slot.cells[30], slot.cells[31]}),
              (std::array<double, 3>{10, 2, 3}));

    CameraModel restored;
    restore_calibration(slot, restored);
    EXPECT_EQ(restored.coefficients(), model.coefficients());
    EXPECT_EQ(restored.screen_x, model.screen_x);
    EXPECT_EQ(restored.survey_y, model.survey_y);
    EXPECT_EQ(restored.jump_survey_y, -300);
}

TEST(CompleteSetup, ChecksTheBoxesBeforeSolving) {
    const ReferenceBoxes marked = [] {
        ReferenceBoxes b = boxes_from_model(perspective_slalom());
        b.ul_survey_x = "2.50m";  // the value of the text is 2.5
        return b;
    }();
    const struct {
        const char* name;
        std::string ReferenceBoxes::*box;
        const char* text;
        const char* message;  // nullptr: solved
    } cases[] = {
        {"all set", &ReferenceBoxes::jump_x, "jump x", nullptr},
        {"a buoy never marked", &ReferenceBoxes::lower_right_y, "auto",
         "Warning - Not all parameters have been set up on grid"},
        {"capital AUTO passes", &ReferenceBoxes::upper_left_x, "AUTO",
         "No Unique Solution - Re-enter data"},
        {"survey input", &ReferenceBoxes::lr_survey_x, "input",
         "Warning - Not all parameters have been set up on grid"},
        {"input in a screen box is only a value", &ReferenceBoxes::upper_left_y, "input", nullptr},
    };
    for (const auto& c : cases) {
        Calibration calibration;
        calibration.model = perspective_slalom();
        if (std::string(c.name) == "capital AUTO passes") {
            // AUTO passes the check; the unmarked point at (0, 0) shared with another makes the
            // system singular.
            calibration.model.screen_x[3] = calibration.model.screen_y[3] = 0;
            calibration.model.screen_x[4] = calibration.model.screen_y[4] = 0;
        }
        ReferenceBoxes boxes = marked;
        boxes.*c.box = c.text;
        double setupValid = 0;
        const CompleteOutcome outcome = complete_setup(calibration, boxes, "f", "d", setupValid);
        if (c.message == nullptr) {
            EXPECT_TRUE(outcome.solved) << c.name;
            EXPECT_FALSE(outcome.message) << c.name;
            EXPECT_EQ(setupValid, 1) << c.name;
            EXPECT_TRUE(calibration.grids.slot[1].loaded) << c.name;
            EXPECT_EQ(calibration.model.survey_x[3], 2.5);
            EXPECT_EQ(calibration.grids.slot[1].cells[19], calibration.model.c1);
        } else {
            EXPECT_FALSE(outcome.solved) << c.name;
            ASSERT_TRUE(outcome.message) << c.name;
            EXPECT_EQ(outcome.message->text, c.message) << c.name;
            EXPECT_EQ(outcome.message->title, "Error Message");
            EXPECT_EQ(outcome.message->style, MessageStyle::Exclamation);
            EXPECT_EQ(setupValid, 0) << c.name;
            EXPECT_FALSE(calibration.grids.slot[1].loaded) << c.name;
        }
    }
}

TEST(ActivationSurveyRewrite, RewritesOnlyWhenTheUpperLeftXDiffers) {
    const struct {
        Discipline discipline;
        const char* ul_survey_x;
        bool rewritten;
    } cases[] = {
        {Discipline::Jump, "2.5", true},    {Discipline::Jump, " 4", false},
        {Discipline::Jump, "4.0m", false},  {Discipline::Slalom, "4", true},
        {Discipline::Slalom, "2.5", false}, {Discipline::Slalom, "auto", true},
    };
    for (const auto& c : cases) {
        const auto rewrite = activation_survey_rewrite(c.discipline, c.ul_survey_x);
        EXPECT_EQ(rewrite.has_value(), c.rewritten) << c.ul_survey_x;
    }
    const auto jump = activation_survey_rewrite(Discipline::Jump, "2.5");
    EXPECT_EQ(jump->ul_survey_x, "4");
    EXPECT_EQ(jump->ll_survey_x, "4");
    EXPECT_EQ(jump->ll_survey_y, "-280");
    EXPECT_EQ(jump->lr_survey_y, "-280");
}
