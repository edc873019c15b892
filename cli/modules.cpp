#include "cli/modules.h"

#include <dlfcn.h>

#include <system_error>

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
    text::FileStatus status;
    pdfEntry(path, content, status);
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

int track_command(const CommandWords& words, const CommandIo& io) {
    return entry_of<decltype(quillon_cli_track)>("quillon-cli-track.so", "quillon_cli_track")(words,
                                                                                              io);
}

}  // namespace quillon::cli
