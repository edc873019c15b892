// Any bytes as a POINTS file of `quillon-cli solve` or the pairs that `map` reads on stdin:
// every line gives its numbers or a refusal, never a crash. A line that is taken holds no line
// end, comes after the one before it, and gives finite numbers.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cli/cli_io.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon::cli;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::size_t previous = 0;
    for (const NumberedLine& line : non_blank_lines(bytes)) {
        if (line.number <= previous || line.text.find_first_of("\r\n") != std::string_view::npos) {
            std::abort();
        }
        previous = line.number;
        for (const std::size_t count : {std::size_t{2}, std::size_t{4}}) {
            try {
                const auto numbers = numbers_of_line(line, count, "stdin");
                if (numbers.size() != count) {
                    std::abort();
                }
                for (const double number : numbers) {
                    if (!std::isfinite(number)) {
                        std::abort();
                    }
                }
            } catch (const BadInput&) {
            }
        }
    }
    return 0;
}
