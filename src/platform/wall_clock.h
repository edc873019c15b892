#pragma once

#include "text/date_time.h"

namespace quillon::platform {

// The local date and time of day.
class WallClock {
  public:
    virtual ~WallClock() = default;
    virtual text::CivilDateTime now() const = 0;
};

class SystemWallClock : public WallClock {
  public:
    text::CivilDateTime now() const override;
};

}  // namespace quillon::platform
