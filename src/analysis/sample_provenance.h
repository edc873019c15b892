#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::analysis {

// Where a stored sample came from: the line on the mark the tracker found on that frame, the
// line where the operator held it (keys, joystick, mouse, or no tracking at all), or the line
// held at the boat's last tracked lateral position while the tracker had lost the mark.
enum class Provenance : unsigned char { Operator, Tracked, Held };

// "operator", "tracked", "held": the words of the samples CSV and of quillon-cli track --detail.
std::string_view provenance_name(Provenance provenance);

// The samples among the first `count` whose line was not on a mark the tracker found.
std::vector<int> untracked_samples(std::span<const Provenance> provenance, int count);
// Some sample among the first `count` was tracked: the pass was measured with Auto Track.
bool auto_tracked(std::span<const Provenance> provenance, int count);

// Sample numbers as ranges, in ascending order: "36, 61-63, 137-139".
std::string sample_ranges(const std::vector<int>& samples);

}  // namespace quillon::analysis
