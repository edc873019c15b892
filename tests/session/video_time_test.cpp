#include <gtest/gtest.h>

#include "session/video_time.h"

namespace quillon::session {
namespace {

// Ticks of a 100 ms clock started on a frame at 1.0 s, for frames at the times a 30 or 25
// frames-per-second video stamps them, and at the tolerance's edges.
TEST(VideoTicksDue, CountsTicksReachedWithinTheTolerance) {
    struct Case {
        std::int64_t frameUs;
        int ticks;
    };
    const Case cases[] = {
        {1'000'000, 0},                                   // the start frame itself
        {900'000, 0},                                     // a frame before the start (stepped back)
        {1'066'667, 0}, {1'099'499, 0},  {1'099'500, 1},  // 500 us early still reaches tick 1
        {1'100'000, 1}, {1'133'333, 1},  {1'199'999, 2},
        {1'200'000, 2}, {2'000'000, 10}, {17'200'000, 162},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(video_ticks_due(c.frameUs, 1'000'000, 100), c.ticks) << c.frameUs;
    }
    EXPECT_EQ(video_ticks_due(1'049'500, 1'000'000, 50), 1);
    EXPECT_EQ(video_ticks_due(5'000'000, 0, 0), 0);
}

}  // namespace
}  // namespace quillon::session
