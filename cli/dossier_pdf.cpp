#include "cli/dossier_pdf.h"

#include <QGuiApplication>

#include "dossier/dossier_pages.h"

namespace quillon::cli {

text::FileStatus write_dossier_pdf_offscreen(const std::string& path,
                                             const dossier::DossierContent& content) {
    if (!QGuiApplication::instance()) {
        // Kept for the rest of the run and never destroyed: Qt holds on to argc and argv, and
        // tearing the application down among the program's static objects gains nothing.
        static int argc = 3;
        static char name[] = "quillon-cli";
        static char option[] = "-platform";
        static char platform[] = "offscreen";
        static char* argv[] = {name, option, platform, nullptr};
        new QGuiApplication(argc, argv);
    }
    return dossier::write_dossier_pdf(path, content);
}

}  // namespace quillon::cli
