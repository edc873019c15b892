#include "screens/widgets/reference_marks.h"

#include <utility>

#include "screens/widgets/overlay_canvas.h"

namespace quillon::screens {

double draw_reference_marks(OverlayCanvas& canvas, const calibration::CornerPositions& c,
                            double crossSize) {
    const QColor white(255, 255, 255);
    const double radius = 2 * crossSize;
    const std::pair<double, double> marks[] = {{c.ul_screen_x, c.ul_screen_y},
                                               {c.ur_screen_x, c.ur_screen_y},
                                               {c.ll_screen_x, c.ll_screen_y},
                                               {c.lr_screen_x, c.lr_screen_y}};
    for (const auto& [x, y] : marks) {
        canvas.circle(x, y, radius, white);
    }
    for (const auto& [x, y] : marks) {
        canvas.point(x, y, white);
        canvas.point(x, y + 5, white);
        canvas.point(x, y - 5, white);
        canvas.point(x + 5, y, white);
        canvas.point(x - 5, y, white);
    }
    return radius;
}

}  // namespace quillon::screens
