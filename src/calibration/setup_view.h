#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calibration/message.h"
#include "calibration/setup_file.h"

namespace quillon::calibration {

// A video or still picture behind the drawing surface: its own upright, square-pixel size and
// the rectangle it fills on the surface, in surface pixels.
struct PictureFit {
    int width = 0;
    int height = 0;
    double left = 0;
    double top = 0;
    double shownWidth = 0;
    double shownHeight = 0;

    friend bool operator==(const PictureFit&, const PictureFit&) = default;
};

// Where a setup's marks were made: the drawing surface in logical pixels, the picture behind
// it (none when nothing was), and the SHA-256 of the setup file's bytes it belongs to. Kept
// beside the setup file as NAME.ipt.view, so that a setup saved on one display lines up with
// the same video on another.
struct SetupView {
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    std::optional<PictureFit> picture;
    std::string iptSha256;

    friend bool operator==(const SetupView&, const SetupView&) = default;
};

// "SlalomOK.ipt" -> "SlalomOK.ipt.view"
std::string setup_view_path(std::string_view iptPath);

// The file's text, every line ending in CR LF:
//   Quillon setup view 1
//   surface 1920 980
//   picture 1920 1080 87 0 1742 980     (own size, then left, top, width, height shown;
//                                        or "picture none")
//   ipt-sha256 <64 hexadecimal digits>
std::string setup_view_text(const SetupView& view);
// Nothing for any text that is not such a file.
std::optional<SetupView> parse_setup_view(std::string_view bytes);

// A change of surface: a mark at twips (X, Y) moves to (scaleX X + offsetX, scaleY Y + offsetY).
struct SurfaceChange {
    double scaleX = 1;
    double scaleY = 1;
    double offsetX = 0;
    double offsetY = 0;

    bool identity() const { return scaleX == 1 && scaleY == 1 && offsetX == 0 && offsetY == 0; }
};

// The change that puts the saved picture's pixels where the same picture lies now; nothing
// when either has no picture behind it, or the two pictures differ in shape (another video).
std::optional<SurfaceChange> surface_change(const SetupView& saved, const SetupView& now);

// The setup moved by the change: the reference points' screen positions, and the coefficients
// combined with it, so that every new screen position maps to the survey point its old one
// did. No solve: the stored coefficients are carried over. An identity change leaves every
// bit as it was.
void apply_surface_change(SetupFileData& data, const SurfaceChange& change);

// The view file beside the setup file at `iptPath` whose bytes are `iptBytes`: nothing when
// there is none (a classic setup file); nothing and a note for the operator when it cannot be
// read, is not a view file, or belongs to another version of the setup file.
struct SetupViewRead {
    std::optional<SetupView> view;
    std::optional<Message> note;
};
SetupViewRead read_setup_view(const std::string& iptPath, std::string_view iptBytes);

// The width, in pixels, that the gate ratios are measured against on the view's surface: the
// picture's when one was behind it, else the surface's, which is the screen's width.
std::string ratio_width_px(const SetupView& view);

// The setup file at `path` read for the surface `now`: moved onto it when a view file beside
// it says where it was made; as it stands when there is none (a classic file) or nothing to
// line it up with. `note` says why a view file was not used, for the operator.
struct ViewedSetupRead {
    SetupFileRead read;
    std::optional<SetupView> saved;  // the view file that was used
    std::optional<Message> note;
};
ViewedSetupRead read_setup_for_view(const std::string& path, const SetupView& now);

// Writes the view file beside the setup file just written at `iptPath`, with that file's
// SHA-256. The message to show on failure.
std::optional<Message> write_setup_view(const std::string& iptPath, SetupView view);

}  // namespace quillon::calibration
