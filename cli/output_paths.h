#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/date_time.h"

namespace quillon::cli {

// A file a command names, with what it is to the user: "--csv", "the samples file", "the
// day's result log".
struct NamedFile {
    std::string role;
    std::string path;
};

// The files of one run of a command: what it reads, what it writes or replaces, and the logs
// of the results folder it must never replace (whether or not it appends to them).
struct CommandFiles {
    std::vector<NamedFile> inputs;
    std::vector<NamedFile> outputs;
    std::vector<NamedFile> logs;
};

// Refuses (BadInput, one line) an output that is the same file as an input, another output or
// one of the logs, and an input that is one of the logs, before anything is written. Files are
// compared by device and inode, so a second name, a link or "./" does not hide them; a file
// that does not exist yet is compared by its folder's device and inode and its name, so
// "--csv X --pdf X" is refused too.
void refuse_shared_files(const CommandFiles& files);

// Refuses (BadInput, one line naming the cause) an output file that cannot be written: no
// name, a folder that does not exist or is not a folder, a folder at the name, a pipe at the
// name (opening it would wait for a reader), a file or folder without write permission.
// What only the write itself can tell (a full disk) is left to the writer.
void check_output_file(const NamedFile& output);

// The day's logs in the results folder that no output may replace: the result log, the
// database log, "originalmeasurements.txt", "results_file.txt" and the accuracy report.
std::vector<NamedFile> day_logs(std::string_view resultsFolder, const text::CivilDateTime& day);

}  // namespace quillon::cli
