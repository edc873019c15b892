#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillon::app {

// Where the program finds what ships with it and where it keeps the files it writes.
//
// The shipped files (icons, demo setup files and pictures) lie either beside the executable (a
// build, or a copy of one) or in ../share/quillon (an installed program). The app folder holds
// the name lists and is where the program starts, so a bare file name and the default results
// folder "Default" are taken relative to it.

// The file that tells a folder of shipped data: the setup-complete icon.
inline constexpr const char* dataMarkerFile = "face02.ico";

// The folder of the shipped data for a program in `programFolder`: the program's own folder
// when it holds the data, else ../share/quillon. Nothing when neither does.
std::optional<std::filesystem::path> find_data_folder(
    const std::filesystem::path& programFolder,
    const std::function<bool(const std::filesystem::path&)>& holdsData);

// The first candidate the check finds writable, or the last candidate when none is.
std::filesystem::path choose_app_folder(
    std::span<const std::filesystem::path> candidates,
    const std::function<bool(const std::filesystem::path&)>& writable);

// True when a file can be created in the folder, which is created first when missing. It
// really creates (and removes) a file, so a read-only mount is caught even for root.
bool folder_writable(const std::filesystem::path& folder);

// Copies every file of the data folder that the app folder lacks, so that the icons and the
// demo courses are at hand there; files already there are left as they are. Gives the names
// of the files that could not be copied.
std::vector<std::string> provide_data_files(const std::filesystem::path& dataFolder,
                                            const std::filesystem::path& appFolder);

struct ProgramFolders {
    std::filesystem::path appFolder;
    std::optional<std::filesystem::path> dataFolder;
    // True when the app folder is the per-user folder rather than the program's own.
    bool perUser = false;
};

// The folders of a program in `programFolder`: its own folder when the data lies beside it and
// the folder is writable; otherwise `userFolder`, created when missing and given the data files.
// An installed program (data in ../share/quillon) always keeps its files in the user folder,
// even when run by a user who could write to the system's program folder.
ProgramFolders program_folders(const std::filesystem::path& programFolder,
                               const std::filesystem::path& userFolder);

}  // namespace quillon::app
