#include <QDateTime>

#include "platform/wall_clock.h"

namespace quillon::platform {

text::CivilDateTime SystemWallClock::now() const {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

}  // namespace quillon::platform
