#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::calibration {
struct CameraModel;
}

namespace quillon::cli {

// "c1 VALUE" to "c8 VALUE", one per line, each value as %.17g.
std::string coefficient_lines(const calibration::CameraModel& model);

// Bad input of any kind: the one-line message goes to stderr and the tool exits with 2.
class BadInput : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// %.17g in the C locale, whatever the process locale: enough digits to give the double back.
std::string g17(double value);

// A number given on the command line or in an input file: the whole text must be a number in
// the calibration commands' forms (calibrationNumber).
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

std::string read_all_stdin();

void write_out(std::string_view text);

}  // namespace quillon::cli
