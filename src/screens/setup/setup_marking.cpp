#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <optional>

#include "screens/setup/setup_screen.h"
#include "screens/widgets/key_colour.h"
#include "screens/widgets/overlay_canvas.h"
#include "text/number_text.h"

// Marking the four gate buoys on the picture: a press on the surface, the micro-adjust arrows,
// the grid lock, and dragging the labels that sit over the picture.

namespace quillon::screens {

namespace {

const QColor white{255, 255, 255};

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

SetupScreen::BuoyParts SetupScreen::buoy(Buoy which) {
    calibration::CornerPositions& c = session_.calibration.corners;
    switch (which) {
        case UpperLeft:
            return {&c.ul_screen_x,   &c.ul_screen_y, box(upperLeftX), box(upperLeftY), 3,
                    upper_left_button};
        case UpperRight:
            return {&c.ur_screen_x,    &c.ur_screen_y, box(upperRightX), box(upperRightY), 1,
                    upper_right_button};
        case LowerLeft:
            return {&c.ll_screen_x,   &c.ll_screen_y, box(lowerLeftX), box(lowerLeftY), 4,
                    lower_left_button};
        case LowerRight:
            break;
    }
    return {&c.lr_screen_x,    &c.lr_screen_y, box(lowerRightX), box(lowerRightY), 2,
            lower_right_button};
}

void SetupScreen::drawCross(double x, double y, double halfLength, const QColor& colour) {
    surface_->line(x - halfLength, y, x + halfLength, y, colour);
    surface_->line(x, y - halfLength, x, y + halfLength, colour);
}

// Paints the key colour over the circle of the last overlay and over the largest cross.
void SetupScreen::eraseMark(double x, double y) {
    surface_->circle(x, y, session_.calibration.marker_circle_radius, keyColour);
    drawCross(x, y, largestCrossSize, keyColour);
}

// Erases the buoy's old mark, writes its boxes, keeps the position and draws the new cross.
void SetupScreen::moveMark(Buoy which, double x, double y) {
    const BuoyParts part = buoy(which);
    eraseMark(*part.x, *part.y);
    part.boxX->setText(qt(text::number_text(x)));
    part.boxY->setText(qt(text::number_text(y)));
    *part.x = x;
    *part.y = y;
    drawCross(x, y, crossSize(), white);
    session_.calibration.model.screen_x[part.index] = x;
    session_.calibration.model.screen_y[part.index] = y;
}

void SetupScreen::Form_MouseDown(double x, double y) {
    std::optional<Buoy> selected;
    for (Buoy which : buoyOrder) {
        if (buoy(which).option->isChecked()) {
            selected = which;
        }
    }
    if (!selected) {
        return;
    }
    click_x = x;
    click_y = y;
    surface_->setPenWidth(2);
    const BuoyParts chosen = buoy(*selected);
    const double dx = x - *chosen.x;
    const double dy = y - *chosen.y;
    const bool locked = chkboxGridLock->isChecked();
    for (Buoy which : buoyOrder) {
        if (which == *selected) {
            moveMark(which, x, y);
        } else if (locked) {
            const BuoyParts part = buoy(which);
            moveMark(which, *part.x + dx, *part.y + dy);
        }
    }
}

void SetupScreen::Adjust_Click(double dx, double dy) {
    surface_->setPenWidth(2);
    const bool locked = chkboxGridLock->isChecked();
    for (Buoy which : buoyOrder) {
        const BuoyParts part = buoy(which);
        if (locked || part.option->isChecked()) {
            moveMark(which, *part.x + dx, *part.y + dy);
        }
    }
}

void SetupScreen::chkboxGridLock_Click() {
    if (chkboxGridLock->isChecked()) {
        for (const ReferenceBox x : {upperLeftX, upperRightX, lowerLeftX, lowerRightX}) {
            if (box(x)->text() == QLatin1String("auto")) {
                platform_.dialogs.message(
                    "Cannot Lock Grid Until buoy positions have been entered for all four buoys",
                    platform::MessageStyle::Ok);
                chkboxGridLock->setChecked(false);
                break;
            }
        }
    }
    gridLockedLabel->setVisible(chkboxGridLock->isChecked());
}

bool SetupScreen::eventFilter(QObject* watched, QEvent* event) {
    const bool crossPair = watched == CrossSizeLabel;
    if (!crossPair && watched != gridLockedLabel) {
        return QMainWindow::eventFilter(watched, event);
    }
    Drag& drag = crossPair ? cross_drag : locked_label_drag;
    auto* label = static_cast<QLabel*>(watched);
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            drag.start = static_cast<QMouseEvent*>(event)->position().toPoint();
            drag.dragging = true;
            return true;
        case QEvent::MouseMove:
            if (drag.dragging) {
                // The label moves with the mouse, so the next event is again relative to it.
                const QPoint delta =
                    static_cast<QMouseEvent*>(event)->position().toPoint() - drag.start;
                label->move(label->pos() + delta);
                if (crossPair) {
                    Setup_Cross_size->move(Setup_Cross_size->pos() + delta);
                }
            }
            return true;
        case QEvent::MouseButtonRelease:
            drag.dragging = false;
            return true;
        default:
            return QMainWindow::eventFilter(watched, event);
    }
}

}  // namespace quillon::screens
