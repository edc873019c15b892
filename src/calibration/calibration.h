#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calibration/camera_model.h"
#include "calibration/grid_slots.h"
#include "calibration/message.h"
#include "calibration/reference_boxes.h"
#include "calibration/setup_file.h"
#include "calibration/setup_view.h"

namespace quillon::calibration {

// The marked screen position of each buoy (twips), kept beside the point arrays for drawing
// the marking crosses.
struct CornerPositions {
    double ul_screen_x = 0, ul_screen_y = 0;
    double ur_screen_x = 0, ur_screen_y = 0;
    double ll_screen_x = 0, ll_screen_y = 0;
    double lr_screen_x = 0, lr_screen_y = 0;

    friend bool operator==(const CornerPositions&, const CornerPositions&) = default;
};

// Everything the Setup screen calibrates and the Measure screen uses: the working camera
// model, the grid slots and the marked corners.
struct Calibration {
    CameraModel model;
    GridSlots grids;
    CornerPositions corners;
    // The radius of the circle markers last drawn round the marked buoys (twips): twice the
    // cross size of that drawing, so that a later mark can erase them.
    double marker_circle_radius = 180;

    friend bool operator==(const Calibration&, const Calibration&) = default;
};

// The corners from points 1..4 (upper right, lower right, upper left, lower left).
CornerPositions corners_from_points(const CameraModel& model);

// What the Setup screen shows for a calibration put in place: the twenty boxes and the two
// description boxes.
struct SetupDisplay {
    ReferenceBoxes boxes;
    std::string ipt_file_description;
    std::string ipt_file_description_2;
};

// Makes `slotNumber` current and puts its calibration into the working state (points,
// coefficients, jump point, corners); a number outside 1..3 means slot 1. Returns what the
// boxes show for it.
SetupDisplay restore_grid(Calibration& calibration, int slotNumber);

// The grid_select button: moves to the next slot by the button's caption and restores it.
// After filling the boxes the screen shows the loaded sign when `loaded` is set and applies
// the completion rule.
struct GridSelectOutcome {
    std::string caption;
    SetupDisplay display;
    bool loaded = false;
};
GridSelectOutcome select_next_grid(Calibration& calibration, std::string_view caption);

// Load of a setup file that parse_setup_file accepted: one slot in use, slot 1 current and
// holding the file (its path, description and every value, bookkeeping included), the working
// state and corners set from it. Returns what the boxes show. The screen then fills the boxes,
// appends the "Twips" entry to "results_file.txt", runs grid_check and calls
// finish_setup_load.
SetupDisplay apply_setup_file(Calibration& calibration, const SetupFileData& data,
                              std::string_view path);

// Reads the file and, only when it can be used as a whole, applies it as apply_setup_file
// does. A refused file changes nothing and its message comes back.
struct SetupLoadOutcome {
    std::optional<SetupDisplay> display;
    std::optional<Message> problem;
    // Loaded, but a view file beside it was not used: why, for the operator.
    std::optional<Message> note;
};
SetupLoadOutcome load_setup_file(Calibration& calibration, const std::string& path);
// The same on the surface `now`: the marks and coefficients moved onto it when the view file
// beside the setup file says where they were made (read_setup_for_view).
SetupLoadOutcome load_setup_file(Calibration& calibration, const std::string& path,
                                 const SetupView& now);

// The end of a load: slot 1 marked loaded, the completion rule applied. Returns the caption
// of the slot selector, "Grid 1".
std::string finish_setup_load(Calibration& calibration, double& setupValid);

// A setup file holds its path (line 1) and the description (line 2) as they are, with no
// quotes, and reads each back as one item that ends at a comma: a comma in either would move
// every later value one item on. These give the refusal to show for such a text, or nothing.
std::optional<Message> comma_in_path_problem(std::string_view path);
std::optional<Message> comma_in_description_problem(std::string_view description);

// Save: writes the working calibration to `path` with the descriptive line. Only once the
// file is written does the current slot take the path, the description and the values.
// Returns the message to show on failure (a comma in the path or the description included);
// nothing changes then.
std::optional<Message> save_setup_file(Calibration& calibration, const std::string& path,
                                       const std::string& description);

// The Complete button, up to the log entry: the completeness check ("auto" in a screen box or
// "input" in a survey box, exact and case-sensitive), the solve from the survey boxes, then
// slot 1 current, loaded and stored with the description boxes, and the completion rule.
// On a missing input or a singular system the message to show comes back and neither the
// slots nor setupValid change. Whatever the outcome, the screen then appends the "Pixels"
// entry to "results_file.txt".
struct CompleteOutcome {
    bool solved = false;
    std::optional<Message> message;
};
CompleteOutcome complete_setup(Calibration& calibration, const ReferenceBoxes& boxes,
                               std::string_view ipt_file_description,
                               std::string_view ipt_file_description_2, double& setupValid);

// "Warning - Not all parameters have been set up on grid", title "Error Message", style 48.
Message missing_parameters_message();

}  // namespace quillon::calibration
