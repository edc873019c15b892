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
