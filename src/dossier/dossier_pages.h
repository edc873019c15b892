#pragma once

#include <QPageLayout>
#include <string>

#include "dossier/dossier_content.h"
#include "text/text_file.h"

class QPagedPaintDevice;

namespace quillon::dossier {

// Draws the dossier's pages on a device (a PDF writer or a printer), everything as vectors:
// page 1 the pass, statistics, zone table, calibration and the graph, then the verdict and the
// signatures, then every sample. The device's own page layout is kept (the paper, orientation
// and margins of the print dialog); the A4 pages are scaled to fit its printable area. Returns
// the number of pages drawn; 0 when the device could not be painted on, a page could not be
// started or the painter could not finish.
int draw_dossier(QPagedPaintDevice& device, const DossierContent& content);

// A4 portrait without margins: the paper of a dossier saved as a file.
QPageLayout a4_page();

// Writes the dossier as a PDF to `path` on the given paper: drawn in memory, then written
// beside the old file and moved over it, so a failed write leaves the old file as it was.
// Needs a QGuiApplication.
text::FileStatus write_dossier_pdf(const std::string& path, const DossierContent& content,
                                   const QPageLayout& layout = a4_page());

}  // namespace quillon::dossier
