// quillon-demo-course: writes the demo setup files and the matching pictures of a slalom and a
// jump course, as a tower camera at the end of the course would see them.

#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "tools/demo_course/demo_course.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: quillon-demo-course <folder>\n"
                     "Writes SlalomOK.ipt, SlalomOK.bmp, JumpOK.ipt and JumpOK.bmp into the "
                     "folder, creating it when missing.\n";
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
