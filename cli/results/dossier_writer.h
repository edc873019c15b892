#pragma once

#include <string>

#include "dossier/dossier_content.h"
#include "text/text_file.h"

namespace quillon::cli {

// Writes a record dossier as a PDF. The command library holds no Qt: unless a writer was set
// here (the tests set one of their own), "report --pdf" loads the one of quillon-cli-pdf.so
// (cli/modules.h) before it writes anything.
using DossierPdfWriter = text::FileStatus (*)(const std::string& path,
                                              const dossier::DossierContent& content);

void set_dossier_pdf_writer(DossierPdfWriter writer);
DossierPdfWriter dossier_pdf_writer();

}  // namespace quillon::cli
