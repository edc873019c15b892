#include "calibration/grid_slots.h"

namespace quillon::calibration {

void store_calibration(GridSlot& slot, const CameraModel& model, double slotNumber) {
    auto& cells = slot.cells;
    for (std::size_t i = 1; i <= CameraModel::pointCount; ++i) {
        const std::size_t first = GridSlot::firstPointCell + 4 * (i - 1);
        cells[first] = model.screen_x[i];
        cells[first + 1] = model.screen_y[i];
        cells[first + 2] = model.survey_x[i];
        cells[first + 3] = model.survey_y[i];
    }
    const auto c = model.coefficients();
    for (std::size_t k = 0; k < c.size(); ++k) {
        cells[GridSlot::firstCoefficientCell + k] = c[k];
    }
    cells[GridSlot::jumpXCell] = model.jump_survey_x;
    cells[GridSlot::jumpYCell] = model.jump_survey_y;
    cells[GridSlot::firstBookkeepingCell] = 10;
    cells[GridSlot::firstBookkeepingCell + 1] = 2;
    cells[GridSlot::firstBookkeepingCell + 2] = slotNumber;
}

void restore_calibration(const GridSlot& slot, CameraModel& model) {
    const auto& cells = slot.cells;
    for (std::size_t i = 1; i <= CameraModel::pointCount; ++i) {
        const std::size_t first = GridSlot::firstPointCell + 4 * (i - 1);
        model.screen_x[i] = cells[first];
        model.screen_y[i] = cells[first + 1];
        model.survey_x[i] = cells[first + 2];
        model.survey_y[i] = cells[first + 3];
    }
    std::array<double, 8> c{};
    for (std::size_t k = 0; k < c.size(); ++k) {
        c[k] = cells[GridSlot::firstCoefficientCell + k];
    }
    model.set_coefficients(c);
    model.jump_survey_x = cells[GridSlot::jumpXCell];
    model.jump_survey_y = cells[GridSlot::jumpYCell];
}

GridSelection next_grid_selection(std::string_view caption, int grids_in_use, int current_grid) {
    if (caption == "Grid 1") {
        return {"Grid 2", 2};
    }
    if (caption == "Grid 2") {
        if (grids_in_use == 3) {
            return {"Grid 3", 3};
        }
        return {"Grid 1", 1};
    }
    if (caption == "Grid 3") {
        return {"Grid 1", 1};
    }
    return {std::string(caption), current_grid};
}

bool setup_complete(const GridSlots& slots) {
    switch (slots.grids_in_use) {
        case 1:
            return slots.grid1_loaded();
        case 2:
            return slots.grid1_loaded() && slots.grid2_loaded();
        case 3:
            return slots.grid1_loaded() && slots.grid2_loaded() && slots.grid3_loaded();
        default:
            return false;
    }
}

void apply_completion_rule(const GridSlots& slots, double& setupValid) {
    if (setup_complete(slots)) {
        setupValid = 1;
    }
}

}  // namespace quillon::calibration
