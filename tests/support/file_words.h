#pragma once

#include <fstream>
#include <string>
#include <vector>

namespace quillon::testing {

// The blank-separated words of a file, as a shell would split an arguments file.
inline std::vector<std::string> words_of(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> words;
    for (std::string word; file >> word;) {
        words.push_back(word);
    }
    return words;
}

}  // namespace quillon::testing
