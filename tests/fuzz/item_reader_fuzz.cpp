// Any bytes read item by item: the reader always moves on, so it ends.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/item_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillon::text::ItemReader reader(std::string(reinterpret_cast<const char*>(data), size));
    std::size_t items = 0;
    while (reader.next()) {
        // Every item consumes at least one byte.
        if (++items > size + 1) {
            std::abort();
        }
    }
    return 0;
}
