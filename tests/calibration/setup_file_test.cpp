#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <random>
#include <system_error>

#include "calibration/calibration.h"
#include "calibration/number_field.h"
#include "calibration/setup_file.h"
#include "calibration/solver.h"
#include "calibration_test_support.h"
#include "text/text_file.h"

using namespace quillon::calibration;
using namespace quillon::calibration::testing;
using quillon::text::read_file;
using quillon::text::replace_file;

namespace {

// A setup file as the program writes it, with the description and the values given.
std::string file_with(const std::string& description, const std::string& firstPointLine) {
    std::string text = "Initialization Points for file: /data/north.ipt\r\n";
    text += description;
    text += "\r\n";
    text += firstPointLine;
    text += "\r\n";
    text +=
        " 12300 , 11000 , 0 ,-259 \r\n"
        " 7100 , 3050 , 2.5 , 0 \r\n"
        " 2900 , 11200 , 2.5 ,-259 \r\n";
    for (int k = 1; k <= 8; ++k) {
        text += ' ';
        text += std::to_string(k);
        text += " \r\n";
    }
    text += " 1.25 \r\n-300 \r\n 10 \r\n 2 \r\n 1 \r\n";
    return text;
}

const char* firstPoint = " 8200 , 3000 , 0 , 0 ";

}  // namespace

TEST(NumberField, AcceptsOnlyANumberAndNothingElse) {
    const struct {
        const char* field;
        std::optional<double> value;
    } cases[] = {
        {"7200", 7200},
        {" -259 ", -259},
        {"", 0},
        {"  \t", 0},
        {".5", 0.5},
        {"-.25", -0.25},
        {"+3.", 3},
        {"1.5E-05", 1.5e-5},
        {"2e3", 2000},
        {"1D2", 100},
        {"1e-400", 0},
        {"0e999", 0},
        {"1e400", std::nullopt},
        {"camera 2", std::nullopt},
        {"2.50m", std::nullopt},
        {"1 2", std::nullopt},
        {"- 3", std::nullopt},
        {".", std::nullopt},
        {"-", std::nullopt},
        {"1e", std::nullopt},
        {"1.2.3", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"0x10", std::nullopt},
        {"1,5", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(number_field(c.field), c.value) << '"' << c.field << '"';
    }
}

TEST(SetupFileText, WritesNineteenPrintedLines) {
    CameraModel model = perspective_slalom();
    model.set_coefficients({0.5, -0.25, 12, 1.5e-5, 0, -3, 7200, 1e15});
    const std::string text =
        setup_file_text(setup_file_data(model, "/data/north.ipt", "North lake", 2));
    EXPECT_EQ(text,
              "Initialization Points for file: /data/north.ipt\r\n"
              "North lake\r\n"
              " 8200 , 3000 , 0 , 0 \r\n"
              " 12300 , 11000 , 0 ,-259 \r\n"
              " 7100 , 3050 , 2.5 , 0 \r\n"
              " 2900 , 11200 , 2.5 ,-259 \r\n"
              " .5 \r\n-.25 \r\n 12 \r\n 1.5E-05 \r\n 0 \r\n-3 \r\n 7200 \r\n 1E+15 \r\n"
              " 1.25 \r\n-300 \r\n"
              " 10 \r\n 2 \r\n 2 \r\n");
}

TEST_F(TempFolder, SaveBeforeAnySolveWritesZeroCoefficients) {
    Calibration calibration;
    ASSERT_FALSE(save_setup_file(calibration, path("blank.ipt"), ""));
    const std::string text = read_file(path("blank.ipt")).bytes;
    std::string zeros = " 0 , 0 , 0 , 0 \r\n";
    for (int k = 0; k < 8; ++k) {
        zeros += " 0 \r\n";
    }
    EXPECT_NE(text.find(zeros), std::string::npos) << text;
}

TEST_F(TempFolder, SaveAndLoadGiveBackTheCalibration) {
    Calibration saved;
    saved.model = perspective_slalom();
    ASSERT_FALSE(solve_grid(saved.model));
    ASSERT_FALSE(save_setup_file(saved, path("north.ipt"), "North lake camera 2"));
    EXPECT_EQ(saved.grids.slot[1].grid_description, "North lake camera 2");

    Calibration loaded;
    loaded.grids.current_grid = 2;
    const auto outcome = load_setup_file(loaded, path("north.ipt"));
    ASSERT_TRUE(outcome.display) << outcome.problem->text;
    EXPECT_EQ(loaded.grids.current_grid, 1);
    for (std::size_t i = 1; i <= 4; ++i) {
        EXPECT_EQ(loaded.model.screen_x[i], saved.model.screen_x[i]);
        EXPECT_EQ(loaded.model.screen_y[i], saved.model.screen_y[i]);
        EXPECT_EQ(loaded.model.survey_x[i], saved.model.survey_x[i]);
        EXPECT_EQ(loaded.model.survey_y[i], saved.model.survey_y[i]);
    }
    const auto a = saved.model.coefficients();
    const auto b = loaded.model.coefficients();
    for (std::size_t k = 0; k < 8; ++k) {
        EXPECT_TRUE(close(a[k], b[k], 1e-14)) << "c" << k + 1;
    }
    EXPECT_EQ(loaded.model.jump_survey_x, 1.25);
    EXPECT_EQ(loaded.model.jump_survey_y, -300);
    EXPECT_EQ(outcome.display->ipt_file_description, path("north.ipt"));
    EXPECT_EQ(outcome.display->ipt_file_description_2, "North lake camera 2");
    EXPECT_EQ(outcome.display->boxes.lower_right_y, " 11000");
    EXPECT_EQ(outcome.display->boxes.ll_survey_y, "-259");
    EXPECT_EQ(outcome.display->boxes.jump_x, " 1.25");
    EXPECT_EQ(loaded.corners.ll_screen_x, 2900);
    EXPECT_EQ(loaded.grids.slot[1].cells[19], b[0]);
    EXPECT_EQ(loaded.grids.slot[1].cells[31], 1);

    double setupValid = 0;
    EXPECT_EQ(finish_setup_load(loaded, setupValid), "Grid 1");
    EXPECT_EQ(setupValid, 1);
}

// Any line ends and any script in the file's name read the same; a file of hundreds of
// megabytes is refused after reading its first megabyte.
TEST_F(TempFolder, ReadsAnyLineEndsAndNamesAndRefusesHugeFiles) {
    const std::string crlf = file_with("North lake", firstPoint);
    const auto expected = parse_setup_file(crlf, "x").data;
    ASSERT_TRUE(expected);
    auto with_line_ends = [&crlf](const std::string& end) {
        std::string text;
        for (std::size_t at = 0, next; (next = crlf.find("\r\n", at)) != std::string::npos;
             at = next + 2) {
            text += crlf.substr(at, next - at) + end;
        }
        return text;
    };
    const struct {
        const char* name;
        std::string content;
    } files[] = {{"Ålesund Øst.ipt", crlf},
                 {"Озеро Север.ipt", with_line_ends("\n")},
                 {"北湖 2.ipt", with_line_ends("\r")}};
    for (const auto& f : files) {
        ASSERT_TRUE(replace_file(path(f.name), f.content));
        const auto read = read_setup_file(path(f.name));
        ASSERT_TRUE(read.data) << read.problem.text;
        EXPECT_TRUE(*read.data == *expected) << f.name;
    }

    std::filesystem::resize_file(path("Ålesund Øst.ipt"), 300u << 20);  // sparse
    const auto huge = read_setup_file(path("Ålesund Øst.ipt"));
    EXPECT_FALSE(huge.data);
    EXPECT_EQ(huge.problem.text, "Setup file \"" + path("Ålesund Øst.ipt") + "\" cannot be read: " +
                                     std::generic_category().message(EFBIG) + ".");
}

TEST(ParseSetupFile, ACommaInTheDescriptionShiftsTheValues) {
    // "Lake 2, 7": the 7 becomes point 1's screen x and every later value moves one field on;
    // the last line's number is never read.
    const auto shifted = parse_setup_file(file_with("Lake 2, 7", firstPoint), "/x/a.ipt");
    ASSERT_TRUE(shifted.data) << shifted.problem.text;
    EXPECT_EQ(shifted.data->description, "Lake 2");
    EXPECT_EQ(shifted.data->points[0], (ReferencePoint{7, 8200, 3000, 0}));
    EXPECT_EQ(shifted.data->points[1], (ReferencePoint{0, 12300, 11000, 0}));
    EXPECT_EQ(shifted.data->coefficients[0], -259);
    EXPECT_EQ(shifted.data->coefficients[1], 1);
    EXPECT_EQ(shifted.data->jump_x, 8);
    EXPECT_EQ(shifted.data->bookkeeping, (std::array<double, 3>{-300, 10, 2}));

    // "North lake, camera 2": the shifted text is not a number, so the file is refused.
    const auto refused =
        parse_setup_file(file_with("North lake, camera 2", firstPoint), "/x/a.ipt");
    EXPECT_FALSE(refused.data);
    EXPECT_EQ(refused.problem.text,
              "Setup file \"/x/a.ipt\" cannot be used: line 3 holds \"camera 2\" where a number "
              "is expected (the text stands on line 2: a comma in the descriptive line moves "
              "every later value one field on).");
    EXPECT_EQ(refused.problem.style, MessageStyle::Exclamation);
}

TEST(ParseSetupFile, RefusesFilesThatCannotBeUsed) {
    const std::string good = file_with("North lake", firstPoint);
    const std::string cutAfterC6 = good.substr(0, good.find(" 7 \r\n"));
    const struct {
        std::string content;
        const char* reason;
    } cases[] = {
        {cutAfterC6, "it ends before line 13 (coefficient c7) where 19 lines are expected."},
        {good.substr(0, good.find(" 1 \r\n", good.find(" 2 \r\n 1"))),
         "it ends before line 19 (a bookkeeping number) where 19 lines are expected."},
        {"", "it is empty."},
        {file_with("North lake", " 8200 , 3000 , O , 0 "),
         "line 3 holds \"O\" where a number is expected."},
        {[&good] {
             std::string text = good;
             return text.replace(text.find(" 3 \r\n"), 5, " 3a \r\n");
         }(),
         "line 9 holds \"3a\" where a number is expected."},
        // A control byte anywhere: a binary file, whose bytes are not quoted and whose
        // shifted fields are not blamed on a comma in the descriptive line.
        {file_with("North lake", " 8200 , 3000 , 0 , 0\x01 "),
         "it is not a text file (it holds control bytes such as NUL)."},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR, \xff\xfe", 20),
         "it is not a text file (it holds control bytes such as NUL)."},
    };
    for (const auto& c : cases) {
        const auto read = parse_setup_file(c.content, "/x/a.ipt");
        EXPECT_FALSE(read.data) << c.reason;
        EXPECT_EQ(read.problem.text,
                  std::string("Setup file \"/x/a.ipt\" cannot be used: ") + c.reason);
    }
}

TEST_F(TempFolder, ARefusedFileChangesNothing) {
    Calibration calibration;
    calibration.model = perspective_slalom();
    ASSERT_FALSE(solve_grid(calibration.model));
    ASSERT_FALSE(save_setup_file(calibration, path("good.ipt"), "kept"));
    calibration.grids.slot[1].loaded = true;
    calibration.grids.current_grid = 2;
    const Calibration before = calibration;

    const std::string good = read_file(path("good.ipt")).bytes;
    ASSERT_TRUE(replace_file(path("short.ipt"), good.substr(0, good.size() / 2)));
    std::string bad = good;
    bad.replace(bad.find("2.5"), 3, "2,5x");
    ASSERT_TRUE(replace_file(path("bad.ipt"), bad));

    for (const char* name : {"short.ipt", "bad.ipt", "missing.ipt"}) {
        const auto outcome = load_setup_file(calibration, path(name));
        EXPECT_FALSE(outcome.display) << name;
        ASSERT_TRUE(outcome.problem) << name;
        EXPECT_NE(outcome.problem->text.find(path(name)), std::string::npos)
            << outcome.problem->text;
        EXPECT_TRUE(calibration == before) << name;
    }
}

TEST_F(TempFolder, AFailedSaveChangesNothing) {
    Calibration calibration;
    calibration.model = perspective_slalom();
    const Calibration before = calibration;
    // A folder that is not there, and a comma in the description or the name, which the file
    // would give back shifted by one value.
    const struct {
        std::string file;
        std::string description;
        std::string said;
    } cases[] = {
        {path("no/such/folder/a.ipt"), "x", "could not be written"},
        {path("north.ipt"), "North lake, camera 2", "\"North lake, camera 2\" holds a comma"},
        {path("north,lake.ipt"), "North lake", "its name holds a comma"},
    };
    for (const auto& c : cases) {
        const auto problem = save_setup_file(calibration, c.file, c.description);
        ASSERT_TRUE(problem) << c.file;
        EXPECT_NE(problem->text.find(c.said), std::string::npos) << problem->text;
        EXPECT_TRUE(calibration == before) << c.file;
        EXPECT_FALSE(std::filesystem::exists(c.file)) << c.file;
    }
}

// Any bytes at all give an answer: a setup or a refusal, never a crash or a hang.
TEST(ParseSetupFile, SurvivesArbitraryBytes) {
    std::mt19937 random(20261206);
    const std::string valid = file_with("North lake", firstPoint);
    const std::string alphabet = "0123456789.,-+eE \"\r\n\tD";
    auto some = [&](const std::string& from) { return from[random() % from.size()]; };

    int accepted = 0;
    for (int round = 0; round < 2000; ++round) {
        std::string input;
        if (round % 2 == 0) {  // random text, of any bytes or of the file's own characters
            input.resize(random() % 600);
            for (char& c : input) {
                c = round % 4 ? some(alphabet) : static_cast<char>(random());
            }
        } else {  // a valid file with a few bytes changed, dropped or added
            input = valid;
            for (int e = 1 + static_cast<int>(random() % 4); e > 0 && !input.empty(); --e) {
                const std::size_t at = random() % input.size();
                const auto kind = random() % 3;
                if (kind == 0) {
                    input[at] = some(alphabet);
                } else if (kind == 1) {
                    input.erase(at, 1 + random() % 8);
                } else {
                    input.insert(at, 1, static_cast<char>(random()));
                }
            }
        }
        const auto read = parse_setup_file(input, "fuzz.ipt");
        if (read.data) {
            ++accepted;
        } else {
            EXPECT_EQ(read.problem.text.rfind("Setup file \"fuzz.ipt\" cannot be used: ", 0), 0u);
            EXPECT_EQ(read.problem.text.find_first_of("\r\n"), std::string::npos);
        }
    }
    EXPECT_GT(accepted, 0);

    // Large inputs: one endless line, endless commas (empty fields are 0, so those read as an
    // all-zero setup) and more than any setup file holds.
    for (const std::string& big :
         {std::string(2'000'000, 'x'), std::string(500'000, ','), std::string(1'000'000, '\0')}) {
        const auto read = parse_setup_file(big, "big.ipt");
        EXPECT_TRUE(read.data || !read.problem.text.empty());
    }
    EXPECT_FALSE(parse_setup_file(std::string(2'000'000, '1'), "big.ipt").data);
}
