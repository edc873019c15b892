// quillon-demo-course: writes the demo setup files and the matching pictures of a slalom and a
// jump course, as a tower camera at the end of the course would see them.

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "tools/demo_course/demo_course.h"
#include "tools/demo_course/demo_pass.h"
#include "tools/demo_course/truth_pass.h"

#include <charconv>
#include <fstream>
#include <map>
#include <vector>

#include "cli/arguments.h"
#include "cli/cli_io.h"
#include "cli/pass_options.h"
#include "session/pass_recorder.h"
#include "text/number_text.h"

namespace {

// The frames of the demo pass as raw RGB24 on standard output, for ffmpeg to encode.
int write_pass_frames() {
    using namespace quillon::demo_course;
    const auto model = slalom_model();
    const QImage course = course_picture(model, quillon::course::Discipline::Slalom);
    for (int index = 0; index < pass_frame_count(); ++index) {
        const QImage frame =
            pass_frame(course, model, index).convertToFormat(QImage::Format_RGB888);
        for (int row = 0; row < frame.height(); ++row) {
            const auto bytes = static_cast<std::size_t>(frame.width()) * 3;
            if (std::fwrite(frame.constScanLine(row), 1, bytes, stdout) != bytes) {
                return 1;
            }
        }
    }
    return 0;
}

bool read_number(const std::string& text, double& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// --truth-pass STEM [options]: a rendered pass with a known boat path. Writes STEM.ipt (the
// camera's setup file), STEM.truth.txt (the true deviation of every sample) and STEM.args (the
// quillon-cli track arguments: start time, the click on the mark and the pass), and the frames
// as raw RGB24 to standard output.
constexpr quillon::cli::CommandOption truthPassOptions[] = {
    quillon::cli::disciplineOption,
    quillon::cli::directionOption,
    quillon::cli::speedOption,
    {"--size", "WxH"},
    {"--fps", "N"},
    {"--seed", "N"},
    {"--noise", "SIGMA"},
    {"--shake", "PX"},
    {"--camera-offset", "M"},
    {"--camera-height", "M"},
    {"--camera-behind", "M"},
    {"--speed-error", "F"},
    {"--lead", "S"},
    {"--duration", "S"},
    {"--no-skier", ""},
};
constexpr quillon::cli::CommandSyntax truthPassSyntax{
    "--truth-pass",
    "quillon-demo-course --truth-pass STEM [--discipline slalom|jump]\n"
    "[--direction towards|away] [--speed KMH] [--size WxH] [--fps N]\n"
    "[--seed N] [--noise SIGMA] [--shake PX] [--camera-offset M]\n"
    "[--camera-height M] [--camera-behind M] [--speed-error F]\n"
    "[--lead S] [--duration S] [--no-skier] | ffmpeg -f rawvideo ...",
    "a STEM", truthPassOptions};

int write_truth_pass(const quillon::cli::CommandWords& words) {
    using namespace quillon;
    demo_course::TruthPassOptions options;
    options.skier = !words.has("--no-skier");
    auto& pass = options.pass;
    pass = cli::pass_options(words);
    const std::string discipline = words.option("--discipline").value_or("slalom");
    const std::string direction = words.option("--direction").value_or("towards");
    const std::map<std::string, double*> numbers{{"--fps", &options.framesPerSecond},
                                                 {"--noise", &options.noise},
                                                 {"--shake", &options.shakePx},
                                                 {"--camera-offset", &options.cameraOffset},
                                                 {"--camera-height", &options.cameraHeight},
                                                 {"--camera-behind", &options.cameraBehindGate},
                                                 {"--speed-error", &options.speedError},
                                                 {"--lead", &options.leadSeconds},
                                                 {"--duration", &options.durationSeconds}};
    for (const auto& [name, target] : numbers) {
        if (const auto text = words.option(name); text && !read_number(*text, *target)) {
            throw cli::BadInput(cli::joined({name, " needs a number, not \"", *text, "\"."}));
        }
    }
    double seed = 0;
    if (const auto text = words.option("--seed")) {
        if (!read_number(*text, seed) || seed < 0) {
            throw cli::BadInput(cli::joined({"--seed needs a number, not \"", *text, "\"."}));
        }
        options.seed = static_cast<unsigned>(seed);
    }
    if (const auto size = words.option("--size")) {
        const auto x = size->find('x');
        double w = 0, h = 0;
        if (x == std::string::npos || !read_number(size->substr(0, x), w) ||
            !read_number(size->substr(x + 1), h)) {
            throw cli::BadInput(cli::joined({"--size needs WxH, not \"", *size, "\"."}));
        }
        options.width = static_cast<int>(w);
        options.height = static_cast<int>(h);
    }
    const std::string stem = words.input();
    const demo_course::TruthPass truth(options);
    const std::string setupName = stem + ".ipt";
    if (auto problem = calibration::write_setup_file(
            setupName, truth.setup(std::filesystem::path(stem).filename().string()))) {
        std::cerr << "quillon-demo-course: " << problem->text << "\n";
        return 1;
    }
    std::ofstream samples(stem + ".truth.txt", std::ios::binary);
    for (const double sample : truth.truth()) {
        samples << session::deviation_text(sample) << "\n";
    }
    const auto [clickX, clickY] = truth.click();
    std::ofstream arguments(stem + ".args", std::ios::binary);
    arguments << "--start-time " << text::shortest_text(truth.startSeconds()) << " --mark "
              << clickX << "," << clickY << " --discipline " << discipline << " --speed "
              << course::speed_kmh(pass) << " --direction " << direction << "\n";
    if (!samples || !arguments) {
        std::cerr << "quillon-demo-course: cannot write " << stem << ".*\n";
        return 1;
    }
    for (int index = 0; index < truth.frameCount(); ++index) {
        const QImage frame = truth.frame(index).convertToFormat(QImage::Format_RGB888);
        for (int row = 0; row < frame.height(); ++row) {
            const auto bytes = static_cast<std::size_t>(frame.width()) * 3;
            if (std::fwrite(frame.constScanLine(row), 1, bytes, stdout) != bytes) {
                return 1;
            }
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--slalom-pass-frames") {
        return write_pass_frames();
    }
    if (argc >= 2 && std::string(argv[1]) == "--truth-pass") {
        // One line on stderr and exit code 2 for words it cannot take, as quillon-cli does.
        try {
            const auto words = quillon::cli::read_words(
                std::vector<std::string>(argv + 2, argv + argc), truthPassSyntax);
            if (words.help()) {
                std::cout << "usage: " << truthPassSyntax.usage << "\n";
                return 0;
            }
            return write_truth_pass(words);
        } catch (const quillon::cli::BadInput& bad) {
            std::cerr << quillon::cli::message_line(
                quillon::cli::joined({"quillon-demo-course: ", bad.what()}));
            return 2;
        }
    }
    const std::string first = argc >= 2 ? argv[1] : "";
    const bool help = argc == 2 && (first == "--help" || first == "-h" || first == "help");
    // An option it does not know is never taken for the name of a folder to write into.
    if (argc != 2 || help || first.rfind('-', 0) == 0) {
        (help ? std::cout : std::cerr)
            << "usage: quillon-demo-course <folder>\n"
               "Writes SlalomOK.ipt, SlalomOK.bmp, JumpOK.ipt and JumpOK.bmp into the "
               "folder, creating it when missing.\n"
               "       quillon-demo-course --slalom-pass-frames | ffmpeg -f rawvideo ...\n"
               "Writes the frames of the demo slalom pass (1024 x 768 RGB24, 30 per "
               "second) to standard output.\n"
               "       quillon-demo-course --truth-pass STEM [--discipline slalom|jump]\n"
               "           [--direction towards|away] [--speed KMH] [--size WxH] [--fps N]\n"
               "           [--seed N] [--noise SIGMA] [--shake PX] [--camera-offset M]\n"
               "           [--camera-height M] [--camera-behind M] [--speed-error F]\n"
               "           [--lead S] [--duration S] [--no-skier] | ffmpeg -f rawvideo ...\n"
               "Renders a pass with a known boat path: STEM.ipt, STEM.truth.txt and\n"
               "STEM.args, and the frames as raw RGB24 on standard output.\n";
        return help ? 0 : 2;
    }
    const std::string folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::cerr << "quillon-demo-course: folder \"" << folder
                  << "\" could not be created: " << error.message() << "\n";
        return 1;
    }
    if (auto problem = quillon::demo_course::write_demo_files(folder)) {
        std::cerr << "quillon-demo-course: " << *problem << "\n";
        return 1;
    }
    return 0;
}
