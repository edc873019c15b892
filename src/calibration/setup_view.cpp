#include "calibration/setup_view.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <vector>

#include "text/number_text.h"
#include "text/sha256.h"
#include "text/text_file.h"

namespace quillon::calibration {

namespace {

constexpr std::string_view firstLine = "Quillon setup view 1";
constexpr std::size_t maxViewBytes = 4096;

std::vector<std::string_view> words_of(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t end = line.find(' ', at);
        const std::string_view word =
            line.substr(at, end == std::string_view::npos ? end : end - at);
        if (!word.empty()) {
            words.push_back(word);
        }
        if (end == std::string_view::npos) {
            break;
        }
        at = end + 1;
    }
    return words;
}

template <typename T>
bool read_number(std::string_view word, T& value) {
    const auto result = std::from_chars(word.data(), word.data() + word.size(), value);
    return result.ec == std::errc() && result.ptr == word.data() + word.size();
}

std::string file_name(std::string_view path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace

std::string setup_view_path(std::string_view iptPath) {
    std::string path(iptPath);
    path += ".view";
    return path;
}

std::string setup_view_text(const SetupView& view) {
    text::CrLfText out;
    out.line(firstLine);
    std::string surface = "surface ";
    surface.append(std::to_string(view.surfaceWidth))
        .append(" ")
        .append(std::to_string(view.surfaceHeight));
    out.line(surface);
    std::string picture = "picture ";
    if (view.picture) {
        const PictureFit& p = *view.picture;
        picture.append(std::to_string(p.width)).append(" ").append(std::to_string(p.height));
        for (const double value : {p.left, p.top, p.shownWidth, p.shownHeight}) {
            picture.append(" ").append(text::shortest_text(value));
        }
    } else {
        picture += "none";
    }
    out.line(picture);
    std::string hash = "ipt-sha256 ";
    hash += view.iptSha256;
    out.line(hash);
    return out.str();
}

std::optional<SetupView> parse_setup_view(std::string_view bytes) {
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos) {
            end = bytes.size();
        }
        std::string_view line = bytes.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        at = end + 1;
    }
    if (lines.size() < 4 || lines[0] != firstLine) {
        return std::nullopt;
    }
    SetupView view;
    const auto surface = words_of(lines[1]);
    if (surface.size() != 3 || surface[0] != "surface" ||
        !read_number(surface[1], view.surfaceWidth) ||
        !read_number(surface[2], view.surfaceHeight) || view.surfaceWidth <= 0 ||
        view.surfaceHeight <= 0) {
        return std::nullopt;
    }
    const auto picture = words_of(lines[2]);
    if (picture.size() == 2 && picture[0] == "picture" && picture[1] == "none") {
        view.picture.reset();
    } else {
        PictureFit fit;
        bool numbers = picture.size() == 7 && picture[0] == "picture" &&
                       read_number(picture[1], fit.width) && read_number(picture[2], fit.height);
        double* values[] = {&fit.left, &fit.top, &fit.shownWidth, &fit.shownHeight};
        for (std::size_t i = 0; numbers && i < 4; ++i) {
            numbers = read_number(picture[3 + i], *values[i]) && std::isfinite(*values[i]);
        }
        if (!numbers || fit.width <= 0 || fit.height <= 0 || !(fit.shownWidth > 0) ||
            !(fit.shownHeight > 0)) {
            return std::nullopt;
        }
        view.picture = fit;
    }
    const auto hash = words_of(lines[3]);
    if (hash.size() != 2 || hash[0] != "ipt-sha256" || hash[1].size() != 64 ||
        hash[1].find_first_not_of("0123456789abcdef") != std::string_view::npos) {
        return std::nullopt;
    }
    view.iptSha256 = hash[1];
    return view;
}

std::optional<SurfaceChange> surface_change(const SetupView& saved, const SetupView& now) {
    if (!saved.picture || !now.picture) {
        return std::nullopt;
    }
    const PictureFit& from = *saved.picture;
    const PictureFit& to = *now.picture;
    // The same video at another resolution lines up by proportion; another shape is another
    // picture, and nothing lines up.
    const double fromAspect = static_cast<double>(from.width) / from.height;
    const double toAspect = static_cast<double>(to.width) / to.height;
    if (std::fabs(fromAspect / toAspect - 1) > 0.005) {
        return std::nullopt;
    }
    if (from == to) {
        return SurfaceChange{};
    }
    // A surface pixel is 15 twips; the picture's rectangle moves and stretches onto its new one.
    SurfaceChange change;
    change.scaleX = to.shownWidth / from.shownWidth;
    change.scaleY = to.shownHeight / from.shownHeight;
    change.offsetX = 15 * (to.left - from.left * change.scaleX);
    change.offsetY = 15 * (to.top - from.top * change.scaleY);
    return change;
}

void apply_surface_change(SetupFileData& data, const SurfaceChange& change) {
    if (change.identity()) {
        return;
    }
    for (ReferencePoint& point : data.points) {
        point.screen_x = change.scaleX * point.screen_x + change.offsetX;
        point.screen_y = change.scaleY * point.screen_y + change.offsetY;
    }
    // The model reads old twips X = ax X' + bx, Y = ay Y' + by; put that into
    //   x = (c1 + c2 X + c3 Y) / (1 + c4 X + c5 Y),  y = (c6 + c7 X + c8 Y) / (same)
    // and divide through by the new constant of the denominator.
    const double ax = 1 / change.scaleX;
    const double ay = 1 / change.scaleY;
    const double bx = -change.offsetX / change.scaleX;
    const double by = -change.offsetY / change.scaleY;
    auto& c = data.coefficients;  // c1..c8 at 0..7
    const double k = 1 + c[3] * bx + c[4] * by;
    data.coefficients = {(c[0] + c[1] * bx + c[2] * by) / k,
                         c[1] * ax / k,
                         c[2] * ay / k,
                         c[3] * ax / k,
                         c[4] * ay / k,
                         (c[5] + c[6] * bx + c[7] * by) / k,
                         c[6] * ax / k,
                         c[7] * ay / k};
}

SetupViewRead read_setup_view(const std::string& iptPath, std::string_view iptBytes) {
    SetupViewRead result;
    const std::string viewPath = setup_view_path(iptPath);
    std::error_code error;
    if (!std::filesystem::exists(viewPath, error)) {
        return result;
    }
    auto note = [&](std::string why) {
        std::string text = "The display file \"";
        text.append(file_name(viewPath))
            .append("\" ")
            .append(why)
            .append(" The marks stand where the setup file has them.");
        result.note = Message{std::move(text), applicationTitle, MessageStyle::Exclamation};
    };
    const text::FileContent view = text::read_file(viewPath, maxViewBytes);
    auto saved = view.status ? parse_setup_view(view.bytes) : std::nullopt;
    if (!saved) {
        note(view.status ? "is not a setup view file, and is ignored."
                         : "cannot be read (" + view.status.description + "), and is ignored.");
        return result;
    }
    if (saved->iptSha256 != text::sha256_hex(iptBytes)) {
        note("belongs to another version of \"" + file_name(iptPath) +
             "\" (the setup file changed after it was written), and is ignored.");
        return result;
    }
    result.view = std::move(saved);
    return result;
}

std::string ratio_width_px(const SetupView& view) {
    if (view.picture) {
        return text::shortest_text(view.picture->shownWidth);
    }
    return std::to_string(view.surfaceWidth);
}

ViewedSetupRead read_setup_for_view(const std::string& path, const SetupView& now) {
    ViewedSetupRead result;
    std::string bytes;
    result.read = read_setup_file(path, &bytes);
    if (!result.read.data) {
        return result;
    }
    SetupViewRead view = read_setup_view(path, bytes);
    result.note = std::move(view.note);
    if (!view.view) {
        return result;  // a classic setup file: the marks stand where it has them
    }
    if (const auto change = surface_change(*view.view, now)) {
        apply_surface_change(*result.read.data, *change);
        result.saved = std::move(view.view);
    }
    return result;
}

std::optional<Message> write_setup_view(const std::string& iptPath, SetupView view) {
    const text::FileContent ipt = text::read_file(iptPath, 1024 * 1024 + 1);
    const std::string viewPath = setup_view_path(iptPath);
    text::FileStatus status = ipt.status;
    if (status) {
        view.iptSha256 = text::sha256_hex(ipt.bytes);
        status = text::replace_file(viewPath, setup_view_text(view));
    }
    if (status) {
        return std::nullopt;
    }
    std::string text = "The display file \"";
    text.append(viewPath)
        .append("\" could not be written: ")
        .append(status.description)
        .append(
            ". The setup file is saved; loaded on another display, its marks may not line up with "
            "the video.");
    return Message{std::move(text), applicationTitle, MessageStyle::Exclamation};
}

}  // namespace quillon::calibration
