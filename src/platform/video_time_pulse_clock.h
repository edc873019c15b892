#pragma once

#include <QMetaObject>

#include "platform/pulse_clock.h"
#include "session/video_time.h"

namespace quillon::platform {

class VideoSource;

// A pulse clock that runs in the video's own time: tick k falls due when the frame shown
// reaches start + k x period, where start is the time of the frame shown when the clock was
// started. A pass replayed slowly or stepped frame by frame therefore ticks at exactly the
// video times a pass at full speed would. Going back in the video does not tick again; a
// frame that jumps past several due times delivers them one after the other.
class VideoTimePulseClock : public PulseClock {
    Q_OBJECT

  public:
    VideoTimePulseClock(VideoSource& video, QObject* parent = nullptr);

    // Frame times are rounded to microseconds; a frame this close before a due time counts
    // as reaching it.
    static constexpr qint64 toleranceUs = session::videoTimeToleranceUs;

  protected:
    void started() override;
    void stopped() override;

  private:
    void framePresented();

    VideoSource& video_;
    QMetaObject::Connection connection_;
    qint64 startUs_ = 0;
    int ticks_ = 0;
};

}  // namespace quillon::platform
