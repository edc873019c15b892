#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "analysis/pass_figures.h"
#include "analysis/pass_report.h"
#include "analysis/samples_csv.h"
#include "analysis/zone_readings.h"
#include "calibration/grid_check.h"
#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/modules.h"
#include "cli/output_paths.h"
#include "cli/pass_options.h"
#include "cli/results/dossier_writer.h"
#include "cli/results/pass_provenance.h"
#include "cli/results/samples_file.h"
#include "cli/setup_input.h"
#include "dossier/dossier_content.h"
#include "text/number_forms.h"
#include "text/number_text.h"
#include "text/text_file.h"

namespace quillon::cli {

namespace {

using course::Discipline;
using course::PassDescription;

// The texts typed for the pass go into the report and the day's logs: a line break would split
// the report's line and the database record, a "|" would add a field to the record, and any
// other control character would hide in the logs. All are refused, never replaced.
void check_log_texts(const CommandWords& line) {
    const struct {
        const char* option;
        bool databaseField;
    } texts[] = {
        {"--boat", true},        {"--model", true},     {"--driver", true}, {"--skier", true},
        {"--number", true},      {"--split", true},     {"--full", true},   {"--comment", true},
        {"--tournament", false}, {"--location", false}, {"--date", false},
    };
    for (const auto& text : texts) {
        const auto value = line.option(text.option);
        if (!value) {
            continue;
        }
        const char* what = control_character_in(*value);
        if (!what && text.databaseField && value->find('|') != std::string::npos) {
            what = "the field separator \"|\"";
        }
        if (what) {
            throw BadInput{
                joined({text.option, " holds ", what, ", which the day's logs cannot keep"})};
        }
    }
}

void set_texts(PassDescription& pass, const CommandWords& line) {
    const struct {
        const char* option;
        std::string PassDescription::*field;
    } texts[] = {
        {"--boat", &PassDescription::boatManufacturer},
        {"--model", &PassDescription::boatModel},
        {"--driver", &PassDescription::driver},
        {"--skier", &PassDescription::skier},
        {"--tournament", &PassDescription::tournament},
        {"--location", &PassDescription::location},
        {"--date", &PassDescription::date},
        {"--number", &PassDescription::boatNumber},
    };
    for (const auto& text : texts) {
        if (auto value = line.option(text.option)) {
            pass.*text.field = std::move(*value);
        }
    }
}

DossierPdfWriter pdfWriter = nullptr;

analysis::ZoneSettings zone_settings(const CommandWords& line) {
    analysis::ZoneSettings settings;
    if (const auto text = line.option("--zone-length")) {
        const auto metres = text::parse_number(*text, text::decimalNumber);
        if (!metres || *metres < analysis::ZoneSettings::shortestZone ||
            *metres > analysis::ZoneSettings::longestZone) {
            throw BadInput{
                joined({"--zone-length must be from 2 to 10 (metres), not \"", *text, "\""})};
        }
        settings.zoneLength = *metres;
    }
    if (const auto text = line.option("--limit")) {
        const auto metres = text::parse_number(*text, text::decimalNumber);
        if (!metres || *metres < analysis::ZoneSettings::smallestLimit ||
            *metres > analysis::ZoneSettings::largestLimit) {
            throw BadInput{
                joined({"--limit must be from 0.05 to 0.24 (metres), not \"", *text, "\""})};
        }
        settings.limit = *metres;
    }
    const std::string side = line.option("--buoy1").value_or("right");
    if (side == "left" || side == "right") {
        settings.buoy1Side = side == "left" ? analysis::BoatSide::Left : analysis::BoatSide::Right;
    } else {
        throw BadInput{joined({"--buoy1 must be left or right, not \"", side, "\""})};
    }
    return settings;
}

// The samples and --setup are read, --csv and --pdf replaced, and the day's logs appended:
// each output must be writable and none may be another of these files.
void check_files(const CommandWords& line, const text::CivilDateTime& now) {
    CommandFiles files;
    files.inputs.push_back({"the samples file", line.input()});
    if (const auto setup = line.option("--setup")) {
        files.inputs.push_back({"the setup file of --setup", *setup});
    }
    for (const char* option : {"--video", "--detail"}) {
        if (const auto path = line.option(option)) {
            files.inputs.push_back({option, *path});
        }
    }
    for (const char* option : {"--csv", "--pdf"}) {
        if (const auto path = line.option(option)) {
            files.outputs.push_back({option, *path});
            check_output_file(files.outputs.back());
        }
    }
    files.logs = day_logs(*line.option("--results"), now);
    refuse_shared_files(files);
}

// The calibration of --setup, loaded and checked as the Setup screen does (ratios against a
// 1024-pixel screen).
std::optional<dossier::CalibrationFacts> setup_facts(const CommandWords& line) {
    const auto path = line.option("--setup");
    if (!path) {
        return std::nullopt;
    }
    LoadedSetup setup = load_setup(*path);
    calibration::grid_check(setup.calibration.model, setup.display.boxes, "1024");
    return dossier::calibration_facts(setup.calibration, dossier::PixelBasis{15, 1024, false});
}

// The options that only the dossier reads need --pdf, and go together as they make sense.
void check_dossier_options(const CommandWords& line) {
    if (!line.option("--pdf")) {
        for (const char* option :
             {"--video", "--video-start", "--measured-by", "--untracked", "--detail"}) {
            if (line.option(option)) {
                throw BadInput{joined({option, " goes with --pdf"})};
            }
        }
        return;
    }
    if (line.option("--video-start") && !line.option("--video")) {
        throw BadInput{"--video-start goes with --video"};
    }
    if (const auto by = line.option("--measured-by"); by && *by != "hand" && *by != "auto") {
        throw BadInput{joined({"--measured-by must be hand or auto, not \"", *by, "\""})};
    }
    if (line.option("--untracked") && line.option("--measured-by") != "auto") {
        throw BadInput{"--untracked goes with --measured-by auto"};
    }
    if (line.option("--detail") && (line.option("--measured-by") || line.option("--untracked"))) {
        throw BadInput{
            "--detail gives the provenance of every sample: leave out --measured-by "
            "and --untracked"};
    }
    if (const auto start = line.option("--video-start")) {
        const auto seconds = text::parse_number(*start, text::decimalNumber);
        if (!seconds || *seconds < 0) {
            throw BadInput{
                joined({"--video-start must be the video time of sample 0 in seconds, not \"",
                        *start, "\""})};
        }
    }
}

// What the dossier states beyond the report: the texts typed, the time of measurement, how the
// line was kept on the boat (from --detail or --measured-by/--untracked) and the video.
dossier::PassFacts pass_facts(const CommandWords& line, const analysis::PassReportInput& input,
                              int sampleCount) {
    dossier::PassFacts facts;
    facts.speed = input.speedText;
    facts.split = input.split;
    facts.full = input.full;
    facts.comment = input.comment;
    facts.boatModel = input.pass.boatModel;
    facts.boatNumber = input.pass.boatNumber;
    facts.measuredAt = input.now;
    std::optional<double> sample0;
    if (const auto path = line.option("--detail")) {
        const auto content = text::read_file(*path, maxSamplesFileBytes);
        if (!content.status) {
            throw BadInput{joined({"cannot read ", *path, ": ", content.status.description})};
        }
        DetailFile detail = parse_detail_file(content.bytes, *path, sampleCount);
        facts.provenance = std::move(detail.provenance);
        sample0 = detail.sample0Seconds;
    } else if (line.option("--measured-by") == "auto") {
        facts.provenance.assign(static_cast<std::size_t>(sampleCount),
                                analysis::Provenance::Tracked);
        if (const auto list = line.option("--untracked")) {
            for (const int k : parse_sample_list(*list, sampleCount - 1)) {
                facts.provenance[static_cast<std::size_t>(k)] = analysis::Provenance::Held;
            }
        }
    }
    if (const auto start = line.option("--video-start")) {
        sample0 = text::parse_number(*start, text::decimalNumber);
    }
    if (const auto video = line.option("--video")) {
        facts.video = dossier::video_facts(*video, sample0);
        if (!facts.video->sha256Failure.empty()) {
            throw BadInput{joined({"cannot read ", *video, ": ", facts.video->sha256Failure})};
        }
    }
    return facts;
}

// "Pass Clock: Video Time (pass.mp4 from 0:01.500)", as the Measure screen words it.
std::string video_clock_line(const dossier::VideoFacts& video) {
    std::string line = "Pass Clock: Video Time (" + video.fileName;
    if (video.sample0Seconds) {
        const long ms = std::lround(*video.sample0Seconds * 1000);
        std::string seconds = text::whole_text(ms / 1000 % 60);
        std::string millis = text::whole_text(ms % 1000);
        line += " from " + text::whole_text(ms / 60000) + ":" +
                std::string(2 - std::min<std::size_t>(2, seconds.size()), '0') + seconds + "." +
                std::string(3 - std::min<std::size_t>(3, millis.size()), '0') + millis;
    }
    return line + ")";
}

std::vector<double> read_samples(const std::string& path) {
    const auto content = text::read_file(path, maxSamplesFileBytes);
    if (!content.status) {
        throw BadInput{joined({"cannot read ", path, ": ", content.status.description})};
    }
    return parse_samples(content.bytes, path);
}

int run(const CommandWords& line, std::ostream& out, std::ostream& err) {
    analysis::PassReportInput input;
    PassDescription& pass = input.pass;
    pass = pass_options(line);
    check_log_texts(line);
    set_texts(pass, line);
    input.split = line.option("--split").value_or("");
    input.full = line.option("--full").value_or("");
    input.comment = line.option("--comment").value_or("");
    input.now = line.option("--now") ? parse_now(*line.option("--now")) : local_now();

    const auto folder = line.option("--results");
    if (folder->empty()) {
        throw BadInput{"--results needs a folder."};
    }
    std::error_code ignored;
    if (!std::filesystem::is_directory(*folder, ignored)) {
        throw BadInput{joined({"the results folder \"", *folder, "\" is not a folder"})};
    }
    pass.resultsFolder = *folder;
    const analysis::ZoneSettings zoneSettings = zone_settings(line);
    check_dossier_options(line);
    check_files(line, input.now);
    const DossierPdfWriter writePdf = !line.option("--pdf") ? nullptr
                                      : pdfWriter           ? pdfWriter
                                                            : load_dossier_pdf_writer();
    const auto calibration = setup_facts(line);

    const std::vector<double> samples = read_samples(line.input());
    const int lastIndex = course::last_sample_index(pass);
    if (samples.size() != static_cast<std::size_t>(lastIndex) + 1) {
        throw BadInput{
            joined({line.input(), " holds ", text::whole_text(static_cast<long>(samples.size())),
                    " deviations; a ", pass.discipline == Discipline::Slalom ? "slalom" : "jump",
                    " pass at ", text::whole_text(course::speed_kmh(pass)), " km/h has ",
                    text::whole_text(lastIndex + 1)})};
    }

    input.samples = samples;
    input.lastSampleIndex = lastIndex;
    input.figures = analysis::end_of_pass_figures(samples, lastIndex);
    input.directionSign = pass.direction == course::Direction::Away ? 1.0 : -1.0;
    input.speedText = text::whole_text(course::speed_kmh(pass));
    input.lineText = course::line_length_label(pass.lineLength);
    // Read before anything is written, so a bad --detail or --video leaves the logs alone.
    const dossier::PassFacts facts =
        line.option("--pdf") ? pass_facts(line, input, lastIndex + 1) : dossier::PassFacts{};

    const analysis::PassReport report = analysis::build_pass_report(input);
    out << report.text << "\r\n";
    std::vector<analysis::LogWrite> written{report.summaryFile, report.resultLog,
                                            report.databaseLog};
    if (line.option("--zones")) {
        err << analysis::zone_table_text(
            analysis::zone_readings(samples, lastIndex, input.directionSign, pass.discipline,
                                    zoneSettings),
            zoneSettings, pass.discipline);
    }
    if (const auto csv = line.option("--csv")) {
        written.push_back({*csv, text::replace_file(*csv, analysis::samples_csv(samples, lastIndex,
                                                                                pass.discipline))});
    }
    if (const auto pdf = line.option("--pdf")) {
        auto content = dossier::dossier_content(report.text, pass.discipline, pass.direction,
                                                samples, lastIndex, input.directionSign,
                                                report.statistics, zoneSettings, calibration);
        content.facts = facts;
        if (facts.video) {
            content.clockLine = video_clock_line(*facts.video);
        }
        written.push_back({*pdf, writePdf(*pdf, content)});
    }
    int status = 0;
    for (const auto& log : written) {
        if (!log.status) {
            err << message_line(joined(
                {"quillon-cli report: could not write ", log.path, ": ", log.status.description}));
            status = 1;
        }
    }
    return status;
}

}  // namespace

void set_dossier_pdf_writer(DossierPdfWriter writer) {
    pdfWriter = writer;
}

DossierPdfWriter dossier_pdf_writer() {
    return pdfWriter;
}

int report_command(const CommandWords& words, const CommandIo& io) {
    return run(words, io.out, io.err);
}

}  // namespace quillon::cli
