#include "analysis/results_errors.h"
#include "text/number_text.h"

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
    const auto& category = status.error.category();
    if (category == std::generic_category() || category == std::system_category()) {
        return file_error(status.error.value());
    }
    return pathFileAccessError;
}

std::string unexpected_error_text(int number, std::string_view description) {
    std::string text = "Unexpected error #";
    text += text::whole_text(number);
    text += " occurred: ";
    text += description;
    return text;
}

std::string unexpected_error_text(const UnexpectedError& error) {
    return unexpected_error_text(error.number, error.description);
}

}  // namespace quillon::analysis
