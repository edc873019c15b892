#pragma once

#include <string>
#include <string_view>

namespace quillon::text {

// The SHA-256 digest of the bytes, as 64 lower-case hexadecimal digits. Plain C++, so that
// whatever checks a file's identity needs no library beyond the core.
std::string sha256_hex(std::string_view bytes);

}  // namespace quillon::text
