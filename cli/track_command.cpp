#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/annotated_video.h"
#include "cli/cli_io.h"
#include "cli/modules.h"
#include "cli/output_paths.h"
#include "cli/pass_options.h"
#include "cli/setup_input.h"
#include "course/reference_course.h"
#include "measure/pass_loop.h"
#include "measure/tracked_line.h"
#include "session/pass_recorder.h"
#include "session/pass_session.h"
#include "text/number_forms.h"
#include "text/number_text.h"
#include "text/text_file.h"
#include "tracking/boat_tracker.h"
#include "tracking/tracker_choice.h"
#include "video/decode_ahead.h"
#include "video/video_reader.h"

namespace quillon::cli {

namespace {

using course::Discipline;

// The tracker named by the environment variable QUILLON_TRACKER: "template" (Quillon's own)
// when it is unset or empty, or a tracker to compare it with.
std::string tracker_name() {
    const char* name = std::getenv("QUILLON_TRACKER");
    return name == nullptr || *name == '\0' ? std::string("template") : std::string(name);
}

// Checks that the tracker named by QUILLON_TRACKER is there, and gives its name.
std::string chosen_tracker() {
    const std::string name = tracker_name();
    switch (tracking::tracker_availability(name)) {
        case tracking::TrackerAvailability::Available:
            break;
        case tracking::TrackerAvailability::NotBuilt:
            throw BadInput{
                joined({"QUILLON_TRACKER=", name,
                        ": this quillon-cli was built without OpenCV's contrib tracking "
                        "module (libopencv-contrib-dev), so it has no ",
                        name, " tracker; unset QUILLON_TRACKER for the template tracker."})};
        case tracking::TrackerAvailability::Unknown:
            throw BadInput{joined({"QUILLON_TRACKER=", name, " names no tracker; the trackers are ",
                                   tracking::tracker_names(), "."})};
    }
    return name;
}

// One row of --detail: sample, frame time, deviation, provenance, confidence.
std::string detail_row(const session::SampleStep& step, std::int64_t frameUs,
                       const tracking::TrackResult& found) {
    std::string row = text::whole_text(step.index) + "," + video::seconds_text(frameUs, 6) + "," +
                      session::deviation_text(step.deviation) + "," +
                      std::string(session::provenance_name(step.provenance)) + ",";
    if (step.provenance == session::Provenance::Tracked) {
        char digits[32];
        const auto result = std::to_chars(digits, digits + sizeof digits, found.confidence,
                                          std::chars_format::fixed, 3);
        row.append(digits, result.ptr);
    }
    return row + "\r\n";
}

bool progress_wanted(const CommandIo& io) {
    return &io.err == &std::cerr && isatty(STDERR_FILENO) == 1;
}

// The setup's four buoys were marked on the drawing surface: on a surface that does not
// hold them the setup belongs to another picture size, and every sample would be wrong.
void refuse_setup_off_surface(const calibration::CameraModel& model, long surfaceW, long surfaceH,
                              bool surfaceGiven) {
    double right = 0;
    double bottom = 0;
    for (std::size_t i = 1; i <= calibration::CameraModel::pointCount; ++i) {
        right = std::max(right, model.screen_x[i] / 15);
        bottom = std::max(bottom, model.screen_y[i] / 15);
    }
    if (right < static_cast<double>(surfaceW) && bottom < static_cast<double>(surfaceH)) {
        return;
    }
    const std::string reach = text::whole_text(std::lround(std::ceil(right))) + " x " +
                              text::whole_text(std::lround(std::ceil(bottom)));
    const std::string surface = text::whole_text(surfaceW) + " x " + text::whole_text(surfaceH);
    throw BadInput{surfaceGiven
                       ? joined({"--surface ", surface,
                                 " is too small for the setup's buoys, "
                                 "marked out to ",
                                 reach, " pixels: give the surface the setup was marked on."})
                       : joined({"the setup was marked on a picture of at least ", reach,
                                 " pixels; this video is ", surface,
                                 ": give --surface W,H, the drawing surface it was marked on."})};
}

// A boat is never this far off the path centre: a tracked sample farther out means the setup
// does not fit the video (another surface or picture size), not that the boat was there.
constexpr double plausibleDeviationM = 3.5;

void refuse_implausible(const session::PassSession& session, const std::vector<int>& untracked) {
    for (int k = 0; k <= session.lastSampleIndex; ++k) {
        const double deviation = session.samples[static_cast<std::size_t>(k)];
        const bool tracked = std::find(untracked.begin(), untracked.end(), k) == untracked.end();
        if (tracked && std::abs(deviation) > plausibleDeviationM) {
            throw BadInput{joined(
                {"sample ", text::whole_text(k), " measures ", session::deviation_text(deviation),
                 " m from the path centre, farther than a boat goes: the setup does not fit "
                 "this video (marked on another picture size? give --surface W,H)."})};
        }
    }
}

int track(const CommandWords& line, const CommandIo& io) {
    const auto setupPath = line.option("--setup");
    const auto startText = line.option("--start-time");
    const auto markText = line.option("--mark");
    const course::PassDescription pass = pass_options(line);
    const auto startUs = video::parse_video_time(*startText);
    if (!startUs) {
        throw BadInput{
            joined({"--start-time must be seconds into the video (2.1) or minutes and "
                    "seconds (0:02.100), not \"",
                    *startText, "\""})};
    }
    const NumberPair mark = pair_argument(*markText, "--mark");
    const std::string trackerName = chosen_tracker();
    const std::string& videoPath = line.input();
    // Every output is checked, and kept apart from the inputs and from each other, before
    // anything is read at length or written.
    CommandFiles files;
    files.inputs = {{"the video", videoPath}, {"the setup file", *setupPath}};
    for (const char* option : {"--annotate", "--detail"}) {
        if (const auto out = line.option(option)) {
            files.outputs.push_back({option, *out});
            check_output_file(files.outputs.back());
        }
    }
    refuse_shared_files(files);
    // A pipe with no writer would keep the reader waiting for ever, and a device never ends:
    // a video given by name is a regular file (cameras and streams are the screens' sources).
    std::error_code statusError;
    const auto videoStatus = std::filesystem::status(videoPath, statusError);
    if (!statusError && std::filesystem::exists(videoStatus) &&
        !std::filesystem::is_regular_file(videoStatus)) {
        throw BadInput{joined({"Video \"", videoPath, "\" cannot be read: ",
                               std::filesystem::is_directory(videoStatus)
                                   ? "it is a folder, not a file."
                                   : "it is not a regular file (a pipe, a device or a socket)."})};
    }
    LoadedSetup setup = load_setup(*setupPath);

    std::string problem;
    auto video = video::VideoReader::open(videoPath, problem);
    if (!video) {
        throw BadInput{joined({"Video \"", videoPath, "\" cannot be read: ", problem})};
    }
    if (video->picture()) {
        throw BadInput{joined({"\"", videoPath,
                               "\" is a picture, not a video: track follows the "
                               "boat through a recorded pass."})};
    }
    // The surface the marks were made on: --surface, else the view file's, else the video's
    // own size.
    long surfaceW = video->width();
    long surfaceH = video->height();
    if (setup.viewNote) {
        io.err << *setup.viewNote << '\n';
    }
    if (setup.view) {
        surfaceW = setup.view->surfaceWidth;
        surfaceH = setup.view->surfaceHeight;
    }
    if (const auto surface = line.option("--surface")) {
        const SurfaceSize size = surface_argument(*surface);
        surfaceW = size.width;
        surfaceH = size.height;
    }
    refuse_setup_off_surface(setup.calibration.model, surfaceW, surfaceH,
                             line.option("--surface").has_value());

    // The frame shown at the start time, counted from the video's first frame as a player
    // shows it: the last one whose time is not after it. Frames are decoded a few ahead, while
    // the tracker works on the one before.
    video::DecodeAhead decoded(*video);
    video::DecodedFrame shown;
    video::DecodedFrame next;
    const bool any = decoded.next(shown);
    if (!any || shown.timeUs > *startUs) {
        throw BadInput{
            joined({"--start-time ", *startText, " s is outside the video \"", videoPath, "\"."})};
    }
    bool more = decoded.next(next);
    while (more && next.timeUs <= *startUs) {
        std::swap(shown, next);
        more = decoded.next(next);
    }
    if (!more && *startUs - shown.timeUs > 200000) {
        throw BadInput{
            joined({"--start-time ", *startText, " s is outside the video \"", videoPath, "\"."})};
    }
    if (mark.a < 0 || mark.b < 0 || mark.a >= shown.width || mark.b >= shown.height) {
        throw BadInput{
            joined({"--mark ", *markText, " is outside the frame (", text::whole_text(shown.width),
                    " x ", text::whole_text(shown.height), " pixels)."})};
    }

    // The pass as the Measure screen runs it: the click picks the mark on the frame shown at
    // the start time, Start Pass follows on that frame, and the pass loop takes every frame
    // after it.
    session::PassSession session;
    session.calibration = setup.calibration;
    session::PassRecorder recorder(session);
    recorder.activate(pass, false, course::jumpSplitPathX, 0.2);
    measure::TrackedLine tracked(
        recorder, [&trackerName] { return tracking::make_named_tracker(trackerName); });
    const tracking::FrameOnSurface placement =
        tracking::fit_frame(surfaceW, surfaceH, shown.width, shown.height);
    tracked.setPlacement(placement);
    if (const auto refusal =
            tracked.click(shown.view(), mark.a, mark.b, setup.calibration.model, pass)) {
        throw BadInput{joined({"--mark ", *markText, " is not on a boat's mark at ",
                               video::seconds_text(shown.timeUs), " s: ", *refusal})};
    }
    session::LineInputs inputs;
    inputs.add(tracked);
    measure::PassLoop loop(recorder, inputs, &tracked);
    loop.poll(false);
    recorder.start(pass, loop.line().x);
    loop.startVideoTime(shown.timeUs);
    const int lastSample = course::last_sample_index(pass);

    std::unique_ptr<AnnotatedVideo> annotated;
    if (const auto out = line.option("--annotate")) {
        annotated =
            AnnotatedVideo::open(*out, shown.width, shown.height, video->frameRate(), problem);
        if (!annotated) {
            throw BadInput{joined({"--annotate \"", *out, "\" cannot be written: ", problem})};
        }
    }

    std::string samples;
    std::string detail = "sample,frame_time_s,deviation_m,provenance,confidence\r\n";
    const bool progress = progress_wanted(io);
    const auto began = std::chrono::steady_clock::now();
    long frames = 0;
    tracking::TrackResult last = tracked.lastFound();
    // The samples taken on frames the reader found damaged, with those frames' times.
    std::vector<std::pair<int, std::int64_t>> onDamage;
    std::vector<std::int64_t> damagedBefore = decoded.damagedBefore();
    while (recorder.passRunning() && more) {
        std::swap(shown, next);
        for (const std::int64_t damagedUs : damagedBefore) {
            for (const session::SampleStep& step : loop.damagedFrame(damagedUs, false).steps) {
                samples += session::deviation_text(step.deviation);
                samples += '\n';
                detail += detail_row(step, damagedUs, {});
                onDamage.emplace_back(step.index, damagedUs);
            }
        }
        more = decoded.next(next);
        damagedBefore = decoded.damagedBefore();
        ++frames;
        const measure::FrameOutcome outcome = loop.frame(shown.view(), false);
        if (outcome.track.found) {
            last = outcome.track;
        }
        for (const session::SampleStep& step : outcome.steps) {
            samples += session::deviation_text(step.deviation);
            samples += '\n';
            detail += detail_row(step, shown.timeUs, outcome.track);
        }
        if (annotated) {
            annotated->write(shown, outcome.track, last, recorder.row().y / 15, placement,
                             session.sampleIndex - 1);
        }
        if (progress) {
            const double elapsed =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
            std::fprintf(stderr, "\rsample %d of %d, video %s s, %.0f frames/s   ",
                         session.sampleIndex, lastSample + 1,
                         video::seconds_text(shown.timeUs).c_str(),
                         elapsed > 0 ? frames / elapsed : 0.0);
        }
    }
    if (progress) {
        std::fputs("\r\033[K", stderr);
    }
    // A refused pass leaves no output behind: the annotated video is written beside its name
    // and only moved there once the pass is known good.
    if (recorder.passRunning()) {
        const int taken = session.sampleIndex;
        recorder.stopEarly();
        throw BadInput{
            joined({"Video \"", videoPath, "\" ends at ", video::seconds_text(shown.timeUs),
                    " s, before the pass does: sample ", text::whole_text(taken), " of ",
                    text::whole_text(lastSample + 1), " would be taken at ",
                    video::seconds_text(loop.startUs() + (taken + 1) * 100000), " s."})};
    }
    refuse_implausible(session, recorder.untrackedSamples());
    if (annotated && !annotated->finish(problem)) {
        throw BadInput{joined(
            {"--annotate \"", *line.option("--annotate"), "\" cannot be written: ", problem})};
    }
    if (const auto detailPath = line.option("--detail")) {
        if (const auto written = text::replace_file(*detailPath, detail); !written) {
            throw BadInput{joined(
                {"--detail \"", *detailPath, "\" cannot be written: ", written.description})};
        }
    }
    io.out << samples;
    io.out.flush();
    // Each reason for a sample not tracked, on a line of its own: the damaged stretches of the
    // video up to the end of the pass, and the samples where the tracker lost the mark.
    std::vector<int> lost;
    for (const int k : recorder.untrackedSamples()) {
        if (std::none_of(onDamage.begin(), onDamage.end(),
                         [k](const auto& taken) { return taken.first == k; })) {
            lost.push_back(k);
        }
    }
    for (const video::DamagedStretch& stretch : decoded.damage()) {
        std::vector<int> inStretch;
        for (const auto& [k, timeUs] : onDamage) {
            if (timeUs >= stretch.fromUs && timeUs <= stretch.toUs) {
                inStretch.push_back(k);
            }
        }
        io.err << video::damage_text(stretch);
        if (!inStretch.empty()) {
            io.err << ": samples " << session::sample_ranges(inStretch);
        }
        io.err << '\n';
    }
    if (!lost.empty()) {
        io.err << "lost: samples " << session::sample_ranges(lost) << '\n';
    }
    return recorder.untrackedSamples().empty() ? 0 : 3;
}

// What the module's command writes, handed at once to one of quillon-cli's own streams.
class ForwardingBuffer : public std::streambuf {
  public:
    ForwardingBuffer(QuillonCliWrite write, void* stream) : write_(write), stream_(stream) {}

  protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            const char byte = traits_type::to_char_type(c);
            write_(stream_, &byte, 1);
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* bytes, std::streamsize count) override {
        write_(stream_, bytes, static_cast<std::size_t>(count));
        return count;
    }

  private:
    QuillonCliWrite write_;
    void* stream_;
};

const Subcommand& track_row() {
    for (const Subcommand& command : subcommands()) {
        if (command.name == "track") {
            return command;
        }
    }
    throw std::logic_error("no track in the command table");
}

}  // namespace

}  // namespace quillon::cli

int quillon_cli_track(const char* const* words, std::size_t count, const QuillonCliOutput* output) {
    using namespace quillon::cli;
    ForwardingBuffer outBuffer(output->write, output->out);
    ForwardingBuffer errBuffer(output->write, output->err);
    std::ostream out(&outBuffer);
    std::ostream err(&errBuffer);
    std::istringstream noInput;
    const CommandIo io{noInput, out, output->errIsStderr ? std::cerr : err};
    return run_guarded(io, [&] {
        return track(read_words(std::vector<std::string>(words, words + count), track_row()), io);
    });
}
