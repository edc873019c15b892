#include "screens/widgets/magenta_background.h"

#include <QPalette>
#include <QWidget>

namespace quillon::screens {

void use_key_background(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, keyColour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}  // namespace quillon::screens
