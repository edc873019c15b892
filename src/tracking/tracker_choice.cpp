#include "tracking/tracker_choice.h"

#ifdef QUILLON_HAVE_OPENCV_TRACKING
#include "tracking/opencv_tracker.h"
#endif

namespace quillon::tracking {

namespace {

bool is_contrib(std::string_view name) {
    return name == "csrt" || name == "kcf";
}

}  // namespace

TrackerAvailability tracker_availability(std::string_view name) {
    if (name == "template") {
        return TrackerAvailability::Available;
    }
    if (!is_contrib(name)) {
        return TrackerAvailability::Unknown;
    }
#ifdef QUILLON_HAVE_OPENCV_TRACKING
    return TrackerAvailability::Available;
#else
    return TrackerAvailability::NotBuilt;
#endif
}

std::string tracker_names() {
    return "template, csrt, kcf";
}

std::unique_ptr<BoatTracker> make_named_tracker(std::string_view name) {
    if (tracker_availability(name) != TrackerAvailability::Available) {
        return nullptr;
    }
    if (name == "template") {
        return make_boat_tracker();
    }
#ifdef QUILLON_HAVE_OPENCV_TRACKING
    return std::make_unique<OpenCvTracker>(name == "csrt" ? OpenCvTracker::Kind::Csrt
                                                          : OpenCvTracker::Kind::Kcf);
#else
    return nullptr;
#endif
}

}  // namespace quillon::tracking
