#pragma once

#include <filesystem>
#include <string>

#include "cli/command_table.h"
#include "cli/results/dossier_writer.h"
#include "dossier/dossier_content.h"
#include "text/text_file.h"

// The parts of quillon-cli that need Qt, OpenCV or FFmpeg live in shared modules of their own,
// which quillon-cli opens with dlopen the first time a command needs one: every other command
// (and --help, and a usage error) loads none of those libraries. Each module's entry point is
// declared here, for the module that defines it and for the loader that finds it by name; the
// modules export nothing else.
extern "C" {

// quillon-cli-track.so: the track command (the tracker on OpenCV, the video reader on FFmpeg).
// A refusal is written to io.err as run_guarded writes one, so no exception leaves the module.
[[gnu::visibility("default")]] int quillon_cli_track(const quillon::cli::CommandWords& words,
                                                     const quillon::cli::CommandIo& io);

// quillon-cli-pdf.so: writes the record dossier as a PDF with Qt GUI, starting an offscreen
// QGuiApplication the first time.
[[gnu::visibility("default")]] void quillon_cli_write_dossier_pdf(
    const std::string& path, const quillon::dossier::DossierContent& content,
    quillon::text::FileStatus& status);
}

namespace quillon::cli {

// The folder of the modules: lib/quillon beside the running program's folder, which is bin/
// both in the build and where it is installed (/usr/bin and /usr/lib/quillon in the package).
std::filesystem::path module_folder();

// The dossier PDF writer of quillon-cli-pdf.so, loaded on first use. BadInput naming the
// module and the loader's reason when it cannot be loaded.
DossierPdfWriter load_dossier_pdf_writer();

}  // namespace quillon::cli
