#include "analysis/results_errors.h"

#include <cerrno>
#include <charconv>
#include <system_error>

namespace quillon::analysis {

namespace {

struct ErrorRow {
    int errorNumber;
    UnexpectedError error;
};

constexpr ErrorRow errorRows[] = {
    {ENOENT, fileNotFound},    {EACCES, permissionDenied},
    {EPERM, permissionDenied}, {ENOSPC, diskFull},
#ifdef EDQUOT
    {EDQUOT, diskFull},
#endif
};

}  // namespace

UnexpectedError file_error(int errorNumber) {
    for (const auto& row : errorRows) {
        if (row.errorNumber == errorNumber) {
            return row.error;
        }
    }
    return pathFileAccessError;
}

UnexpectedError file_error(const text::FileStatus& status) {
    // The status carries the system's words for the error (in the process's language), so
    // compare them with the words of each error number we tell apart.
    for (const auto& row : errorRows) {
        if (status.description == std::generic_category().message(row.errorNumber)) {
            return row.error;
        }
    }
    return pathFileAccessError;
}

std::string unexpected_error_text(int number, std::string_view description) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    std::string text = "Unexpected error #";
    text.append(digits, result.ptr);
    text += " occurred: ";
    text += description;
    return text;
}

std::string unexpected_error_text(const UnexpectedError& error) {
    return unexpected_error_text(error.number, error.description);
}

}  // namespace quillon::analysis
