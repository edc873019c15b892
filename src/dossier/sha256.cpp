#include "dossier/sha256.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

extern "C" {
#include <libavutil/mem.h>
#include <libavutil/sha.h>
}

namespace quillon::dossier {

namespace {

struct ShaFree {
    void operator()(AVSHA* sha) const { av_free(sha); }
};
using Sha = std::unique_ptr<AVSHA, ShaFree>;

Sha new_sha256() {
    Sha sha(av_sha_alloc());
    if (!sha || av_sha_init(sha.get(), 256) < 0) {
        throw std::bad_alloc();
    }
    return sha;
}

std::string hex_of(Sha& sha) {
    std::uint8_t digest[32];
    av_sha_final(sha.get(), digest);
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t byte : digest) {
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

}  // namespace

std::string sha256_hex(std::string_view bytes) {
    Sha sha = new_sha256();
    // av_sha_update takes at most an unsigned int's worth at a time.
    constexpr std::size_t piece = 1u << 30;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        const auto count = std::min(piece, bytes.size() - at);
        av_sha_update(sha.get(), reinterpret_cast<const std::uint8_t*>(bytes.data() + at),
                      static_cast<unsigned int>(count));
    }
    return hex_of(sha);
}

FileDigest sha256_of_file(const std::string& path) {
    FileDigest result;
    std::error_code statusError;
    const auto status = std::filesystem::status(path, statusError);
    if (!statusError && std::filesystem::exists(status) &&
        !std::filesystem::is_regular_file(status)) {
        result.status =
            std::filesystem::is_directory(status)
                ? text::FileStatus::failure(std::make_error_code(std::errc::is_a_directory))
                : text::not_a_regular_file();
        return result;
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        result.status = text::FileStatus::failure(
            std::error_code(errno ? errno : EIO, std::generic_category()));
        return result;
    }
    Sha sha = new_sha256();
    std::uint8_t buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        av_sha_update(sha.get(), buffer, static_cast<unsigned int>(count));
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        result.status = text::FileStatus::failure(std::make_error_code(std::errc::io_error));
        return result;
    }
    result.hex = hex_of(sha);
    return result;
}

}  // namespace quillon::dossier
