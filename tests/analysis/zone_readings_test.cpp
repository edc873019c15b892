#include "analysis/zone_readings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

using namespace quillon;
using namespace quillon::analysis;
using course::Discipline;

namespace {

constexpr double away = 1.0;
constexpr double towards = -1.0;

// With N = 259 every slalom sample k lies exactly at k metres, so zone edges fall on samples.
constexpr int metreByMetre = 259;

std::vector<double> flat_pass(double value, int lastIndex = metreByMetre) {
    return std::vector<double>(static_cast<std::size_t>(lastIndex) + 1, value);
}

const ZoneReading& zone_named(const std::vector<ZoneReading>& zones, const std::string& name) {
    for (const auto& zone : zones) {
        if (zone.name() == name) {
            return zone;
        }
    }
    throw std::out_of_range(name);
}

}  // namespace

TEST(ZoneReadings, SlalomZonesInTheOrderTheBoatMeetsThemWithBothEdgesCounted) {
    for (const double length : {2.0, 5.0, 10.0}) {
        SCOPED_TRACE(length);
        const auto zones = zone_readings(flat_pass(0), metreByMetre, towards, Discipline::Slalom,
                                         {length, 0.2, BoatSide::Right});
        const struct {
            const char* name;
            double start;
        } expected[] = {
            {"Entry gate", 0}, {"Buoy 1", 27},  {"Buoy 2", 68},  {"Buoy 3", 109},
            {"Buoy 4", 150},   {"Buoy 5", 191}, {"Buoy 6", 232}, {"Exit gate", 259 - length}};
        ASSERT_EQ(zones.size(), std::size(expected));
        for (std::size_t i = 0; i < zones.size(); ++i) {
            EXPECT_EQ(zones[i].name(), expected[i].name);
            EXPECT_EQ(zones[i].start, expected[i].start);
            EXPECT_EQ(zones[i].end, expected[i].start + length);
            // Samples at both ends of [start, start + length] count.
            EXPECT_EQ(zones[i].sampleCount, static_cast<int>(length) + 1);
        }
    }
}

TEST(ZoneReadings, ReadingSignFollowsBoatSideBuoySideAndDirection) {
    // A boat 0.1 m off the centre line all the way, S = +0.1.
    const struct {
        double directionSign;
        BoatSide buoy1;
        double buoy1Reading;  // buoys 3 and 5 read the same, 2, 4 and 6 the opposite
    } cases[] = {
        // Coming toward the camera a positive S is right of the boat: toward buoy 1.
        {towards, BoatSide::Right, 0.1},
        // Going away the same S is left of the boat: away from buoy 1.
        {away, BoatSide::Right, -0.1},
        // Buoy 1 set on the left flips every buoy's reading.
        {towards, BoatSide::Left, -0.1},
        {away, BoatSide::Left, 0.1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.buoy1Reading * c.directionSign);
        const auto zones = zone_readings(flat_pass(0.1), metreByMetre, c.directionSign,
                                         Discipline::Slalom, {5, 0.2, c.buoy1});
        double expected = c.buoy1Reading;
        for (int buoy = 1; buoy <= 6; ++buoy) {
            const auto& zone = zone_named(zones, "Buoy " + std::to_string(buoy));
            EXPECT_DOUBLE_EQ(zone.meanReading, expected) << buoy;
            EXPECT_DOUBLE_EQ(zone.largestReading, expected) << buoy;
            expected = -expected;
        }
        // Gates have a buoy on either side: the distance off the centre, whatever the side.
        EXPECT_DOUBLE_EQ(zone_named(zones, "Entry gate").meanReading, 0.1);
        EXPECT_DOUBLE_EQ(zone_named(zones, "Exit gate").largestReading, 0.1);
    }
}

TEST(ZoneReadings, LargestReadingTowardTheBuoyAndTheLimitFlag) {
    const struct {
        const char* zone;
        int sample;
        double value;
        double largest;
        double mean;
        bool flagged;
        BoatSide offCentreSide;
    } cases[] = {
        // Buoy 3 (on the boat's right, like buoy 1), coming toward the camera: +S is toward it.
        {"Buoy 3", 111, 0.25, 0.25, 0.25 / 6, true, BoatSide::Right},
        // On the limit is not over it.
        {"Buoy 3", 109, 0.20, 0.20, 0.20 / 6, false, BoatSide::Right},
        // Far out on the other side: nothing toward the buoy, but over the limit all the same.
        {"Buoy 3", 114, -0.30, 0, -0.30 / 6, true, BoatSide::Left},
        {"Buoy 3", 114, -0.19, 0, -0.19 / 6, false, BoatSide::Left},
        {"Buoy 4", 150, -0.21, 0.21, 0.21 / 6, true, BoatSide::Left},  // buoy 4: boat's left
        {"Entry gate", 2, -0.21, 0.21, 0.21 / 6, true, BoatSide::Left},
        {"Exit gate", 259, 0.5, 0.5, 0.5 / 6, true, BoatSide::Right},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zone);
        auto samples = flat_pass(0);
        samples[static_cast<std::size_t>(c.sample)] = c.value;
        const auto zones =
            zone_readings(samples, metreByMetre, towards, Discipline::Slalom, ZoneSettings{});
        const auto& zone = zone_named(zones, c.zone);
        EXPECT_DOUBLE_EQ(zone.largestReading, c.largest);
        EXPECT_DOUBLE_EQ(zone.meanReading, c.mean);
        EXPECT_EQ(zone.overLimit, c.flagged);
        EXPECT_DOUBLE_EQ(zone.largestOffCentre, std::abs(c.value));
        EXPECT_EQ(zone.offCentreSide, c.offCentreSide);
        EXPECT_EQ(zone.firstSample, zone.sampleCount ? static_cast<int>(zone.start) : -1);
        int flagged = 0;
        for (const auto& other : zones) {
            flagged += other.overLimit ? 1 : 0;
        }
        EXPECT_EQ(flagged, c.flagged ? 1 : 0);
    }
}

TEST(ZoneReadings, ShortestZoneHoldsASampleAtEverySpeed) {
    course::PassDescription pass;
    for (int i = 0; i <= static_cast<int>(course::SlalomSpeed::Kmh46); ++i) {
        pass.discipline = Discipline::Slalom;
        pass.slalomSpeed = static_cast<course::SlalomSpeed>(i);
        const int last = course::last_sample_index(pass);
        for (const auto& zone : zone_readings(flat_pass(0, last), last, towards, Discipline::Slalom,
                                              {ZoneSettings::shortestZone, 0.2, BoatSide::Right})) {
            EXPECT_GE(zone.sampleCount, 1) << course::speed_kmh(pass) << " " << zone.name();
        }
    }
    for (int i = 0; i <= static_cast<int>(course::JumpSpeed::Kmh72); ++i) {
        pass.discipline = Discipline::Jump;
        pass.jumpSpeed = static_cast<course::JumpSpeed>(i);
        const int last = course::last_sample_index(pass);
        for (const auto& zone :
             zone_readings(flat_pass(0, last), last, towards, Discipline::Jump, ZoneSettings{})) {
            EXPECT_GE(zone.sampleCount, 1) << course::speed_kmh(pass) << " " << zone.name();
        }
    }
}

TEST(ZoneReadings, JumpIsJudgedInFortyMetreStretchesOffTheCentre) {
    // N = 280: sample k at k metres.
    auto samples = flat_pass(0.1, 280);
    samples[80] = -0.3;  // the edge of the second and third stretch
    const auto zones = zone_readings(samples, 280, towards, Discipline::Jump, ZoneSettings{});
    ASSERT_EQ(zones.size(), 7u);
    EXPECT_EQ(zones.front().name(), "0-40 m");
    EXPECT_EQ(zones.back().name(), "240-280 m");
    for (std::size_t i = 0; i < zones.size(); ++i) {
        const bool edge = i == 1 || i == 2;
        EXPECT_EQ(zones[i].sampleCount, 41);
        EXPECT_DOUBLE_EQ(zones[i].largestReading, edge ? 0.3 : 0.1);
        EXPECT_DOUBLE_EQ(zones[i].meanReading, edge ? (40 * 0.1 + 0.3) / 41 : 0.1);
        EXPECT_EQ(zones[i].overLimit, edge);
    }
}

TEST(ZoneReadings, RefusesSettingsOutOfRange) {
    const ZoneSettings refused[] = {{1.99, 0.2, BoatSide::Right}, {10.01, 0.2, BoatSide::Right},
                                    {5, 0, BoatSide::Right},      {5, 0.049, BoatSide::Right},
                                    {5, 0.241, BoatSide::Left},   {5, 1.5, BoatSide::Left}};
    for (const auto& settings : refused) {
        EXPECT_THROW(
            zone_readings(flat_pass(0), metreByMetre, towards, Discipline::Slalom, settings),
            std::invalid_argument);
    }
    for (const double limit : {0.05, 0.15, 0.24}) {
        EXPECT_NO_THROW(zone_readings(flat_pass(0), metreByMetre, towards, Discipline::Slalom,
                                      {5, limit, BoatSide::Right}));
    }
}

// Each turn buoy stands on one side, alternating from buoy 1; gates have none.
TEST(ZoneReadings, EachBuoyNamesItsSide) {
    for (const BoatSide buoy1 : {BoatSide::Left, BoatSide::Right}) {
        const auto zones =
            zone_readings(flat_pass(0), metreByMetre, away, Discipline::Slalom, {5, 0.2, buoy1});
        BoatSide expected = buoy1;
        for (const auto& zone : zones) {
            if (!zone.hasBuoySide()) {
                continue;
            }
            EXPECT_EQ(zone.buoySide, expected) << zone.name();
            expected = expected == BoatSide::Left ? BoatSide::Right : BoatSide::Left;
        }
        EXPECT_FALSE(zones.front().hasBuoySide());
        EXPECT_FALSE(zones.back().hasBuoySide());
    }
}

// The verdict: within, over by name, and a zone holding an untracked sample is never "within".
TEST(ZoneReadings, VerdictNamesTheZonesOverTheLimitOrNotVerified) {
    const struct {
        const char* what;
        std::vector<std::pair<int, double>> changed;  // sample, deviation
        std::vector<int> untracked;
        double limit;
        const char* line;
    } cases[] = {
        {"within", {{30, 0.19}, {70, -0.2}}, {}, 0.20, "Within the 0.20 m limit in every zone"},
        {"over at 0.15",
         {{30, 0.19}, {70, -0.16}},
         {},
         0.15,
         "Over the 0.15 m limit in Buoy 1, Buoy 2"},
        {"untracked outside every zone",
         {},
         {20, 100},
         0.20,
         "Within the 0.20 m limit in every zone"},
        {"untracked in buoy 3",
         {},
         {111},
         0.20,
         "Not verified in Buoy 3 (samples not tracked); within the 0.20 m limit in every other "
         "zone"},
        {"over and not verified",
         {{258, -0.3}},
         {2, 111, 258},
         0.20,
         "Over the 0.20 m limit in Exit gate; Not verified in Entry gate, Buoy 3 (samples not "
         "tracked)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto samples = flat_pass(0.01);
        for (const auto& [k, value] : c.changed) {
            samples[static_cast<std::size_t>(k)] = value;
        }
        const auto zones = zone_readings(samples, metreByMetre, towards, Discipline::Slalom,
                                         {5, c.limit, BoatSide::Right});
        EXPECT_EQ(verdict_line(zone_verdict(zones, c.untracked), c.limit), c.line);
    }
}

TEST(ZoneReadings, TableTextNamesEveryZone) {
    auto samples = flat_pass(0);
    samples[30] = 0.25;
    const ZoneSettings settings;
    const std::string table =
        zone_table_text(zone_readings(samples, metreByMetre, towards, Discipline::Slalom, settings),
                        settings, Discipline::Slalom);
    EXPECT_EQ(table,
              "Zone readings (zone 5 m, limit 0.20 m, buoy 1 on the boat's right)\n"
              "Entry gate    0.0-   5.0 m  both   samples   6  mean  0.000  largest  0.000  off "
              "centre 0.000 left\n"
              "Buoy 1       27.0-  32.0 m  right  samples   6  mean  0.042  largest  0.250  off "
              "centre 0.250 right  OVER LIMIT\n"
              "Buoy 2       68.0-  73.0 m  left   samples   6  mean  0.000  largest  0.000  off "
              "centre 0.000 left\n"
              "Buoy 3      109.0- 114.0 m  right  samples   6  mean  0.000  largest  0.000  off "
              "centre 0.000 left\n"
              "Buoy 4      150.0- 155.0 m  left   samples   6  mean  0.000  largest  0.000  off "
              "centre 0.000 left\n"
              "Buoy 5      191.0- 196.0 m  right  samples   6  mean  0.000  largest  0.000  off "
              "centre 0.000 left\n"
              "Buoy 6      232.0- 237.0 m  left   samples   6  mean  0.000  largest  0.000  off "
              "centre 0.000 left\n"
              "Exit gate   254.0- 259.0 m  both   samples   6  mean  0.000  largest  0.000  off "
              "centre 0.000 left\n");
}
