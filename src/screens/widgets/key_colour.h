#pragma once

#include <QColor>

namespace quillon::screens {

// The chroma-key colour: wherever a screen shows it, the video shows through.
inline const QColor keyColour{255, 0, 255};

}  // namespace quillon::screens
