#include "screens/start/name_lists.h"

#include <filesystem>
#include <system_error>

#include "text/item_reader.h"

namespace quillon::screens {

const std::vector<NameList>& name_lists() {
    static const std::vector<NameList> lists{
        {"Boats", "boats.txt", "cbBoats", "cmdBoats", "Edit Boat Manuf.", "Boat Manufacturer",
         "Boat Manufacturers"},
        {"Models", "models.txt", "cbModels", "cmdModels", "Edit Model", "Boat Model",
         "Boat Models"},
        {"Drivers", "drivers.txt", "cbDrivers", "cmdDrivers", "Edit Drivers", "Drivers", "Drivers"},
        {"Skiers", "skiers.txt", "cbSkiers", "cmdSkiers", "Edit Skiers", "Skiers", "Skiers"},
    };
    return lists;
}

LoadedNames load_names(const std::string& path) {
    LoadedNames result;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return result;
    }
    // A name list is a few hundred names. Anything far larger is not one, and would take the
    // name box and the editor many seconds to fill.
    auto file = text::read_file(path, maxNameListBytes);
    if (!file.status) {
        result.status = file.status;
        return result;
    }
    text::ItemReader reader(std::move(file.bytes));
    while (auto item = reader.next()) {
        if (!item->empty()) {
            result.names.push_back(std::move(*item));
        }
    }
    return result;
}

std::string editor_text(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) {
        text += name;
        text += '\n';
    }
    return text;
}

std::string list_file_text(std::string_view editorText) {
    std::string text;
    for (char c : text::trim_trailing_blanks(editorText)) {
        if (c == '\n') {
            text += "\r\n";
        } else if (c != '\r') {
            text += c;
        }
    }
    return text + "\r\n";
}

}  // namespace quillon::screens
