#pragma once

#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <stdexcept>
#include <streambuf>
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

// A message as one line of plain ASCII, ended by a line end: control characters and bytes
// above 0x7F (a binary file's bytes, a name typed with a line break) are shown escaped as \n,
// \r, \t or \xNN, so a message never breaks over two lines or sends raw bytes to a terminal.
std::string message_line(std::string_view text);

// What a text typed for a file line holds that no such line can keep: "a line break" (CR or
// LF), "a control character" (any other below 0x20, or DEL), or nothing.
const char* control_character_in(std::string_view text);

// The one way a command refuses: runs its work and gives back its exit code; a BadInput, or
// any other exception ("quillon-cli stopped: " and its text), that the work throws instead
// becomes one line on io.err (message_line) and exit code 2.
int run_guarded(const CommandIo& io, const std::function<int()>& work);

// stdout of quillon-cli as a stream buffer that keeps the system's error of the first write
// that failed (a full disk, /dev/full, a closed pipe), so that the command can name it. After
// a failure the rest of the output is dropped and the stream goes bad.
class DescriptorOutput : public std::streambuf {
  public:
    explicit DescriptorOutput(int descriptor);
    ~DescriptorOutput() override;
    DescriptorOutput(const DescriptorOutput&) = delete;
    DescriptorOutput& operator=(const DescriptorOutput&) = delete;

    // The errno of the first failed write; 0 while every write went through.
    int error() const { return error_; }

  protected:
    int_type overflow(int_type c) override;
    int sync() override;

  private:
    bool write_buffer();

    int descriptor_;
    int error_ = 0;
    char buffer_[65536];
};

// Ends a command that gave exitCode: flushes io.out and, when any of its output was lost,
// says so in one line on io.err ("The output of quillon-cli NAME could not be written: No
// space left on device.") and gives exit code 1. Otherwise exitCode.
int finish_output(const CommandIo& io, std::string_view command, int exitCode);

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

// What a reader of stdin takes at most: far more than any list of pairs, far less than the
// machine's memory when stdin is /dev/zero.
inline constexpr std::size_t maxStdinBytes = 64u * 1024u * 1024u;

// Everything left in a stream: stdin for quillon-cli. BadInput when it cannot be read, or when
// it holds more than maxBytes (nothing past that is read).
std::string read_all(std::istream& in, std::size_t maxBytes = maxStdinBytes);

// The local date and time of the clock.
text::CivilDateTime local_now();

}  // namespace quillon::cli
