#pragma once

#include <array>
#include <string>
#include <string_view>

#include "calibration/camera_model.h"

namespace quillon::calibration {

// A stored calibration. Cells 0..40, of which these are used:
//   3 + 4(i-1) .. 6 + 4(i-1)  screen x, screen y, survey x, survey y of point i = 1..4
//   19..26                    c1..c8
//   27, 28                    the jump point x, y
//   29, 30, 31                bookkeeping: 10, 2 and a slot number (lines 17-19 of a setup file)
struct GridSlot {
    static constexpr std::size_t cellCount = 41;
    static constexpr std::size_t firstPointCell = 3;
    static constexpr std::size_t firstCoefficientCell = 19;
    static constexpr std::size_t jumpXCell = 27;
    static constexpr std::size_t jumpYCell = 28;
    static constexpr std::size_t firstBookkeepingCell = 29;

    std::string grid_file_name;
    std::string grid_description;
    // When the calibration was marked on the Setup screen ("2026-12-06 14:05"); empty for one
    // that came from, or was saved to, a setup file.
    std::string grid_marked_at;
    bool loaded = false;
    std::array<double, cellCount> cells{};

    friend bool operator==(const GridSlot&, const GridSlot&) = default;
};

// Slots 1..3 hold calibrations (slot 0 exists and is never used); current_grid is the slot
// whose calibration is in the working state, grids_in_use the number of slots the setup needs.
struct GridSlots {
    std::array<GridSlot, 4> slot{};
    int current_grid = 1;
    int grids_in_use = 1;

    bool grid1_loaded() const { return slot[1].loaded; }
    bool grid2_loaded() const { return slot[2].loaded; }
    bool grid3_loaded() const { return slot[3].loaded; }

    GridSlot& current() { return slot[static_cast<std::size_t>(current_grid)]; }
    const GridSlot& current() const { return slot[static_cast<std::size_t>(current_grid)]; }

    friend bool operator==(const GridSlots&, const GridSlots&) = default;
};

// The slot's calibration cells from the working state: points 1..4, c1..c8, the jump point,
// then 10, 2 and `slotNumber`.
void store_calibration(GridSlot& slot, const CameraModel& model, double slotNumber);

// Points 1..4, c1..c8 and the jump point from the slot's cells into the working state. A slot
// that was never written restores as zeros.
void restore_calibration(const GridSlot& slot, CameraModel& model);

// The slot selector: the caption after `caption` ("Grid 1" -> "Grid 2" -> "Grid 1" with fewer
// than three slots in use, "Grid 2" -> "Grid 3" -> "Grid 1" with three), and the slot it
// selects. An unknown caption selects nothing: caption and slot stay.
struct GridSelection {
    std::string caption;
    int current_grid = 1;
};
GridSelection next_grid_selection(std::string_view caption, int grids_in_use, int current_grid);

// The completion rule: the setup is complete when every slot in use (1 to grids_in_use) holds
// a calibration.
bool setup_complete(const GridSlots& slots);

// Sets setupValid to 1 when the rule says complete; leaves it as it is otherwise.
void apply_completion_rule(const GridSlots& slots, double& setupValid);

}  // namespace quillon::calibration
