#include "cli/output_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

#include "analysis/pass_analysis.h"
#include "analysis/pass_report.h"
#include "calibration/accuracy_grid.h"
#include "calibration/results_log_entry.h"
#include "cli/cli_io.h"
#include "text/text_file.h"

namespace quillon::cli {

namespace {

std::string in_quotes(std::string_view text) {
    return joined({"\"", text, "\""});
}

// The folder a path's file is in: "." for a bare name.
std::string folder_of(const std::string& path) {
    const auto folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

// Which file a path names: the device and inode of the file, or, for a file not made yet, of
// its folder together with its name.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    std::string name;  // empty for a file that exists

    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> identity_of(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        return FileIdentity{status.st_dev, status.st_ino, {}};
    }
    const std::string name = std::filesystem::path(path).filename().string();
    if (name.empty() || ::stat(folder_of(path).c_str(), &status) != 0) {
        return std::nullopt;  // no folder: nothing can be written there to clash with
    }
    return FileIdentity{status.st_dev, status.st_ino, name};
}

std::string cannot_write_reason(int error, std::string_view what) {
    if (error == EACCES || error == EPERM) {
        return joined({what, " is read-only (", std::generic_category().message(error), ")"});
    }
    if (error == EROFS) {
        return joined({what, " is on a read-only disk"});
    }
    return joined({what, " cannot be written: ", std::generic_category().message(error)});
}

}  // namespace

void refuse_shared_files(const CommandFiles& files) {
    struct Known {
        const NamedFile* file;
        FileIdentity identity;
    };
    std::vector<Known> inputs;
    std::vector<Known> logs;
    std::vector<Known> outputs;
    for (const auto& input : files.inputs) {
        if (const auto identity = identity_of(input.path)) {
            inputs.push_back({&input, *identity});
        }
    }
    for (const auto& log : files.logs) {
        if (const auto identity = identity_of(log.path)) {
            logs.push_back({&log, *identity});
        }
    }
    // A log read as an input would be appended to while it is the command's own data.
    for (const Known& input : inputs) {
        for (const Known& log : logs) {
            if (log.identity == input.identity) {
                throw BadInput(joined({input.file->role, " ", in_quotes(input.file->path), " is ",
                                       log.file->role, " ", in_quotes(log.file->path),
                                       ": a log is never read as an input."}));
            }
        }
    }
    for (const auto& output : files.outputs) {
        const auto identity = identity_of(output.path);
        if (!identity) {
            continue;
        }
        const std::string named = joined({output.role, " ", in_quotes(output.path)});
        for (const Known& input : inputs) {
            if (input.identity == *identity) {
                throw BadInput(
                    joined({named, " is ", input.file->role, " ", in_quotes(input.file->path),
                            ": an output never replaces an input."}));
            }
        }
        for (const Known& other : outputs) {
            if (other.identity == *identity) {
                throw BadInput(
                    joined({named, " and ", other.file->role, " ", in_quotes(other.file->path),
                            " are the same file: each output needs its own."}));
            }
        }
        for (const Known& log : logs) {
            if (log.identity == *identity) {
                throw BadInput(
                    joined({named, " is ", log.file->role, " ", in_quotes(log.file->path),
                            ": an output never replaces a log."}));
            }
        }
        outputs.push_back({&output, *identity});
    }
}

void check_output_file(const NamedFile& output) {
    const std::string& path = output.path;
    if (path.empty()) {
        throw BadInput(joined({output.role, " needs a file name."}));
    }
    const std::string named = joined({output.role, ": ", in_quotes(path)});
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) {
            throw BadInput(joined({named, " is a folder, not a file."}));
        }
        if (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)) {
            throw BadInput(joined({named, " is a pipe or a socket, not a file."}));
        }
        if (::access(path.c_str(), W_OK) != 0) {
            const int error = errno;
            throw BadInput(
                joined({output.role, ": ", cannot_write_reason(error, in_quotes(path)), "."}));
        }
        return;
    }
    const int missing = errno;
    if (std::filesystem::path(path).filename().empty()) {
        throw BadInput(joined({named, " names a folder, not a file."}));
    }
    const std::string folder = folder_of(path);
    const std::string folderNamed = joined({"the folder ", in_quotes(folder)});
    if (::stat(folder.c_str(), &status) != 0) {
        const int error = errno;
        if (error == ENOENT) {
            throw BadInput(joined({output.role, ": ", folderNamed, " does not exist."}));
        }
        if (error != ENOTDIR) {
            throw BadInput(joined({output.role, ": ", folderNamed, " cannot be reached: ",
                                   std::generic_category().message(error), "."}));
        }
        status.st_mode = 0;  // a file stands where a folder of the path should be
    }
    if (!S_ISDIR(status.st_mode)) {
        throw BadInput(joined({output.role, ": ", in_quotes(folder), " is not a folder."}));
    }
    if (missing != ENOENT) {
        throw BadInput(
            joined({named, " cannot be written: ", std::generic_category().message(missing), "."}));
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        const int error = errno;
        throw BadInput(joined({output.role, ": ", cannot_write_reason(error, folderNamed), "."}));
    }
}

std::vector<NamedFile> day_logs(std::string_view resultsFolder, const text::CivilDateTime& day) {
    const auto in_folder = [&](std::string_view name) {
        return text::path_in_folder(resultsFolder, name);
    };
    return {
        {"the day's result log", in_folder(analysis::result_log_name(day))},
        {"the day's database log", in_folder(analysis::database_log_name(day))},
        {"the analysis log", in_folder(analysis::originalMeasurementsFileName)},
        {"the set-up log", in_folder(calibration::resultsLogFileName)},
        {"the day's accuracy report", in_folder(calibration::accuracy_file_name(day))},
    };
}

}  // namespace quillon::cli
