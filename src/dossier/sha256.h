#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/text_file.h"

namespace quillon::dossier {

// SHA-256 of the bytes, as 64 lowercase hexadecimal digits (FFmpeg's libavutil does the hashing).
std::string sha256_hex(std::string_view bytes);

// SHA-256 of a file, read in pieces so a video of any size is hashed without holding it.
struct FileDigest {
    text::FileStatus status;
    std::string hex;
};
FileDigest sha256_of_file(const std::string& path);

}  // namespace quillon::dossier
