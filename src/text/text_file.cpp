#include "text/text_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace quillon::text {

namespace {

FileStatus system_failure(int error) {
    return FileStatus::failure(std::error_code(error, std::generic_category()));
}

}  // namespace

FileStatus not_a_regular_file() {
    return {false,
            std::string(notRegularFileText),
            std::make_error_code(std::errc::invalid_argument),
            {}};
}

namespace {

// A pipe or socket at the path: opening it for writing would wait for a reader for ever.
bool waits_for_a_reader(const std::string& path) {
    std::error_code ignored;
    const auto status = std::filesystem::status(path, ignored);
    return std::filesystem::is_fifo(status) || std::filesystem::is_socket(status);
}

// Writes everything and closes the stream; on failure returns the errno to report.
int write_and_close(std::FILE* file, std::string_view content) {
    int error = 0;
    if (!content.empty() &&
        std::fwrite(content.data(), 1, content.size(), file) != content.size()) {
        error = errno ? errno : EIO;
    }
    if (std::fflush(file) != 0 && error == 0) {
        error = errno ? errno : EIO;
    }
    if (std::fclose(file) != 0 && error == 0) {
        error = errno ? errno : EIO;
    }
    return error;
}

}  // namespace

CrLfText& CrLfText::put(std::string_view text) {
    text_ += text;
    return *this;
}

CrLfText& CrLfText::line(std::string_view text) {
    text_ += text;
    text_ += "\r\n";
    return *this;
}

std::string path_in_folder(std::string_view folder, std::string_view name) {
    std::string path(folder);
    path += '/';
    path += name;
    return path;
}

FileStatus append_to_file(const std::string& path, std::string_view content) {
    // Only a regular file is cut back or removed after a failure, never a device or a folder.
    std::error_code ignored;
    const bool existedBefore = std::filesystem::exists(path, ignored);
    const bool wasRegular = std::filesystem::is_regular_file(path, ignored);
    const auto oldSize = wasRegular ? std::filesystem::file_size(path, ignored) : 0;
    if (waits_for_a_reader(path)) {
        return not_a_regular_file();
    }

    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) {
        return system_failure(errno ? errno : EIO);
    }
    const int error = write_and_close(file, content);
    if (error != 0) {
        if (wasRegular) {
            std::filesystem::resize_file(path, oldSize, ignored);
        } else if (!existedBefore && std::filesystem::is_regular_file(path, ignored)) {
            std::filesystem::remove(path, ignored);
        }
        return system_failure(error);
    }
    return FileStatus::success();
}

namespace {

FileStatus write_to_device(const std::string& path, std::string_view content) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return system_failure(errno ? errno : EIO);
    }
    const int error = write_and_close(file, content);
    return error ? system_failure(error) : FileStatus::success();
}

// The temporary file could not be made. A folder that is there but takes no new file is named;
// a missing folder is only the system's words.
FileStatus folder_refuses_new_file(const std::string& path, int error, bool replacing) {
    FileStatus status = system_failure(error);
    const auto parent = std::filesystem::path(path).parent_path();
    const std::string folder = parent.empty() ? std::string(".") : parent.string();
    std::error_code ignored;
    if (!std::filesystem::is_directory(folder, ignored)) {
        return status;
    }
    status.refusedFolder = folder;
    status.description += " (the folder \"" + folder + "\" takes no new file" +
                          (replacing ? "; the old file is kept)" : ")");
    return status;
}

}  // namespace

FileStatus replace_file(const std::string& path, std::string_view content) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        return system_failure(EISDIR);
    }
    if (waits_for_a_reader(path)) {
        return not_a_regular_file();
    }
    if (std::filesystem::exists(path, ignored) &&
        !std::filesystem::is_regular_file(path, ignored)) {
        // A device is written to, never replaced.
        return write_to_device(path, content);
    }
    const std::string temporary = path + ".quillon-new";
    // The new content takes the old file's place with the old file's permissions: a file the
    // operator made private, or read-only for others, stays so.
    const auto oldStatus = std::filesystem::status(path, ignored);
    const bool replacing = std::filesystem::is_regular_file(oldStatus);
    errno = 0;
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        // The folder takes no new file. Writing over the old one in place instead would leave
        // half a file on a full disk, so the old file is kept whole and the write is refused.
        return folder_refuses_new_file(path, errno ? errno : EIO, replacing);
    }
    if (const int error = write_and_close(file, content); error != 0) {
        std::filesystem::remove(temporary, ignored);
        return system_failure(error);
    }
    if (replacing) {
        std::filesystem::permissions(temporary, oldStatus.permissions(),
                                     std::filesystem::perm_options::replace, ignored);
    }
    std::error_code renameError;
    std::filesystem::rename(temporary, path, renameError);
    if (renameError) {
        std::filesystem::remove(temporary, ignored);
        return FileStatus::failure(renameError);
    }
    return FileStatus::success();
}

FileContent read_file(const std::string& path, std::size_t maxBytes) {
    FileContent result;
    // Only a regular file is read: a pipe with no writer would block the open for ever, and a
    // device such as /dev/zero never ends.
    std::error_code statusError;
    const auto status = std::filesystem::status(path, statusError);
    if (!statusError && std::filesystem::is_directory(status)) {
        result.status = system_failure(EISDIR);
        return result;
    }
    if (!statusError && std::filesystem::exists(status) &&
        !std::filesystem::is_regular_file(status)) {
        result.status = not_a_regular_file();
        return result;
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        result.status = system_failure(errno ? errno : EIO);
        return result;
    }
    std::error_code sizeError;
    if (std::filesystem::is_directory(path, sizeError)) {
        std::fclose(file);
        result.status = system_failure(EISDIR);
        return result;
    }
    char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (result.bytes.size() + count > maxBytes) {
            std::fclose(file);
            result.bytes.clear();
            result.tooLarge = true;
            result.status = system_failure(EFBIG);
            return result;
        }
        result.bytes.append(buffer, count);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        result.bytes.clear();
        result.status = system_failure(EIO);
    }
    return result;
}

std::string_view trim_trailing_blanks(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace quillon::text
