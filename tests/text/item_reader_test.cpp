#include <gtest/gtest.h>

#include <vector>

#include "text/item_reader.h"

using quillon::text::ItemReader;

namespace {

std::vector<std::string> all_items(const std::string& text) {
    ItemReader reader(text);
    std::vector<std::string> items;
    while (auto item = reader.next()) {
        items.push_back(*item);
    }
    return items;
}

}  // namespace

TEST(ItemReader, SplitsAtCommasAndLineEnds) {
    using Items = std::vector<std::string>;
    const struct {
        const char* text;
        Items items;
    } cases[] = {
        {"Smith, John\r\nJones\r\n", {"Smith", "John", "Jones"}},
        {"\"Smith, John\"\r\nJones", {"Smith, John", "Jones"}},
        {"a\nb\rc", {"a", "b", "c"}},
        {"  padded  ,\tx", {"padded", "x"}},
        {"", {}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {" 7200 , 1500 , 0 ,-259 \r\n", {"7200", "1500", "0", "-259"}},
        {"\"unterminated", {"unterminated"}},
        {"\"q\" tail,next", {"q", "next"}},
        {"North lake, camera 2\r\n 1 \r\n", {"North lake", "camera 2", "1"}},
        {"Frame  0   Course Position: 000.0   Deviation:  0\r\n",
         {"Frame  0   Course Position: 000.0   Deviation:  0"}},
        {"Müller\r\n", {"Müller"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(all_items(c.text), c.items) << '"' << c.text << '"';
    }
}

TEST(ItemReader, ReportsTheLineOfEachItem) {
    ItemReader reader("a\r\nb,c\r\n\"d\ne\"\r\nf");
    std::vector<std::size_t> lines;
    while (reader.next()) {
        lines.push_back(reader.line());
    }
    EXPECT_EQ(lines, (std::vector<std::size_t>{1, 2, 2, 3, 5}));
    EXPECT_TRUE(reader.atEnd());
}
