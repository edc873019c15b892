#pragma once

#include <QImage>

#include "calibration/camera_model.h"

namespace quillon::demo_course {

// A recorded demo pass: the slalom course of SlalomOK as its tower camera sees it, with a
// towboat coming toward the camera at 58 km/h, weaving up to 18 cm either side of the path
// centre. It starts 1.5 s before the boat reaches the far gate, at 30 frames per second.
inline constexpr double passFramesPerSecond = 30;
inline constexpr double passLeadSeconds = 1.5;
int pass_frame_count();

struct BoatPosition {
    double x = 0;  // metres across the course; the path centre is at 1.25
    double y = 0;  // metres along it; the far gate is at 0, the near gate at -259
};

// Where the boat's centre is in frame `index`.
BoatPosition boat_position(int index);

// The camera model of the SlalomOK setup file, with its coefficients as the file gives them.
calibration::CameraModel slalom_model();

// Frame `index` of the pass: the course picture with the boat painted over it.
QImage pass_frame(const QImage& course, calibration::CameraModel model, int index);

}  // namespace quillon::demo_course
