#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

namespace quillon::text {

// Builds a text whose every line ends with CR LF, as all of the program's files are written.
class CrLfText {
  public:
    // Text with no line end.
    CrLfText& put(std::string_view text);
    // Text followed by CR LF.
    CrLfText& line(std::string_view text = {});
    const std::string& str() const { return text_; }

  private:
    std::string text_;
};

// The outcome of a file operation: on failure, the system's own description of it.
struct FileStatus {
    bool ok = true;
    // The system's words for what went wrong, and the system error behind them.
    std::string description;
    std::error_code error;
    // Set when a file could not be replaced because its folder takes no new file: that folder.
    std::string refusedFolder;

    static FileStatus success() { return {}; }
    static FileStatus failure(std::error_code code) { return {false, code.message(), code, {}}; }
    explicit operator bool() const { return ok; }
};

// folder + "/" + name: a file in the results folder or another folder.
std::string path_in_folder(std::string_view folder, std::string_view name);

// Both writers refuse a pipe or socket at the path (not_a_regular_file): opening one would wait
// for a reader for ever. A device such as /dev/full is written to in place.

// Opens the file for appending (creating it when missing), writes the content and closes it.
// If the write fails part way, the file is cut back to its old length, so nothing already in
// it is lost and no half-written block is left behind.
FileStatus append_to_file(const std::string& path, std::string_view content);

// Replaces the file's content. The new content is written next to it first and then moved
// over it, so a failed write leaves the old file as it was. The old file is never written over
// in place: when its folder takes no new file, the write is refused with a description that
// names the folder, and the old file stays byte for byte as it was.
FileStatus replace_file(const std::string& path, std::string_view content);

// What a reader says of a path that names a pipe, a device or a socket.
inline constexpr std::string_view notRegularFileText =
    "Not a regular file (a pipe, a device or a socket)";
FileStatus not_a_regular_file();

struct FileContent {
    FileStatus status;
    std::string bytes;
    // Set when the file was refused for being larger than the reader takes.
    bool tooLarge = false;
};

// Reads a whole file, refusing one larger than maxBytes without reading further, and refusing
// a folder (EISDIR) or anything else that is not a regular file (not_a_regular_file) without
// opening it.
FileContent read_file(const std::string& path, std::size_t maxBytes = 64u * 1024u * 1024u);

// The text with its trailing blanks removed.
std::string_view trim_trailing_blanks(std::string_view text);

}  // namespace quillon::text
