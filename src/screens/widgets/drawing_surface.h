#pragma once

#include <QSize>

#include "session/pass_session.h"

class QMainWindow;

namespace quillon::screens {

class OverlayCanvas;

// The Setup and Measure screens draw on surfaces of one size, taken from the display, so that
// a mark's twips are the same spot of the picture, and the same video pixel, on both: the
// video is fitted to the surface, and two surfaces of one size fit it alike.
QSize drawing_surface_size(const session::PassSession& session);

// Holds the screen's drawing surface at that size whatever the window manager does with the
// window (a maximized window keeps it); the window takes the size around it.
void hold_drawing_surface(QMainWindow& screen, OverlayCanvas& surface, QSize size);

}  // namespace quillon::screens
