// Any bytes as the samples file of `quillon-cli report`: the reader gives deviations or a
// refusal, never a crash; and every deviation it gives is a number a pass can hold.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cli/cli_io.h"
#include "cli/results/samples_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        for (const double sample : quillon::cli::parse_samples(bytes, "fuzz.txt")) {
            if (!(std::abs(sample) <= quillon::cli::maxSampleMetres)) {
                std::abort();
            }
        }
    } catch (const quillon::cli::BadInput&) {
    }
    return 0;
}
