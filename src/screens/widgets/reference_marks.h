#pragma once

#include "calibration/calibration.h"

namespace quillon::screens {

class OverlayCanvas;

// The four marked gate buoys as the Setup and Measure screens show them, in white: a circle
// of radius 2 x the cross size round each, then five points at each centre, a small dot with
// the 2-pixel pen. Order: upper left, upper right, lower left, lower right. Returns the
// radius, which a later mark needs to erase the circles.
double draw_reference_marks(OverlayCanvas& canvas, const calibration::CornerPositions& corners,
                            double crossSize);

}  // namespace quillon::screens
