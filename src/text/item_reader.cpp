#include "text/item_reader.h"

namespace quillon::text {

ItemReader::ItemReader(std::string text) : text_(std::move(text)) {}

bool ItemReader::atEnd() const {
    return pos_ >= text_.size();
}

bool ItemReader::atLineEnd() const {
    return pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n');
}

void ItemReader::skipLineEnd() {
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') {
        ++pos_;
    }
    ++pos_;
    ++currentLine_;
}

std::optional<std::string> ItemReader::next() {
    if (atEnd()) {
        return std::nullopt;
    }
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) {
        ++pos_;
    }
    itemLine_ = currentLine_;

    std::string item;
    if (pos_ < text_.size() && text_[pos_] == '"') {
        ++pos_;
        while (pos_ < text_.size() && text_[pos_] != '"') {
            if (text_[pos_] == '\n' ||
                (text_[pos_] == '\r' && (pos_ + 1 >= text_.size() || text_[pos_ + 1] != '\n'))) {
                ++currentLine_;
            }
            item += text_[pos_++];
        }
        if (pos_ < text_.size()) {
            ++pos_;  // closing quote
        }
        while (pos_ < text_.size() && text_[pos_] != ',' && !atLineEnd()) {
            ++pos_;
        }
    } else {
        while (pos_ < text_.size() && text_[pos_] != ',' && !atLineEnd()) {
            item += text_[pos_++];
        }
        while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) {
            item.pop_back();
        }
    }

    if (pos_ < text_.size()) {
        if (text_[pos_] == ',') {
            ++pos_;
            // A comma right before the line end also ends the line.
            if (atLineEnd()) {
                skipLineEnd();
            }
        } else {
            skipLineEnd();
        }
    }
    return item;
}

}  // namespace quillon::text
