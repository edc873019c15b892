#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/sample_provenance.h"

namespace quillon::cli {

// What `quillon-cli track --detail` says of a pass: each sample's provenance and the video time
// of the frame sample 0 was taken on.
struct DetailFile {
    std::vector<analysis::Provenance> provenance;
    double sample0Seconds = 0;
};

// Reads the rows "sample,frame_time_s,deviation_m,provenance,confidence" (CR LF or LF) after
// that header: samples 0, 1, 2 ... in order, `sampleCount` of them, provenance "tracked",
// "held" or "operator". Throws BadInput naming the file and the line for anything else.
DetailFile parse_detail_file(std::string_view bytes, const std::string& path, int sampleCount);

// "36,61-63,137-139": sample numbers and ranges, each from 0 to lastIndex. Throws BadInput.
std::vector<int> parse_sample_list(std::string_view text, int lastIndex);

}  // namespace quillon::cli
