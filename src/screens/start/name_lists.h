#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_file.h"

namespace quillon::screens {

// One of the four name lists behind the Start screen's name boxes.
struct NameList {
    const char* modeWord;    // the editor's mode while this list is edited
    const char* fileName;    // beside the program
    const char* comboName;   // objectName of the box
    const char* buttonName;  // objectName of its edit button
    const char* buttonCaption;
    const char* caption;  // the text the box shows after saving
    const char* title;    // how the editor names the list it holds
};

// Boats, models, drivers, skiers.
const std::vector<NameList>& name_lists();

struct LoadedNames {
    text::FileStatus status;
    std::vector<std::string> names;
};

// The largest list file read: some ten thousand names.
inline constexpr std::size_t maxNameListBytes = 256u * 1024u;

// The names in a list file, item by item: a line "Smith, John" gives two names, a quoted item
// keeps its commas. Empty lines and empty items give no name. A missing file is an empty list;
// a file larger than maxNameListBytes is refused.
LoadedNames load_names(const std::string& path);

// The editor text for a list: each name on its own line.
std::string editor_text(const std::vector<std::string>& names);

// The file written from an editor text: its line breaks as CR LF, trailing blanks removed,
// then one more CR LF (so a text ending with a line break ends the file with an empty line).
std::string list_file_text(std::string_view editorText);

}  // namespace quillon::screens
