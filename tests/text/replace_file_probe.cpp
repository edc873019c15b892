// replace_file_probe PATH BYTES: replaces PATH with BYTES bytes through text::replace_file and
// prints what it reports. The fault tests run it as another user or on a small disk of its own.
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "text/text_file.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: replace_file_probe PATH BYTES\n", stderr);
        return 2;
    }
    std::size_t bytes = 0;
    const std::string_view count(argv[2]);
    if (std::from_chars(count.data(), count.data() + count.size(), bytes).ec != std::errc{}) {
        return 2;
    }
    const auto status = quillon::text::replace_file(argv[1], std::string(bytes, 'n'));
    std::fputs(status.ok ? "replaced" : status.description.c_str(), stdout);
    return status.ok ? 0 : 1;
}
