#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/text_file.h"

namespace quillon::text {

// SHA-256 fed in pieces, so that a video of any size is hashed without holding it. Plain C++,
// so that whatever checks a file's identity needs no library beyond the core.
class Sha256 {
  public:
    void update(std::string_view bytes);
    // The digest of everything given, as 64 lower-case hexadecimal digits. Ends the hash:
    // update after it is not allowed.
    std::string finish_hex();

  private:
    std::array<std::uint32_t, 8> state_ = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                           0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    std::array<unsigned char, 64> pending_{};  // the bytes of a block not yet whole
    std::size_t pendingSize_ = 0;
    std::uint64_t length_ = 0;  // bytes given so far
};

// The SHA-256 digest of the bytes, as 64 lower-case hexadecimal digits.
std::string sha256_hex(std::string_view bytes);

// The SHA-256 digest of a file, read in pieces; a file that cannot be read gives its status
// and no digest.
struct FileDigest {
    FileStatus status;
    std::string hex;
};
FileDigest sha256_of_file(const std::string& path);

}  // namespace quillon::text
