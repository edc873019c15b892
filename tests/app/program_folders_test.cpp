#include "app/program_folders.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_folder.h"
#include "text/text_file.h"

using namespace quillon::app;
namespace fs = std::filesystem;

namespace {

using AppFolders = quillon::test_support::InTempFolder;

void write(const fs::path& file, const std::string& content) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
}

std::string content_of(const fs::path& file) {
    return quillon::text::read_file(file.string()).bytes;
}

}  // namespace

TEST(ChooseAppFolder, FirstWritableCandidateElseTheLast) {
    const std::vector<fs::path> both{"/opt/quillon/bin", "/home/ann/.local/share/Quillon"};
    const struct {
        bool programWritable;
        bool userWritable;
        fs::path expected;
    } cases[] = {
        {true, true, both[0]},
        {false, true, both[1]},
        {false, false, both[1]},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(choose_app_folder(both,
                                    [&](const fs::path& folder) {
                                        return folder == both[0] ? c.programWritable
                                                                 : c.userWritable;
                                    }),
                  c.expected);
    }
}

TEST_F(AppFolders, WritableOnlyWhereAFileCanBeCreated) {
    write(path("plain.txt"), "x");
    EXPECT_TRUE(folder_writable(path("made/on/demand")));
    EXPECT_TRUE(fs::is_directory(path("made/on/demand")));
    EXPECT_TRUE(fs::is_empty(path("made/on/demand")));  // the probe file is gone again
    EXPECT_FALSE(folder_writable(path("plain.txt/below")));
    EXPECT_FALSE(folder_writable("/proc"));  // read-only even for root
}

// A build keeps its files beside the program; an installed program keeps them per user, with
// the icons and demo courses copied there and the user's own files left alone.
TEST_F(AppFolders, BuildTreeAndInstalledLayout) {
    const fs::path build = path("build/bin");
    write(build / "face02.ico", "icon");
    const auto fromBuild = program_folders(build, path("user"));
    EXPECT_EQ(fromBuild.appFolder, build);
    EXPECT_EQ(fromBuild.dataFolder, build);
    EXPECT_FALSE(fromBuild.perUser);
    EXPECT_FALSE(fs::exists(path("user")));

    const fs::path share = path("usr/share/quillon");
    write(share / "face02.ico", "icon");
    write(share / "SlalomOK.ipt", "shipped");
    write(path("user/SlalomOK.ipt"), "the user's own");
    fs::create_directories(path("usr/bin"));
    const auto installed = program_folders(path("usr/bin"), path("user"));
    EXPECT_EQ(installed.appFolder, path("user"));
    EXPECT_EQ(installed.dataFolder, share);
    EXPECT_TRUE(installed.perUser);
    EXPECT_EQ(content_of(path("user/face02.ico")), "icon");
    EXPECT_EQ(content_of(path("user/SlalomOK.ipt")), "the user's own");
    EXPECT_FALSE(fs::exists(path("user/face02.ico.quillon-new")));
}
