#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "calibration/camera_model.h"
#include "calibration/message.h"

namespace quillon::calibration {

// One reference point: screen position (twips) and survey position (metres).
struct ReferencePoint {
    double screen_x = 0;
    double screen_y = 0;
    double survey_x = 0;
    double survey_y = 0;

    friend bool operator==(const ReferencePoint&, const ReferencePoint&) = default;
};

// The content of a setup file (".ipt"), 19 lines:
//   1      "Initialization Points for file: " + the file's path (read back and discarded)
//   2      a descriptive line
//   3..6   points 1..4 (upper right, lower right, upper left, lower left):
//          screen x, screen y, survey x, survey y
//   7..14  c1..c8
//   15, 16 the jump point x, y
//   17..19 bookkeeping numbers: 10, 2 and the grid slot the file was saved from
struct SetupFileData {
    std::string header;
    std::string description;
    std::array<ReferencePoint, CameraModel::pointCount> points{};
    std::array<double, 8> coefficients{};
    double jump_x = 0;
    double jump_y = 0;
    std::array<double, 3> bookkeeping{10, 2, 1};

    friend bool operator==(const SetupFileData&, const SetupFileData&) = default;
};

inline constexpr std::string_view setupFileHeaderPrefix = "Initialization Points for file: ";
inline constexpr int setupFileLineCount = 19;

// What a save of the model writes: its points 1..4, whatever c1..c8 hold (zeros before any
// solve), the jump point, and 10, 2, slot.
SetupFileData setup_file_data(const CameraModel& model, std::string_view path,
                              std::string description, int slot);

// The file's text: every number in the printed form (" 7200 "), a point line the four printed
// numbers joined by "," (" 7200 , 1500 , 0 ,-259 "), lines 1 and 2 as they are, CR LF after
// every line.
std::string setup_file_text(const SetupFileData& data);

// The outcome of reading a setup file: the data, or the reason it cannot be used.
struct SetupFileRead {
    std::optional<SetupFileData> data;
    Message problem;
};

// Reads the content of a setup file item by item (an item ends at a comma or a line end).
// Lines 1 and 2 are one item each, so a comma in either moves every later value one item on;
// the file is refused as a whole when it ends early or when an item read as a number is not
// one (an empty item is 0). `path` only names the file in the message. Any bytes at all are
// accepted as input: binary, empty or huge content gives a refusal, never a crash.
SetupFileRead parse_setup_file(std::string_view bytes, std::string_view path);

// Reads and parses the file at `path`; its bytes into `bytes` when asked for.
SetupFileRead read_setup_file(const std::string& path, std::string* bytes = nullptr);

// Writes the file, replacing any old one only once the new content is complete. Returns the
// message to show on failure.
std::optional<Message> write_setup_file(const std::string& path, const SetupFileData& data);

}  // namespace quillon::calibration
