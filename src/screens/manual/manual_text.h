#pragma once

namespace quillon::screens {

// The built-in user manual shown on the Manual screen.
const char* manual_text();

}  // namespace quillon::screens
