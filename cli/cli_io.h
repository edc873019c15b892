#pragma once

#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "text/date_time.h"

namespace quillon::calibration {
struct CameraModel;
}

namespace quillon::cli {

struct CommandIo;

// "c1 VALUE" to "c8 VALUE", one per line, each value as %.17g.
std::string coefficient_lines(const calibration::CameraModel& model);

// Bad input of any kind: the subcommand refuses it with one line on stderr and exit code 2.
class BadInput : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Refuses the command line: BadInput with the message and a pointer to --help.
[[noreturn]] void refuse(std::string message);

// How a subcommand words its refusals on stderr.
struct RefusalWording {
    std::string_view badInputPrefix;  // before the message of a BadInput
    std::string_view failurePrefix;   // before the text of any other exception
    bool oneLine = true;              // line breaks in the text become blanks
};
// The calibration commands and the command names: the message alone, one line whatever it holds.
inline constexpr RefusalWording plainRefusals{"", "quillon-cli stopped: ", true};

// Runs a subcommand's work and gives back its exit code. A BadInput, or any other exception,
// that the work throws instead becomes one line on io.err and exit code 2.
int run_guarded(const CommandIo& io, const RefusalWording& wording,
                const std::function<int()>& work);

// Runs a subcommand whose whole output is one text, worded as plainRefusals: the text goes to
// io.out only when nothing was refused. Exit code 0, or 2 when io.out cannot take the text.
int run_printing(const CommandIo& io, const std::function<std::string()>& work);

// The parts one after another (messages are built with this, never with "lit" + string).
std::string joined(std::initializer_list<std::string_view> parts);

// %.17g in the C locale, whatever the process locale: enough digits to give the double back.
std::string g17(double value);

// A number given on the command line or in an input file: the whole text must be a number in
// the calibration commands' forms (text::setupNumber).
double number_argument(std::string_view text, std::string_view what);

// "X,Y": two numbers separated by one comma.
struct NumberPair {
    double a = 0;
    double b = 0;
};
NumberPair pair_argument(std::string_view text, std::string_view what);

// The lines of a text (CR LF, LF or CR), with lines holding only blanks left out; each comes
// with its 1-based line number.
struct NumberedLine {
    std::size_t number = 0;
    std::string_view text;
};
std::vector<NumberedLine> non_blank_lines(std::string_view text);

// The comma-separated numbers of one input line: exactly `count` of them, none empty.
std::vector<double> numbers_of_line(const NumberedLine& line, std::size_t count,
                                    std::string_view source);

// Everything left in a stream: stdin for quillon-cli. BadInput when it cannot be read.
std::string read_all(std::istream& in);

// The local date and time of the clock.
text::CivilDateTime local_now();

}  // namespace quillon::cli
