// quillon-cli-pdf.so: the dossier PDF writer, the one part of quillon-cli that needs Qt.

#include <QGuiApplication>

#include "cli/modules.h"
#include "dossier/dossier_pages.h"

int quillon_cli_write_dossier_pdf(const char* path, const quillon::dossier::DossierContent* content,
                                  QuillonCliWrite write, void* reason) {
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
    const auto status = quillon::dossier::write_dossier_pdf(path, *content);
    if (status.ok) {
        return 0;
    }
    write(reason, status.description.data(), status.description.size());
    return status.error ? status.error.value() : -1;
}
