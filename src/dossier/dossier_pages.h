#pragma once

#include <string>

#include "dossier/dossier_content.h"
#include "text/text_file.h"

class QPagedPaintDevice;

namespace quillon::dossier {

// Draws the dossier's pages on an A4 device (a PDF writer or a printer), everything as
// vectors: page 1 the pass, statistics, zone table, calibration and the graph; page 2 onward
// every sample. The device's page layout is set to A4 portrait without margins. Returns the
// number of pages drawn; 0 when the device could not be painted on.
int draw_dossier(QPagedPaintDevice& device, const DossierContent& content);

// Writes the dossier as a PDF to `path`: drawn in memory, then written beside the old file and
// moved over it, so a failed write leaves the old file as it was. Needs a QGuiApplication.
text::FileStatus write_dossier_pdf(const std::string& path, const DossierContent& content);

}  // namespace quillon::dossier
