#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_io.h"
#include "cli/command_table.h"
#include "support/temp_folder.h"
#include "text/number_forms.h"
#include "text/number_text.h"
#include "text/text_file.h"

using namespace quillon;

namespace {

constexpr std::optional<double> refused;

// A number of a calibration command: an option value such as --limit.
std::optional<double> calibration_argument(std::string_view text) {
    try {
        return cli::number_argument(text, "--limit");
    } catch (const cli::BadInput&) {
        return std::nullopt;
    }
}

// The first of the two numbers of "X,Y" given to --jump.
std::optional<double> pair_field(std::string_view text) {
    try {
        return cli::pair_argument(cli::joined({text, ",7"}), "--jump").a;
    } catch (const cli::BadInput&) {
        return std::nullopt;
    }
}

// The first field of a line of a POINTS file or of map's stdin.
std::optional<double> line_field(std::string_view text) {
    const std::string line = cli::joined({text, ",7"});
    try {
        return cli::numbers_of_line({1, line}, 2, "stdin").front();
    } catch (const cli::BadInput&) {
        return std::nullopt;
    }
}

// A line of a report's SAMPLES file, and the value of its --line option.
std::optional<double> deviation(std::string_view text) {
    return text::parse_number(text, text::decimalNumber);
}

}  // namespace

// What each use takes as a number and what it makes of it. The calibration commands read their
// numbers as setup files hold them (a D exponent too, a value too small for a double is 0); a
// report's deviations are plain decimal numbers.
TEST(CliNumbers, EachUseTakesItsOwnForms) {
    const struct {
        std::string_view text;
        std::optional<double> calibration;  // arguments, --jump fields, POINTS and stdin fields
        std::optional<double> deviation;    // SAMPLES lines, report --line
    } forms[] = {
        {"58", 58, 58},
        {"-259", -259, -259},
        {"+0.3", 0.3, 0.3},
        {"-.12", -.12, -.12},
        {".5", .5, .5},
        {"5.", 5, 5},
        {"007", 7, 7},
        {"0.05", 0.05, 0.05},
        {"1e-2", 0.01, 0.01},
        {"1E+2", 100, 100},
        {"5.e3", 5000, 5000},
        {"1.5E-05", 1.5e-05, 1.5e-05},
        {" \t2.5 \t", 2.5, 2.5},
        {"2.4703282292062328e-324", 5e-324, 5e-324},
        {"1.5D-05", 1.5e-05, refused},
        {"2d3", 2000, refused},
        {"1e-400", 0, refused},
        {"-1e-400", 0, refused},
        {"1e400", refused, refused},
        {"", refused, refused},
        {" \t", refused, refused},
        {"-", refused, refused},
        {".", refused, refused},
        {"+-1", refused, refused},
        {"- 1", refused, refused},
        {"1 2", refused, refused},
        {"1e", refused, refused},
        {"1e+", refused, refused},
        {".e1", refused, refused},
        {"e1", refused, refused},
        {"1.2.3", refused, refused},
        {"inf", refused, refused},
        {"-nan", refused, refused},
        {"0x10", refused, refused},
        {"1_000", refused, refused},
        {"1\r", refused, refused},
        {"zero", refused, refused},
    };
    for (const auto& form : forms) {
        EXPECT_EQ(calibration_argument(form.text), form.calibration) << '"' << form.text << '"';
        EXPECT_EQ(pair_field(form.text), form.calibration) << '"' << form.text << '"';
        EXPECT_EQ(line_field(form.text), form.calibration) << '"' << form.text << '"';
        EXPECT_EQ(deviation(form.text), form.deviation) << '"' << form.text << '"';
    }
    // A comma ends a field of "X,Y" and of an input line: "1,5" is two numbers, not one.
    EXPECT_EQ(calibration_argument("1,5"), refused);
    EXPECT_EQ(deviation("1,5"), refused);
    EXPECT_EQ(line_field("1,5"), refused);
}

// --speed takes the km/h as bare digits; --line takes a plain decimal number and compares it
// with the Start screen's captions.
TEST(CliNumbers, ReportSpeedAndLineTakeTheirOwnForms) {
    const test_support::TempFolder folder;
    const std::string results = folder.file("results");
    std::filesystem::create_directory(results);
    std::string samples;
    for (int k = 0; k < 162; ++k) {
        samples += text::number_text(k % 30 / 100.0);
        samples += '\n';
    }
    ASSERT_TRUE(text::replace_file(folder.file("samples.txt"), samples).ok);

    const struct {
        const char* option;
        const char* text;
        bool taken;
    } options[] = {
        {"--speed", "58", true},     {"--speed", "058", true},   {"--speed", "+58", false},
        {"--speed", " 58", false},   {"--speed", "58 ", false},  {"--speed", "58.0", false},
        {"--speed", "5.8e1", false}, {"--speed", "-58", false},  {"--speed", "58x", false},
        {"--speed", "", false},      {"--line", "16", true},     {"--line", " +16.00 ", true},
        {"--line", "1.6e1", true},   {"--line", "16.000", true}, {"--line", "1.6D1", false},
        {"--line", "16,00", false},  {"--line", "16.01", false}, {"--line", "", false},
    };
    for (const auto& o : options) {
        std::istringstream in;
        std::ostringstream out;
        std::ostringstream err;
        const int status = cli::run_command(
            {"report", folder.file("samples.txt"), "--results", results, o.option, o.text},
            {in, out, err});
        EXPECT_EQ(status, o.taken ? 0 : 2) << o.option << " \"" << o.text << "\": " << err.str();
        if (!o.taken) {
            EXPECT_TRUE(err.str().starts_with(o.option)) << err.str();
        }
    }
}
