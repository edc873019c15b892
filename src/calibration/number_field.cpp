#include "calibration/number_field.h"

#include "text/number_forms.h"

namespace quillon::calibration {

std::optional<double> number_field(std::string_view field) {
    const auto first = field.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return 0.0;  // an empty field is 0
    }
    return text::parse_number(field, text::setupNumber);
}

}  // namespace quillon::calibration
