#pragma once

#include "analysis/sample_provenance.h"

namespace quillon::session {

// A sample's provenance belongs to the analysis below (the samples CSV and the dossier read
// it); the pass speaks of it as its own.
using analysis::Provenance;
using analysis::provenance_name;
using analysis::sample_ranges;

}  // namespace quillon::session
