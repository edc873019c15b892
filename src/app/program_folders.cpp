#include "app/program_folders.h"

#include <fcntl.h>
#include <unistd.h>

#include <system_error>

namespace quillon::app {

namespace fs = std::filesystem;

std::optional<fs::path> find_data_folder(const fs::path& programFolder,
                                         const std::function<bool(const fs::path&)>& holdsData) {
    for (const fs::path& candidate :
         {programFolder, (programFolder / ".." / "share" / "quillon").lexically_normal()}) {
        if (holdsData(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

fs::path choose_app_folder(std::span<const fs::path> candidates,
                           const std::function<bool(const fs::path&)>& writable) {
    for (const fs::path& candidate : candidates) {
        if (writable(candidate)) {
            return candidate;
        }
    }
    return candidates.empty() ? fs::path() : candidates.back();
}

bool folder_writable(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder, error)) {
        return false;
    }
    const fs::path probe = folder / (".quillon-write-check-" + std::to_string(::getpid()));
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    fs::remove(probe, error);
    return true;
}

std::vector<std::string> provide_data_files(const fs::path& dataFolder, const fs::path& appFolder) {
    std::vector<std::string> failed;
    std::error_code error;
    if (fs::equivalent(dataFolder, appFolder, error)) {
        return failed;
    }
    for (const auto& entry : fs::directory_iterator(dataFolder, error)) {
        if (!entry.is_regular_file(error)) {
            continue;
        }
        const fs::path target = appFolder / entry.path().filename();
        if (fs::exists(target, error)) {
            continue;
        }
        // Copied under a temporary name and then renamed, so an interrupted copy never leaves
        // a cut-off picture or setup file under the real name.
        const fs::path partial = target.string() + ".quillon-new";
        std::error_code copyError;
        fs::copy_file(entry.path(), partial, fs::copy_options::overwrite_existing, copyError);
        if (!copyError) {
            fs::rename(partial, target, copyError);
        }
        if (copyError) {
            fs::remove(partial, error);
            failed.push_back(entry.path().filename().string());
        }
    }
    return failed;
}

ProgramFolders program_folders(const fs::path& programFolder, const fs::path& userFolder) {
    ProgramFolders folders;
    folders.dataFolder = find_data_folder(programFolder, [](const fs::path& folder) {
        std::error_code error;
        return fs::is_regular_file(folder / dataMarkerFile, error);
    });
    std::vector<fs::path> candidates;
    if (!folders.dataFolder || *folders.dataFolder == programFolder) {
        candidates.push_back(programFolder);
    }
    if (!userFolder.empty()) {
        candidates.push_back(userFolder);
    }
    folders.appFolder = choose_app_folder(candidates, folder_writable);
    folders.perUser = folders.appFolder != programFolder;
    if (folders.perUser && folders.dataFolder) {
        provide_data_files(*folders.dataFolder, folders.appFolder);
    }
    return folders;
}

}  // namespace quillon::app
