#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calibration/accuracy_grid.h"
#include "text/date_time.h"

namespace quillon::cli {

enum class Command { Help, Solve, Map, Check, Accuracy };
enum class MapDirection { ToSurvey, ToScreen };

// The command line, checked: what to do and with what.
struct Arguments {
    Command command = Command::Help;
    std::string input;  // POINTS or SETUP.ipt
    // solve
    std::optional<std::string> writeTo;
    std::string description;
    std::optional<std::pair<double, double>> jump;
    // map
    MapDirection direction = MapDirection::ToSurvey;
    // check, accuracy
    std::string screenWidthPx = "1024";
    // accuracy
    std::string resultsFolder;
    calibration::AccuracyDisplay display = calibration::AccuracyDisplay::Detail;
    std::optional<text::CivilDateTime> now;
};

// Throws BadInput with a one-line message for anything it cannot use.
Arguments parse_arguments(const std::vector<std::string>& args);

// "MM-DD-YYYY HH:MM:SS".
text::CivilDateTime parse_now(std::string_view text);

extern const char* const usageText;

}  // namespace quillon::cli
