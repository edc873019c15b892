#pragma once

#include <string>

#include "dossier/dossier_content.h"
#include "text/text_file.h"

namespace quillon::cli {

// The dossier PDF writer of quillon-cli: starts an offscreen QGuiApplication the first time it
// is needed (the other commands never start Qt), then writes the PDF.
text::FileStatus write_dossier_pdf_offscreen(const std::string& path,
                                             const dossier::DossierContent& content);

}  // namespace quillon::cli
