#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "tracking/boat_tracker.h"

namespace quillon::tracking {

// The trackers a build knows by name: "template" (Quillon's own, make_boat_tracker) and the
// two correlation-filter trackers of OpenCV's contrib tracking module, "csrt" and "kcf", which
// are only built when that module was found.
enum class TrackerAvailability { Available, NotBuilt, Unknown };

TrackerAvailability tracker_availability(std::string_view name);

// Every name a build may know, available or not, separated by ", ".
std::string tracker_names();

// The tracker of that name; null unless it is available.
std::unique_ptr<BoatTracker> make_named_tracker(std::string_view name);

}  // namespace quillon::tracking
