// quillon-demo-course: writes the demo setup files and the matching pictures of a slalom and a
// jump course, as a tower camera at the end of the course would see them.

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "tools/demo_course/demo_course.h"
#include "tools/demo_course/demo_pass.h"

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

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--slalom-pass-frames") {
        return write_pass_frames();
    }
    if (argc != 2) {
        std::cerr << "usage: quillon-demo-course <folder>\n"
                     "Writes SlalomOK.ipt, SlalomOK.bmp, JumpOK.ipt and JumpOK.bmp into the "
                     "folder, creating it when missing.\n"
                     "       quillon-demo-course --slalom-pass-frames | ffmpeg -f rawvideo ...\n"
                     "Writes the frames of the demo slalom pass (1024 x 768 RGB24, 30 per "
                     "second) to standard output.\n";
        return 2;
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
