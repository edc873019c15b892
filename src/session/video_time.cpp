#include "session/video_time.h"

namespace quillon::session {

int video_ticks_due(std::int64_t frameUs, std::int64_t startUs, int periodMs) {
    const std::int64_t periodUs = static_cast<std::int64_t>(periodMs) * 1000;
    const std::int64_t reached = frameUs + videoTimeToleranceUs - startUs;
    if (periodUs <= 0 || reached < periodUs) {
        return 0;
    }
    return static_cast<int>(reached / periodUs);
}

}  // namespace quillon::session
