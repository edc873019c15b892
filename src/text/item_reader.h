#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::text {

// Reads a text file item by item, the way name lists, setup files and saved reports are read
// back: an item ends at a comma or at a line end (CR LF, LF or a lone CR); blanks and tabs
// before an item and blanks after it are dropped; an item that starts with a double quote runs
// to the next double quote (commas and line ends included) and whatever follows it up to the
// next comma or line end is skipped.
class ItemReader {
  public:
    explicit ItemReader(std::string text);

    // True when nothing but the end of the text is left.
    bool atEnd() const;

    // The next item, or nothing at the end of the text. An empty line gives an empty item.
    std::optional<std::string> next();

    // The 1-based line on which the item last returned by next() started.
    std::size_t line() const { return itemLine_; }

  private:
    bool atLineEnd() const;
    void skipLineEnd();

    std::string text_;
    std::size_t pos_ = 0;
    std::size_t currentLine_ = 1;
    std::size_t itemLine_ = 0;
};

}  // namespace quillon::text
