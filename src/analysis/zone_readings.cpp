#include "analysis/zone_readings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "analysis/pass_analysis.h"
#include "course/reference_course.h"
#include "text/number_text.h"

namespace quillon::analysis {

namespace {

// One zone before its samples are read: where it lies and which side its buoy is on
// (0 for a zone read by distance alone).
struct ZonePlan {
    ZoneKind kind;
    int buoy;
    double start;
    double end;
    double sideSign;
};

std::vector<ZonePlan> slalom_plan(const ZoneSettings& settings) {
    const double length = course::course_length(course::Discipline::Slalom);
    std::vector<ZonePlan> plan;
    plan.push_back({ZoneKind::EntryGate, 0, 0, settings.zoneLength, 0});
    // Buoy 1 on the boat's left reads +1, on its right -1; the buoys alternate from there.
    double sideSign = settings.buoy1Side == BoatSide::Left ? 1.0 : -1.0;
    for (std::size_t i = 0; i < course::slalomBuoyY.size(); ++i) {
        const double start = -course::slalomBuoyY[i];
        plan.push_back({ZoneKind::Buoy, static_cast<int>(i) + 1, start, start + settings.zoneLength,
                        sideSign});
        sideSign = -sideSign;
    }
    plan.push_back({ZoneKind::ExitGate, 0, length - settings.zoneLength, length, 0});
    return plan;
}

std::vector<ZonePlan> jump_plan() {
    const double length = course::course_length(course::Discipline::Jump);
    std::vector<ZonePlan> plan;
    for (double start = 0; start < length; start += jumpSegmentLength) {
        plan.push_back(
            {ZoneKind::JumpSegment, 0, start, std::min(start + jumpSegmentLength, length), 0});
    }
    return plan;
}

// The number without the blank the program's number form puts before a positive value.
std::string plain_number(double value) {
    std::string text = text::number_text(value);
    if (!text.empty() && text.front() == ' ') {
        text.erase(0, 1);
    }
    return text;
}

std::string padded(std::string text, std::size_t width, bool left = false) {
    if (text.size() < width) {
        const std::string blanks(width - text.size(), ' ');
        text = left ? text + blanks : blanks + text;
    }
    return text;
}

}  // namespace

void require_zone_settings(const ZoneSettings& settings) {
    if (!(settings.zoneLength >= ZoneSettings::shortestZone &&
          settings.zoneLength <= ZoneSettings::longestZone)) {
        throw std::invalid_argument("the zone length must be from 2 to 10 m");
    }
    if (!(settings.limit >= ZoneSettings::smallestLimit - 1e-9 &&
          settings.limit <= ZoneSettings::largestLimit + 1e-9)) {
        throw std::invalid_argument("the limit must be from 0.05 to 0.24 m");
    }
}

std::string ZoneReading::name() const {
    switch (kind) {
        case ZoneKind::EntryGate:
            return "Entry gate";
        case ZoneKind::ExitGate:
            return "Exit gate";
        case ZoneKind::Buoy:
            return "Buoy " + text::whole_text(buoy);
        case ZoneKind::JumpSegment:
            break;
    }
    return plain_number(start) + "-" + plain_number(end) + " m";
}

std::vector<ZoneReading> zone_readings(std::span<const double> samples, int lastSampleIndex,
                                       double directionSign, course::Discipline discipline,
                                       const ZoneSettings& settings) {
    require_zone_settings(settings);
    require_pass_samples(samples, lastSampleIndex);
    const double length = course::course_length(discipline);
    const auto plan =
        discipline == course::Discipline::Slalom ? slalom_plan(settings) : jump_plan();

    std::vector<ZoneReading> zones;
    zones.reserve(plan.size());
    for (const ZonePlan& zone : plan) {
        ZoneReading reading;
        reading.kind = zone.kind;
        reading.buoy = zone.buoy;
        reading.buoySide = zone.sideSign > 0 ? BoatSide::Left : BoatSide::Right;
        reading.start = zone.start;
        reading.end = zone.end;
        double sum = 0;
        for (int k = 0; k <= lastSampleIndex; ++k) {
            // The report's course position of sample k, computed as the report computes it.
            const double position = k * length / lastSampleIndex;
            if (position < zone.start || position > zone.end) {
                continue;
            }
            const double sample = samples[static_cast<std::size_t>(k)];
            const double r =
                zone.sideSign == 0 ? std::abs(sample) : zone.sideSign * directionSign * sample;
            if (reading.sampleCount == 0 || r > reading.largestReading) {
                reading.largestReading = r;
            }
            if (reading.sampleCount == 0 || std::abs(sample) > reading.largestOffCentre) {
                reading.largestOffCentre = std::abs(sample);
                reading.offCentreSide =
                    directionSign * sample >= 0 ? BoatSide::Left : BoatSide::Right;
            }
            if (reading.sampleCount == 0) {
                reading.firstSample = k;
            }
            reading.lastSample = k;
            sum += r;
            ++reading.sampleCount;
        }
        if (reading.sampleCount > 0) {
            reading.meanReading = sum / reading.sampleCount;
            reading.overLimit = reading.largestOffCentre > settings.limit;
        }
        zones.push_back(reading);
    }
    return zones;
}

std::string_view side_name(BoatSide side) {
    return side == BoatSide::Left ? "left" : "right";
}

std::string zone_table_text(const std::vector<ZoneReading>& zones, const ZoneSettings& settings,
                            course::Discipline discipline) {
    std::string out = "Zone readings (";
    if (discipline == course::Discipline::Slalom) {
        out += "zone " + plain_number(settings.zoneLength) + " m, ";
    } else {
        out += "segments " + plain_number(jumpSegmentLength) + " m, ";
    }
    out += "limit " + text::format_pattern(settings.limit, "0.00") + " m";
    if (discipline == course::Discipline::Slalom) {
        out += ", buoy 1 on the boat's ";
        out += side_name(settings.buoy1Side);
    }
    out += ")\n";
    for (const ZoneReading& zone : zones) {
        std::string line = padded(zone.name(), 11, true);
        line += padded(text::format_pattern(zone.start, "0.0"), 6) + "-" +
                padded(text::format_pattern(zone.end, "0.0"), 6) + " m";
        line += "  " + padded(zone.hasBuoySide() ? std::string(side_name(zone.buoySide))
                                                 : std::string("both"),
                              5, true);
        line += "  samples " + padded(text::whole_text(zone.sampleCount), 3);
        if (zone.sampleCount > 0) {
            line += "  mean " + padded(text::format_pattern(zone.meanReading, "0.000"), 6);
            line += "  largest " + padded(text::format_pattern(zone.largestReading, "0.000"), 6);
            line += "  off centre " + text::format_pattern(zone.largestOffCentre, "0.000") + " " +
                    std::string(side_name(zone.offCentreSide));
        }
        if (zone.overLimit) {
            line += "  OVER LIMIT";
        }
        out += line + "\n";
    }
    return out;
}

Verdict zone_verdict(const std::vector<ZoneReading>& zones, const std::vector<int>& untracked) {
    Verdict verdict;
    for (const ZoneReading& zone : zones) {
        if (zone.overLimit) {
            verdict.over.push_back(zone.name());
            continue;
        }
        const bool hasUntracked =
            zone.sampleCount > 0 && std::any_of(untracked.begin(), untracked.end(), [&](int k) {
                return k >= zone.firstSample && k <= zone.lastSample;
            });
        if (hasUntracked) {
            verdict.notVerified.push_back(zone.name());
        }
    }
    return verdict;
}

namespace {

std::string names_of(const std::vector<std::string>& names) {
    std::string out;
    for (const auto& name : names) {
        out += (out.empty() ? "" : ", ") + name;
    }
    return out;
}

}  // namespace

std::string verdict_line(const Verdict& verdict, double limit) {
    const std::string limitText = "the " + text::format_pattern(limit, "0.00") + " m limit";
    if (verdict.over.empty() && verdict.notVerified.empty()) {
        return "Within " + limitText + " in every zone";
    }
    std::string line;
    if (!verdict.over.empty()) {
        line = "Over " + limitText + " in " + names_of(verdict.over);
    }
    if (!verdict.notVerified.empty()) {
        line += line.empty() ? "" : "; ";
        line += "Not verified in " + names_of(verdict.notVerified) + " (samples not tracked)";
        if (verdict.over.empty()) {
            line += "; within " + limitText + " in every other zone";
        }
    }
    return line;
}

}  // namespace quillon::analysis
