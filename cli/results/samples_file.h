#pragma once

#include <string_view>
#include <vector>

namespace quillon::cli {

// A samples file of a few hundred lines is tiny; anything near this size is not one.
inline constexpr std::size_t maxSamplesFileBytes = 1024 * 1024;

// No towboat strays this far from the course centre: a deviation beyond it is a misread or a
// mistyped number, not a measurement.
inline constexpr double maxSampleMetres = 10.0;

// The deviations of a samples file, as `report` reads them: one deviation in metres per line
// (a plain decimal number, blanks around it allowed), line ends CR LF, LF or CR, empty lines
// at the very end allowed. Throws BadInput naming the line of the first one that is not a
// number or lies beyond maxSampleMetres either side; `path` names the file in the message.
std::vector<double> parse_samples(std::string_view bytes, std::string_view path);

}  // namespace quillon::cli
