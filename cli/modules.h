#pragma once

#include <cstddef>
#include <filesystem>

#include "cli/command_table.h"
#include "cli/results/dossier_writer.h"
#include "dossier/dossier_content.h"

// The parts of quillon-cli that need Qt, OpenCV or FFmpeg live in shared modules of their own,
// which quillon-cli opens with dlopen the first time a command needs one: every other command
// (and --help, and a usage error) loads none of those libraries. Each module's entry point is
// declared here, for the module that defines it and for the loader that finds it by name; the
// modules export nothing else.
//
// quillon-cli carries its own copy of the C++ runtime (linked statically: loading the shared
// one would double its start-up), while a module runs on the shared one that Qt, OpenCV and
// FFmpeg need. So no stream, exception or error category crosses between them: words go in as
// C strings, output comes back through QuillonCliWrite, and the dossier content is read-only
// plain data (strings, vectors and numbers of the same compiler's headers).
extern "C" {

// Writes SIZE bytes to STREAM, one of quillon-cli's own streams.
typedef void (*QuillonCliWrite)(void* stream, const char* bytes, std::size_t size);

// Where a module's command writes: its output through write(out), its messages through
// write(err), or straight to the process's stderr when errIsStderr (track then shows its
// progress when that is a terminal).
struct QuillonCliOutput {
    QuillonCliWrite write;
    void* out;
    void* err;
    bool errIsStderr;
};

// quillon-cli-track.so: the track command (the tracker on OpenCV, the video reader on FFmpeg)
// on the words after "track", already checked against its syntax. Gives the exit code; a
// refusal is written as run_guarded writes one.
[[gnu::visibility("default")]] int quillon_cli_track(const char* const* words, std::size_t count,
                                                     const QuillonCliOutput* output);

// quillon-cli-pdf.so: writes the record dossier as a PDF with Qt GUI, starting an offscreen
// QGuiApplication the first time. Gives 0 when written, else the system's error number (or
// -1 for none) with the system's words for it written to reason through write.
[[gnu::visibility("default")]] int quillon_cli_write_dossier_pdf(
    const char* path, const quillon::dossier::DossierContent* content, QuillonCliWrite write,
    void* reason);
}

namespace quillon::cli {

// The folder of the modules: lib/quillon beside the running program's folder, which is bin/
// both in the build and where it is installed (/usr/bin and /usr/lib/quillon in the package).
std::filesystem::path module_folder();

// The dossier PDF writer of quillon-cli-pdf.so, loaded on first use. BadInput naming the
// module and the loader's reason when it cannot be loaded.
DossierPdfWriter load_dossier_pdf_writer();

// Writes bytes to a std::ostream or appends them to a std::string: the QuillonCliWrite of
// each side, for the streams and texts it owns.
void write_to_stream(void* stream, const char* bytes, std::size_t size);
void append_to_string(void* text, const char* bytes, std::size_t size);

}  // namespace quillon::cli
