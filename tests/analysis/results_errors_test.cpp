#include "analysis/results_errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "support/temp_folder.h"
#include "text/text_file.h"

using namespace quillon;
using namespace quillon::analysis;

TEST(ResultsErrors, MessageText) {
    EXPECT_EQ(unexpected_error_text(cancelWasSelected),
              "Unexpected error #32755 occurred: Cancel was selected.");
    EXPECT_EQ(unexpected_error_text(53, "File not found"),
              "Unexpected error #53 occurred: File not found");
}

TEST(ResultsErrors, FileErrorsByNumberAndByStatus) {
    const struct {
        int errorNumber;
        UnexpectedError error;
    } cases[] = {
        {ENOENT, fileNotFound},     {EACCES, permissionDenied},   {EPERM, permissionDenied},
        {ENOSPC, diskFull},         {EDQUOT, diskFull},           {EISDIR, pathFileAccessError},
        {EIO, pathFileAccessError}, {EFBIG, pathFileAccessError}, {0, pathFileAccessError},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(file_error(c.errorNumber), c.error) << c.errorNumber;
        const auto status =
            text::FileStatus::failure(std::error_code(c.errorNumber, std::generic_category()));
        EXPECT_EQ(file_error(status), c.error) << c.errorNumber;
        // The code decides, not the words, which follow the process's language.
        auto reworded = status;
        reworded.description = "Datei nicht gefunden";
        EXPECT_EQ(file_error(reworded), c.error) << c.errorNumber;
    }
}

TEST(ResultsErrors, WhatReadingAndWritingRealFilesGives) {
    test_support::TempFolder folder;
    EXPECT_EQ(file_error(text::read_file(folder.file("missing.txt")).status), fileNotFound);
    EXPECT_EQ(file_error(text::read_file(folder.str()).status), pathFileAccessError);
    EXPECT_EQ(file_error(text::append_to_file(folder.file("no/such/folder.txt"), "x")),
              fileNotFound);
}
