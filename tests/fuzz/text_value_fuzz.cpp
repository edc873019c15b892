// Any text as the value of a box: a number, never a crash; and the number's own text reads
// back as itself.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "text/number_text.h"
#include "text/text_value.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const double value =
        quillon::text::text_value(std::string_view(reinterpret_cast<const char*>(data), size));
    if (std::isfinite(value)) {
        const double again = quillon::text::text_value(quillon::text::number_text(value));
        if (std::abs(again - value) > std::abs(value) * 1e-14) {
            std::abort();
        }
    }
    return 0;
}
