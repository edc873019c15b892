// Any bytes as a number on the command line of quillon-cli: each form gives a value or a
// refusal, never a crash. A value taken is finite, a pair was written with one comma, and a
// date and time taken has the shape "MM-DD-YYYY HH:MM:SS" with each field in its range.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cli/arguments.h"
#include "cli/cli_io.h"
#include "text/number_forms.h"

namespace {

void require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillon;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        require(std::isfinite(cli::number_argument(text, "--fuzz")));
    } catch (const cli::BadInput&) {
    }
    try {
        const auto pair = cli::pair_argument(text, "--jump");
        require(std::isfinite(pair.a) && std::isfinite(pair.b));
        require(text.find(',') == text.rfind(','));
    } catch (const cli::BadInput&) {
    }
    try {
        const auto surface = cli::surface_argument(std::string(text));
        require(surface.width >= 1 && surface.width <= 100000 && surface.height >= 1 &&
                surface.height <= 100000);
    } catch (const cli::BadInput&) {
    }
    try {
        const auto when = cli::parse_now(text);
        require(text.size() == 19);
        require(when.month >= 1 && when.month <= 12 && when.day >= 1 && when.day <= 31);
        require(when.hour >= 0 && when.hour <= 23 && when.minute >= 0 && when.minute <= 59 &&
                when.second >= 0 && when.second <= 59);
    } catch (const cli::BadInput&) {
    }
    for (const auto& forms : {text::setupNumber, text::decimalNumber, text::digitsOnly}) {
        if (const auto value = text::parse_number(text, forms)) {
            require(std::isfinite(*value));
        }
    }
    return 0;
}
