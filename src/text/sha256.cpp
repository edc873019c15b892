#include "text/sha256.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace quillon::text {

namespace {

constexpr std::array<std::uint32_t, 64> roundConstants = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::uint32_t rotate(std::uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

void compress(std::array<std::uint32_t, 8>& state, const unsigned char* block) {
    std::array<std::uint32_t, 64> w{};
    for (int i = 0; i < 16; ++i) {
        w[i] = static_cast<std::uint32_t>(block[4 * i]) << 24 |
               static_cast<std::uint32_t>(block[4 * i + 1]) << 16 |
               static_cast<std::uint32_t>(block[4 * i + 2]) << 8 |
               static_cast<std::uint32_t>(block[4 * i + 3]);
    }
    for (int i = 16; i < 64; ++i) {
        const std::uint32_t s0 = rotate(w[i - 15], 7) ^ rotate(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = rotate(w[i - 2], 17) ^ rotate(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::array<std::uint32_t, 8> v = state;
    for (int i = 0; i < 64; ++i) {
        const std::uint32_t s1 = rotate(v[4], 6) ^ rotate(v[4], 11) ^ rotate(v[4], 25);
        const std::uint32_t choose = (v[4] & v[5]) ^ (~v[4] & v[6]);
        const std::uint32_t t1 = v[7] + s1 + choose + roundConstants[i] + w[i];
        const std::uint32_t s0 = rotate(v[0], 2) ^ rotate(v[0], 13) ^ rotate(v[0], 22);
        const std::uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
        const std::uint32_t t2 = s0 + majority;
        v = {t1 + t2, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
    }
    for (int i = 0; i < 8; ++i) {
        state[i] += v[i];
    }
}

}  // namespace

void Sha256::update(std::string_view bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t size = bytes.size();
    length_ += size;
    if (pendingSize_ > 0) {
        const std::size_t taken = std::min(size, pending_.size() - pendingSize_);
        std::copy_n(data, taken, pending_.begin() + static_cast<std::ptrdiff_t>(pendingSize_));
        pendingSize_ += taken;
        data += taken;
        size -= taken;
        if (pendingSize_ < pending_.size()) {
            return;
        }
        compress(state_, pending_.data());
        pendingSize_ = 0;
    }
    for (; size >= 64; data += 64, size -= 64) {
        compress(state_, data);
    }
    std::copy_n(data, size, pending_.begin());
    pendingSize_ = size;
}

std::string Sha256::finish_hex() {
    // The last bytes, a one bit, zeros, and the length in bits: one or two blocks.
    std::array<unsigned char, 128> tail{};
    std::copy_n(pending_.begin(), pendingSize_, tail.begin());
    tail[pendingSize_] = 0x80;
    const std::size_t tailSize = pendingSize_ < 56 ? 64 : 128;
    const std::uint64_t bits = length_ * 8;
    for (int i = 0; i < 8; ++i) {
        tail[tailSize - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
    }
    compress(state_, tail.data());
    if (tailSize == 128) {
        compress(state_, tail.data() + 64);
    }
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(64);
    for (const std::uint32_t word : state_) {
        for (int shift = 28; shift >= 0; shift -= 4) {
            hex += digits[(word >> shift) & 0xf];
        }
    }
    return hex;
}

std::string sha256_hex(std::string_view bytes) {
    Sha256 sha;
    sha.update(bytes);
    return sha.finish_hex();
}

FileDigest sha256_of_file(const std::string& path) {
    FileDigest result;
    std::error_code statusError;
    const auto status = std::filesystem::status(path, statusError);
    if (!statusError && std::filesystem::exists(status) &&
        !std::filesystem::is_regular_file(status)) {
        result.status = std::filesystem::is_directory(status)
                            ? FileStatus::failure(std::make_error_code(std::errc::is_a_directory))
                            : not_a_regular_file();
        return result;
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        result.status =
            FileStatus::failure(std::error_code(errno ? errno : EIO, std::generic_category()));
        return result;
    }
    Sha256 sha;
    std::array<char, 65536> buffer;
    std::size_t count = 0;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
        sha.update(std::string_view(buffer.data(), count));
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        result.status = FileStatus::failure(std::make_error_code(std::errc::io_error));
        return result;
    }
    result.hex = sha.finish_hex();
    return result;
}

}  // namespace quillon::text
