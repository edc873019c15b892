// Any bytes as a saved report, read for either discipline.
#include <cstddef>
#include <cstdint>
#include <string>

#include "analysis/saved_report.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    (void)quillon::analysis::read_saved_report(bytes, quillon::course::Discipline::Slalom);
    (void)quillon::analysis::read_saved_report(bytes, quillon::course::Discipline::Jump);
    return 0;
}
