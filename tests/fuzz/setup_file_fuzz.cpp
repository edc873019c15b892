// Any bytes as a setup file: the reader must answer with data or a refusal, never crash or
// hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "calibration/setup_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)quillon::calibration::parse_setup_file(bytes, "fuzz.ipt");
    return 0;
}
