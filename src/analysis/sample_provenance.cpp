#include "analysis/sample_provenance.h"

namespace quillon::analysis {

std::string_view provenance_name(Provenance provenance) {
    switch (provenance) {
        case Provenance::Tracked:
            return "tracked";
        case Provenance::Held:
            return "held";
        case Provenance::Operator:
            break;
    }
    return "operator";
}

std::vector<int> untracked_samples(std::span<const Provenance> provenance, int count) {
    std::vector<int> untracked;
    for (int k = 0; k < count && k < static_cast<int>(provenance.size()); ++k) {
        if (provenance[static_cast<std::size_t>(k)] != Provenance::Tracked) {
            untracked.push_back(k);
        }
    }
    return untracked;
}

bool auto_tracked(std::span<const Provenance> provenance, int count) {
    for (int k = 0; k < count && k < static_cast<int>(provenance.size()); ++k) {
        if (provenance[static_cast<std::size_t>(k)] == Provenance::Tracked) {
            return true;
        }
    }
    return false;
}

std::string sample_ranges(const std::vector<int>& samples) {
    std::string text;
    for (std::size_t i = 0; i < samples.size();) {
        std::size_t j = i;
        while (j + 1 < samples.size() && samples[j + 1] == samples[j] + 1) {
            ++j;
        }
        text += text.empty() ? "" : ", ";
        text += std::to_string(samples[i]);
        if (j > i) {
            text += '-';
            text += std::to_string(samples[j]);
        }
        i = j + 1;
    }
    return text;
}

}  // namespace quillon::analysis
