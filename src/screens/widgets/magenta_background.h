#pragma once

#include <QColor>

class QWidget;

namespace quillon::screens {

// The chroma-key colour: wherever a screen shows it, the video shows through.
inline const QColor keyColour{255, 0, 255};

// Gives a screen the key colour as its background.
void use_key_background(QWidget* widget);

}  // namespace quillon::screens
