#pragma once

#include <cstdint>

namespace quillon::session {

// Frame times are rounded to microseconds; a frame this close before a due time counts as
// reaching it.
inline constexpr std::int64_t videoTimeToleranceUs = 500;

// How many ticks of a clock running in video time are due once the frame at `frameUs` is
// shown: tick k (1, 2, ...) falls due at startUs + k x periodMs, where startUs is the time of
// the frame shown when the clock started. The Measure screen's video-time pulse clocks and
// quillon-cli track both count their ticks with this, so they take the same frames.
int video_ticks_due(std::int64_t frameUs, std::int64_t startUs, int periodMs);

}  // namespace quillon::session
