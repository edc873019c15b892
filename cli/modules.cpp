#include "cli/modules.h"

#include <dlfcn.h>

#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli_io.h"
#include "cli/commands.h"

namespace quillon::cli {

namespace {

// The entry point `symbol` of the module file `name`. The module stays loaded for the rest of
// the run (a second dlopen of it only counts up), and its libraries stay inside it.
void* module_entry(const char* name, const char* symbol) {
    const std::string path = (module_folder() / name).string();
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* entry = module == nullptr ? nullptr : dlsym(module, symbol);
    if (entry == nullptr) {
        const char* reason = dlerror();
        throw BadInput{joined({"quillon-cli could not load its module ", name, ": ",
                               reason == nullptr ? "no entry point" : reason})};
    }
    return entry;
}

template <typename Function>
Function* entry_of(const char* name, const char* symbol) {
    return reinterpret_cast<Function*>(module_entry(name, symbol));
}

decltype(quillon_cli_write_dossier_pdf)* pdfEntry = nullptr;

text::FileStatus write_dossier_pdf_in_module(const std::string& path,
                                             const dossier::DossierContent& content) {
    std::string reason;
    const int error = pdfEntry(path.c_str(), &content, &append_to_string, &reason);
    if (error == 0) {
        return text::FileStatus::success();
    }
    text::FileStatus status;
    status.ok = false;
    status.description = reason;
    if (error > 0) {
        status.error = std::error_code(error, std::generic_category());
    }
    return status;
}

}  // namespace

std::filesystem::path module_folder() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    return program.parent_path().parent_path() / "lib" / "quillon";
}

DossierPdfWriter load_dossier_pdf_writer() {
    if (pdfEntry == nullptr) {
        pdfEntry = entry_of<decltype(quillon_cli_write_dossier_pdf)>(
            "quillon-cli-pdf.so", "quillon_cli_write_dossier_pdf");
    }
    return &write_dossier_pdf_in_module;
}

void write_to_stream(void* stream, const char* bytes, std::size_t size) {
    static_cast<std::ostream*>(stream)->write(bytes, static_cast<std::streamsize>(size));
}

void append_to_string(void* text, const char* bytes, std::size_t size) {
    static_cast<std::string*>(text)->append(bytes, size);
}

int track_command(const CommandWords& words, const CommandIo& io) {
    const auto track =
        entry_of<decltype(quillon_cli_track)>("quillon-cli-track.so", "quillon_cli_track");
    std::vector<const char*> given;
    for (const std::string& word : words.given()) {
        given.push_back(word.c_str());
    }
    const QuillonCliOutput output{&write_to_stream, &io.out, &io.err, &io.err == &std::cerr};
    return track(given.data(), given.size(), &output);
}

}  // namespace quillon::cli
