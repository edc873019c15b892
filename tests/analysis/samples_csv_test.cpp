#include "analysis/samples_csv.h"

#include <gtest/gtest.h>

#include <vector>

#include "text/text_file.h"

using namespace quillon;

// A short slalom pass (N = 10) with the values that trip number forms: a negative zero, a
// value below 1E-04, a tenth that is not exact in binary, and a long fraction.
TEST(SamplesCsv, MatchesTheGoldenFileByteForByte) {
    const std::vector<double> samples{0,         -0.0,  0.05,  -0.12,   0.3,  1e-05,
                                      0.1 + 0.2, -0.25, 0.125, 2.0 / 3, -1.5, 99};
    const auto golden = text::read_file(QUILLON_GOLDEN_DIR "/samples.csv");
    ASSERT_TRUE(golden.status.ok) << golden.status.description;
    EXPECT_EQ(analysis::samples_csv(samples, 10, course::Discipline::Slalom), golden.bytes);
}

// Each row names where its sample came from, and the ranges of the untracked ones read as a
// reader of the report expects them.
TEST(SamplesCsv, ProvenanceEndsEachRow) {
    using analysis::Provenance;
    const std::vector<double> samples(11, 0.02);
    const std::vector<Provenance> from{
        Provenance::Tracked,  Provenance::Held,    Provenance::Held,    Provenance::Tracked,
        Provenance::Operator, Provenance::Tracked, Provenance::Tracked, Provenance::Tracked,
        Provenance::Tracked,  Provenance::Tracked, Provenance::Held};
    const std::string csv = analysis::samples_csv(samples, 10, course::Discipline::Slalom, from);
    EXPECT_NE(csv.find("\r\n1,0.1,25.900,0.02,held\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n4,0.4,103.600,0.02,operator\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\r\n9,0.9,233.100,0.02,tracked\r\n"), std::string::npos) << csv;
    const auto untracked = analysis::untracked_samples(from, 11);
    EXPECT_EQ(analysis::sample_ranges(untracked), "1-2, 4, 10");
    EXPECT_TRUE(analysis::auto_tracked(from, 11));
    EXPECT_FALSE(analysis::auto_tracked(from, 0));
    EXPECT_EQ(analysis::sample_ranges({}), "");
}
