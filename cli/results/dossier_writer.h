#pragma once

#include <string>

#include "dossier/dossier_content.h"
#include "text/text_file.h"

namespace quillon::cli {

// Writes a record dossier as a PDF. The command library holds no Qt: quillon-cli's main hands
// in the writer (which starts an offscreen QGuiApplication on first use), and without one
// "report --pdf" is refused.
using DossierPdfWriter = text::FileStatus (*)(const std::string& path,
                                              const dossier::DossierContent& content);

void set_dossier_pdf_writer(DossierPdfWriter writer);
DossierPdfWriter dossier_pdf_writer();

}  // namespace quillon::cli
