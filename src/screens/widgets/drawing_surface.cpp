#include "screens/widgets/drawing_surface.h"

#include <QMainWindow>
#include <algorithm>

#include "screens/widgets/overlay_canvas.h"
#include "text/text_value.h"

namespace quillon::screens {

namespace {

// The smallest display the screens are laid out for.
constexpr int smallestWidth = 800;
constexpr int smallestHeight = 600;
// Left of the display's height for the window's title bar, its menu bar and a task bar.
constexpr int reservedHeight = 100;

}  // namespace

QSize drawing_surface_size(const session::PassSession& session) {
    const int width =
        std::max(smallestWidth, static_cast<int>(text::text_value(session.screenWidthPx)));
    const int height =
        std::max(smallestHeight, static_cast<int>(text::text_value(session.screenHeightPx)));
    return {width, height - reservedHeight};
}

void hold_drawing_surface(QMainWindow& screen, OverlayCanvas& surface, QSize size) {
    if (surface.minimumSize() == size && surface.maximumSize() == size) {
        return;
    }
    surface.setFixedSize(size);
    screen.adjustSize();
}

}  // namespace quillon::screens
