#include "course/pass_description.h"

#include <array>

namespace quillon::course {

namespace {

struct SpeedRow {
    int kmh;
    const char* caption;
    int lastSampleIndex;
};

constexpr std::array<SpeedRow, 5> slalomSpeeds{{
    {58, "58/36", 161},
    {55, "55/34", 170},
    {52, "52/32", 179},
    {49, "49/30", 190},
    {46, "46/28", 203},
}};

constexpr std::array<SpeedRow, 9> jumpSpeeds{{
    {48, "48/30", 210},
    {51, "51/32", 198},
    {54, "54/34", 187},
    {57, "57/35", 177},
    {60, "60/37", 168},
    {63, "63/39", 160},
    {66, "66/41", 153},
    {69, "69/43", 146},
    {72, "72/45", 140},
}};

constexpr std::array<const char*, 10> lineCaptions{"18.25", "16.00", "14.25", "13.00", "12.00",
                                                   "11.25", "10.75", "10.25", "9.75",  "9.25"};

const SpeedRow& row_of(const PassDescription& pass) {
    return pass.discipline == Discipline::Slalom
               ? slalomSpeeds[static_cast<std::size_t>(pass.slalomSpeed)]
               : jumpSpeeds[static_cast<std::size_t>(pass.jumpSpeed)];
}

}  // namespace

int speed_option_count(Discipline discipline) {
    return static_cast<int>(discipline == Discipline::Slalom ? slalomSpeeds.size()
                                                             : jumpSpeeds.size());
}

void select_speed(PassDescription& pass, int index) {
    if (pass.discipline == Discipline::Slalom) {
        pass.slalomSpeed = static_cast<SlalomSpeed>(index);
    } else {
        pass.jumpSpeed = static_cast<JumpSpeed>(index);
    }
}

static_assert(lineCaptions.size() == lineLengthCount);

double course_length(Discipline discipline) {
    return discipline == Discipline::Slalom ? 259.0 : 280.0;
}

int speed_kmh(const PassDescription& pass) {
    return row_of(pass).kmh;
}

std::string slalom_speed_caption(SlalomSpeed speed) {
    return slalomSpeeds[static_cast<std::size_t>(speed)].caption;
}

std::string jump_speed_caption(JumpSpeed speed) {
    return jumpSpeeds[static_cast<std::size_t>(speed)].caption;
}

int last_sample_index(const PassDescription& pass) {
    return row_of(pass).lastSampleIndex;
}

std::string line_length_caption(LineLength length) {
    return lineCaptions[static_cast<std::size_t>(length)];
}

std::string line_length_label(LineLength length) {
    std::string text = line_length_caption(length);
    return text.size() < 5 ? " " + text : text;
}

std::string line_length_report_text(LineLength length) {
    return line_length_label(length) + "m";
}

}  // namespace quillon::course
