#include "session/line_input.h"

#include <algorithm>

namespace quillon::session {

void LineInputs::remove(const LineInput& input) {
    inputs_.erase(std::remove(inputs_.begin(), inputs_.end(), &input), inputs_.end());
}

CombinedPoll LineInputs::poll(LinePosition line, double centreX, bool viewOnly) const {
    CombinedPoll result;
    auto apply = [&](LineInput::Stage stage) {
        for (LineInput* input : inputs_) {
            if (input->stage() != stage) {
                continue;
            }
            const LineReport report = input->read({line, centreX});
            if (report.position) {
                line = *report.position;
                if (stage == LineInput::Stage::BeforeDeviation) {
                    result.provenance = report.provenance.value_or(Provenance::Operator);
                }
            }
            if (report.operatorMoved) {
                result.operatorMoved = true;
                if (stage == LineInput::Stage::BeforeDeviation) {
                    result.provenance = Provenance::Operator;
                }
            }
        }
    };
    apply(LineInput::Stage::BeforeDeviation);
    if (viewOnly) {
        line = {centreX, centreX + 15};
        result.provenance = Provenance::Operator;
    }
    result.forDeviation = line;
    apply(LineInput::Stage::AfterDeviation);
    result.final = line;
    return result;
}

}  // namespace quillon::session
