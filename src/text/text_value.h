#pragma once

#include <string_view>

namespace quillon::text {

// The value of a text box: the longest leading number, with blanks and tabs ignored anywhere
// inside it ("  - 3" is -3, "2.50m" is 2.5). Reading stops at the first character that cannot
// continue a number; a text without a leading number is 0 ("auto" is 0). The decimal separator
// is always ".", whatever the locale. A number too large or too small to hold reads as 0.
double text_value(std::string_view text);

}  // namespace quillon::text
