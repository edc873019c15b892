#pragma once

#include <string>

namespace quillon::course {

enum class Discipline { Slalom, Jump };

enum class Direction { Away, Towards };

// Slalom speeds, named after the km/h value of the option ("58/36" is km/h / mph).
enum class SlalomSpeed { Kmh58, Kmh55, Kmh52, Kmh49, Kmh46 };

// Jump speeds, slowest first.
enum class JumpSpeed { Kmh48, Kmh51, Kmh54, Kmh57, Kmh60, Kmh63, Kmh66, Kmh69, Kmh72 };

// Tow-line lengths, longest first (the options Option1 to Option10 of the Start screen).
enum class LineLength {
    m18_25,
    m16_00,
    m14_25,
    m13_00,
    m12_00,
    m11_25,
    m10_75,
    m10_25,
    m9_75,
    m9_25
};

// What is being measured: the Start screen's selections, read by the other screens when they
// need a value. The selected option is the value: there is no separate numeric copy.
struct PassDescription {
    Discipline discipline = Discipline::Slalom;
    SlalomSpeed slalomSpeed = SlalomSpeed::Kmh58;
    JumpSpeed jumpSpeed = JumpSpeed::Kmh57;
    LineLength lineLength = LineLength::m11_25;
    Direction direction = Direction::Towards;
    std::string boatManufacturer = "Boat Manufacturer";
    std::string boatModel = "Boat Model";
    std::string driver = "Drivers";
    std::string skier = "Skiers";
    std::string tournament;
    std::string location;
    std::string date;
    std::string boatNumber = "1";
    std::string resultsFolder;
};

// How many options the Start screen offers for each selection.
inline constexpr int lineLengthCount = 10;
int speed_option_count(Discipline discipline);

// Selects the discipline's speed option at `index` (0 the first, as the Start screen lists
// them: 58 km/h in slalom, 48 km/h in jump).
void select_speed(PassDescription& pass, int index);

// Course length in metres: 259 for slalom, 280 for jump.
double course_length(Discipline discipline);

// The selected speed in km/h.
int speed_kmh(const PassDescription& pass);

// Option captions, km/h / mph: "58/36", "48/30", ...
std::string slalom_speed_caption(SlalomSpeed speed);
std::string jump_speed_caption(JumpSpeed speed);

// Nominal pass length N: the index of the last sample, 10 x course length / speed in m/s
// rounded to a whole number (161 at 58 km/h in slalom).
int last_sample_index(const PassDescription& pass);

// The line-length option caption: "18.25" ... "9.25".
std::string line_length_caption(LineLength length);
// As the Measure screen shows it: two digits before the point (" 9.75").
std::string line_length_label(LineLength length);
// As the report writes it: "11.25m", " 9.75m".
std::string line_length_report_text(LineLength length);

}  // namespace quillon::course
