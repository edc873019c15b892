#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "course/pass_description.h"

namespace quillon::analysis {

// Which side of the boat a buoy stands on as the boat passes it.
enum class BoatSide { Left, Right };

// How the path is judged buoy by buoy.
struct ZoneSettings {
    static constexpr double shortestZone = 2;
    static constexpr double longestZone = 10;
    // Metres of course from each buoy on over which the boat is judged.
    double zoneLength = 5;
    // The limits a zone can be judged by, metres: the graph's scale runs to 0.24 m.
    static constexpr double smallestLimit = 0.05;
    static constexpr double largestLimit = 0.24;
    // The largest deviation from the path centre, either way (metres), before a zone is
    // flagged.
    double limit = 0.20;
    // Buoy 1's side as the boat enters; the others alternate.
    BoatSide buoy1Side = BoatSide::Right;
};

// Throws std::invalid_argument for a zone length outside 2..10 m or a limit outside
// 0.05..0.24 m.
void require_zone_settings(const ZoneSettings& settings);

// The jump course is judged in stretches of this length.
inline constexpr double jumpSegmentLength = 40;

enum class ZoneKind { EntryGate, Buoy, ExitGate, JumpSegment };

// The boat's path over one zone: the closed interval [start, end] of course position, in
// metres the boat has travelled from the start (the report's course positions).
//
// A reading is how far the boat was toward the zone's buoy: directionSign x S[k] is positive
// when the boat is left of the centre line, so a buoy on the boat's left reads
// directionSign x S[k] and one on its right the negative of that. Gates and jump segments have
// a buoy on either side and read abs(S[k]). Beside the readings stands the largest deviation
// from the path centre in either direction, with its side: a zone is judged on that.
struct ZoneReading {
    ZoneKind kind = ZoneKind::Buoy;
    // 1 to 6 for a turn buoy, 0 otherwise.
    int buoy = 0;
    // The side of the boat a turn buoy stands on (a gate or jump stretch has none).
    BoatSide buoySide = BoatSide::Right;
    double start = 0;
    double end = 0;
    int sampleCount = 0;
    // The zone's first and last sample numbers; -1 when it has none.
    int firstSample = -1;
    int lastSample = -1;
    // Mean and largest reading over the zone's samples (0 when it has none), metres.
    double meanReading = 0;
    double largestReading = 0;
    // The largest abs(S[k]) over the zone's samples and the side of the boat it was on.
    double largestOffCentre = 0;
    BoatSide offCentreSide = BoatSide::Left;
    // The largest deviation from the centre, either way, is beyond the limit.
    bool overLimit = false;

    bool hasBuoySide() const { return kind == ZoneKind::Buoy; }

    // "Entry gate", "Buoy 1" ... "Buoy 6", "Exit gate"; "0-40 m" ... "240-280 m" in jump.
    std::string name() const;
};

// The zones of a pass in the order the boat meets them, each with its readings over
// samples[0..lastSampleIndex]. Slalom: the entry gate from 0, the six turn buoys from 27, 68,
// 109, 150, 191 and 232 m, the exit gate up to 259 m; jump: 40 m stretches of the 280 m
// course. A sample on the edge between two zones counts in both. Throws std::invalid_argument
// for bad settings or a pass that require_pass_samples refuses.
std::vector<ZoneReading> zone_readings(std::span<const double> samples, int lastSampleIndex,
                                       double directionSign, course::Discipline discipline,
                                       const ZoneSettings& settings);

// The readings as a plain table, one line per zone (each ended by LF), after a heading line
// naming the settings:
//   Zone readings (zone 5 m, limit 0.20 m, buoy 1 on the boat's right)
//   Entry gate   0.0-  5.0 m  both   samples  4  mean  0.034  largest  0.120  off centre 0.120 left
//   Buoy 1      27.0- 32.0 m  right  samples  3  mean -0.020  largest  0.012  off centre 0.240 left
//   OVER LIMIT
std::string zone_table_text(const std::vector<ZoneReading>& zones, const ZoneSettings& settings,
                            course::Discipline discipline);

// "left" or "right".
std::string_view side_name(BoatSide side);

// The zones that are over the limit, and those not over it that hold a sample the tracker did
// not track (not verified), by name.
struct Verdict {
    std::vector<std::string> over;
    std::vector<std::string> notVerified;
};
Verdict zone_verdict(const std::vector<ZoneReading>& zones, const std::vector<int>& untracked);

// "Within the 0.20 m limit in every zone", "Over the 0.20 m limit in Buoy 2, Buoy 5", and for
// zones with untracked samples "Not verified in Buoy 3 (samples not tracked)"; over and not
// verified together are joined by "; ".
std::string verdict_line(const Verdict& verdict, double limit);

}  // namespace quillon::analysis
