#include "calibration/calibration.h"

#include "calibration/solver.h"

namespace quillon::calibration {

CornerPositions corners_from_points(const CameraModel& m) {
    CornerPositions c;
    c.ur_screen_x = m.screen_x[1];
    c.ur_screen_y = m.screen_y[1];
    c.lr_screen_x = m.screen_x[2];
    c.lr_screen_y = m.screen_y[2];
    c.ul_screen_x = m.screen_x[3];
    c.ul_screen_y = m.screen_y[3];
    c.ll_screen_x = m.screen_x[4];
    c.ll_screen_y = m.screen_y[4];
    return c;
}

SetupDisplay restore_grid(Calibration& calibration, int slotNumber) {
    if (slotNumber < 1 || slotNumber > 3) {
        slotNumber = 1;  // only slots 1..3 hold calibrations
    }
    calibration.grids.current_grid = slotNumber;
    const GridSlot& slot = calibration.grids.current();
    restore_calibration(slot, calibration.model);
    calibration.corners = corners_from_points(calibration.model);
    return {boxes_from_model(calibration.model), slot.grid_file_name, slot.grid_description};
}

GridSelectOutcome select_next_grid(Calibration& calibration, std::string_view caption) {
    const GridSelection selection = next_grid_selection(caption, calibration.grids.grids_in_use,
                                                        calibration.grids.current_grid);
    GridSelectOutcome outcome;
    outcome.caption = selection.caption;
    outcome.display = restore_grid(calibration, selection.current_grid);
    outcome.loaded = calibration.grids.current().loaded;
    return outcome;
}

SetupDisplay apply_setup_file(Calibration& calibration, const SetupFileData& data,
                              std::string_view path) {
    GridSlots& grids = calibration.grids;
    grids.grids_in_use = 1;
    grids.current_grid = 1;
    GridSlot& slot = grids.current();
    slot.grid_file_name = std::string(path);
    slot.grid_marked_at.clear();
    slot.grid_description = data.description;

    CameraModel& model = calibration.model;
    for (std::size_t i = 1; i <= CameraModel::pointCount; ++i) {
        const ReferencePoint& p = data.points[i - 1];
        model.screen_x[i] = p.screen_x;
        model.screen_y[i] = p.screen_y;
        model.survey_x[i] = p.survey_x;
        model.survey_y[i] = p.survey_y;
    }
    model.set_coefficients(data.coefficients);
    model.jump_survey_x = data.jump_x;
    model.jump_survey_y = data.jump_y;
    // The bookkeeping numbers are carried along as the file holds them.
    store_calibration(slot, model, data.bookkeeping[2]);
    slot.cells[GridSlot::firstBookkeepingCell] = data.bookkeeping[0];
    slot.cells[GridSlot::firstBookkeepingCell + 1] = data.bookkeeping[1];

    calibration.corners = corners_from_points(model);
    return {boxes_from_model(model), slot.grid_file_name, slot.grid_description};
}

SetupLoadOutcome load_setup_file(Calibration& calibration, const std::string& path) {
    SetupFileRead read = read_setup_file(path);
    if (!read.data) {
        return {std::nullopt, std::move(read.problem), std::nullopt};
    }
    return {apply_setup_file(calibration, *read.data, path), std::nullopt, std::nullopt};
}

SetupLoadOutcome load_setup_file(Calibration& calibration, const std::string& path,
                                 const SetupView& now) {
    ViewedSetupRead viewed = read_setup_for_view(path, now);
    if (!viewed.read.data) {
        return {std::nullopt, std::move(viewed.read.problem), std::nullopt};
    }
    return {apply_setup_file(calibration, *viewed.read.data, path), std::nullopt,
            std::move(viewed.note)};
}

std::string finish_setup_load(Calibration& calibration, double& setupValid) {
    calibration.grids.slot[1].loaded = true;
    apply_completion_rule(calibration.grids, setupValid);
    return "Grid 1";
}

std::optional<Message> comma_in_path_problem(std::string_view path) {
    if (path.find(',') == std::string_view::npos) {
        return std::nullopt;
    }
    std::string text = "The setup file cannot be saved as \"";
    text.append(path).append(
        "\": its name holds a comma. A setup file keeps its own name on its first line, "
        "without quotes, and a comma there would make it unreadable when it is loaded. Choose a "
        "name without a comma.");
    return Message{text, applicationTitle, MessageStyle::Exclamation};
}

std::optional<Message> comma_in_description_problem(std::string_view description) {
    if (description.find(',') == std::string_view::npos) {
        return std::nullopt;
    }
    std::string text = "The description \"";
    text.append(description)
        .append(
            "\" holds a comma. A setup file keeps the description as it is typed, without quotes, "
            "so on loading the text after a comma would be read as the next value and the file "
            "would be refused. Type the description without a comma.");
    return Message{text, "Grid Description", MessageStyle::Exclamation};
}

std::optional<Message> save_setup_file(Calibration& calibration, const std::string& path,
                                       const std::string& description) {
    if (auto problem = comma_in_path_problem(path)) {
        return problem;
    }
    if (auto problem = comma_in_description_problem(description)) {
        return problem;
    }
    GridSlots& grids = calibration.grids;
    const SetupFileData data =
        setup_file_data(calibration.model, path, description, grids.current_grid);
    if (auto problem = write_setup_file(path, data)) {
        return problem;
    }
    GridSlot& slot = grids.current();
    slot.grid_file_name = path;
    slot.grid_marked_at.clear();
    slot.grid_description = description;
    store_calibration(slot, calibration.model, grids.current_grid);
    return std::nullopt;
}

Message missing_parameters_message() {
    return {"Warning - Not all parameters have been set up on grid", "Error Message",
            MessageStyle::Exclamation};
}

CompleteOutcome complete_setup(Calibration& calibration, const ReferenceBoxes& b,
                               std::string_view ipt_file_description,
                               std::string_view ipt_file_description_2, double& setupValid) {
    for (const std::string* box :
         {&b.upper_left_x, &b.upper_left_y, &b.upper_right_x, &b.upper_right_y, &b.lower_left_x,
          &b.lower_left_y, &b.lower_right_x, &b.lower_right_y}) {
        if (*box == "auto") {
            return {false, missing_parameters_message()};
        }
    }
    for (const std::string* box :
         {&b.ul_survey_x, &b.ul_survey_y, &b.ur_survey_x, &b.ur_survey_y, &b.ll_survey_x,
          &b.ll_survey_y, &b.lr_survey_x, &b.lr_survey_y}) {
        if (*box == "input") {
            return {false, missing_parameters_message()};
        }
    }

    read_survey_boxes(b, calibration.model);
    if (auto singular = solve_grid(calibration.model)) {
        return {false, std::move(singular)};
    }

    GridSlots& grids = calibration.grids;
    grids.current_grid = 1;
    GridSlot& slot = grids.current();
    slot.loaded = true;
    slot.grid_file_name = std::string(ipt_file_description);
    slot.grid_description = std::string(ipt_file_description_2);
    store_calibration(slot, calibration.model, 1);
    apply_completion_rule(grids, setupValid);
    return {true, std::nullopt};
}

}  // namespace quillon::calibration
