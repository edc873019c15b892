#pragma once

#include <string>
#include <string_view>

#include "text/text_file.h"

namespace quillon::analysis {

// An error the Results screen's file commands report: its number and description, as in
// "Unexpected error #53 occurred: File not found".
struct UnexpectedError {
    int number = 0;
    std::string_view description;

    friend bool operator==(const UnexpectedError&, const UnexpectedError&) = default;
};

// The operator closed the file dialog without choosing a file.
inline constexpr UnexpectedError cancelWasSelected{32755, "Cancel was selected."};
// A saved report with more sample lines than the reloaded path holds (501).
inline constexpr UnexpectedError subscriptOutOfRange{9, "Subscript out of range"};
// File errors.
inline constexpr UnexpectedError fileNotFound{53, "File not found"};
inline constexpr UnexpectedError permissionDenied{70, "Permission denied"};
inline constexpr UnexpectedError diskFull{61, "Disk full"};
inline constexpr UnexpectedError pathFileAccessError{75, "Path/File access error"};

// The error of a failed file operation, from the system's error number: a missing file or
// folder is 53, a refused access 70, a full disk or quota 61, anything else 75.
UnexpectedError file_error(int errorNumber);
// The same from a failed FileStatus, whose description holds the system's own words.
UnexpectedError file_error(const text::FileStatus& status);

// "Unexpected error #" + number + " occurred: " + description.
std::string unexpected_error_text(int number, std::string_view description);
std::string unexpected_error_text(const UnexpectedError& error);

}  // namespace quillon::analysis
