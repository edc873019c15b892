#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/date_time.h"

namespace quillon::cli {

// The words after a calibration command's name: its input file, then its options, taken one
// by one. Every refusal is a BadInput that points to --help.
class CommandWords {
  public:
    // Refuses the words when the input file is missing or empty: "The command map needs a
    // setup file." for inputName "a setup file".
    CommandWords(const std::vector<std::string>& args, std::string_view command,
                 std::string_view inputName);

    const std::string& input() const { return args_.front(); }
    bool done() const { return next_ >= args_.size(); }
    const std::string& next_option() { return args_[next_++]; }
    // The word after an option that takes a value.
    const std::string& value_of(const std::string& option);
    [[noreturn]] void refuse_unknown(const std::string& option) const;

  private:
    const std::vector<std::string>& args_;
    std::string command_;
    std::size_t next_ = 1;
};

// --screen-width PX: a number above 0, kept as given for the grid check.
std::string screen_width_argument(const std::string& text);

// --now "MM-DD-YYYY HH:MM:SS".
text::CivilDateTime parse_now(std::string_view text);

}  // namespace quillon::cli
