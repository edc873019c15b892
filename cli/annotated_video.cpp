#include "cli/annotated_video.h"

#include <charconv>
#include <filesystem>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

namespace quillon::cli {

struct AnnotatedVideo::Impl {
    cv::VideoWriter writer;
    // The video is written here, beside its name, and moved there only once it reads back
    // whole; until then (and after a refused pass) nothing stands at the name.
    std::string path;
    std::string partial;
    cv::Mat bgr;
    long written = 0;
    bool finished = false;
};

AnnotatedVideo::AnnotatedVideo(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

AnnotatedVideo::~AnnotatedVideo() {
    if (!impl_->finished) {
        impl_->writer.release();
        std::error_code ignored;
        std::filesystem::remove(impl_->partial, ignored);
    }
}

std::unique_ptr<AnnotatedVideo> AnnotatedVideo::open(const std::string& path, int width, int height,
                                                     double framesPerSecond, std::string& error) {
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    const std::filesystem::path target(path);
    // The container follows the name's extension; the partial file keeps it.
    std::string name = ".";
    name.append(target.stem().string()).append(".partial").append(target.extension().string());
    impl->partial = (target.parent_path() / name).string();
    const double fps = framesPerSecond > 0 ? framesPerSecond : 30;
    for (const char* code : {"avc1", "mp4v"}) {
        const int fourcc = cv::VideoWriter::fourcc(code[0], code[1], code[2], code[3]);
        if (impl->writer.open(impl->partial, cv::CAP_FFMPEG, fourcc, fps,
                              cv::Size(width, height))) {
            break;
        }
    }
    if (!impl->writer.isOpened()) {
        error = "no video encoder could open the file";
        return nullptr;
    }
    return std::unique_ptr<AnnotatedVideo>(new AnnotatedVideo(std::move(impl)));
}

void AnnotatedVideo::write(const video::DecodedFrame& frame, const tracking::TrackResult& found,
                           const tracking::TrackResult& line, double rowSurfaceY,
                           const tracking::FrameOnSurface& placement, int sample) {
    const cv::Mat pixels(frame.height, frame.width, CV_8UC4,
                         const_cast<std::uint8_t*>(frame.pixels.data()),
                         static_cast<std::size_t>(frame.strideBytes));
    cv::cvtColor(pixels, impl_->bgr, cv::COLOR_BGRA2BGR);
    cv::Mat& image = impl_->bgr;
    // Sub-pixel drawing: 4 fractional bits.
    constexpr int shift = 4;
    auto fixed = [](double v) { return static_cast<int>(std::lround(v * (1 << shift))); };
    const int x = fixed(line.x);
    cv::line(image, {x, 0}, {x, fixed(frame.height - 1)}, {0, 255, 0}, 1, cv::LINE_AA, shift);
    const double row = (rowSurfaceY - placement.top) / placement.scale;
    cv::line(image, {x - fixed(30), fixed(row)}, {x + fixed(30), fixed(row)}, {255, 255, 0}, 1,
             cv::LINE_AA, shift);
    const tracking::TrackResult& box = found.found ? found : line;
    const cv::Scalar colour = found.found ? cv::Scalar(0, 230, 255) : cv::Scalar(0, 0, 255);
    cv::rectangle(image, {fixed(box.x - box.boxWidth / 2), fixed(box.y - box.boxHeight / 2)},
                  {fixed(box.x + box.boxWidth / 2), fixed(box.y + box.boxHeight / 2)}, colour, 1,
                  cv::LINE_AA, shift);
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, sample < 0 ? 0 : sample).ptr;
    std::string label = "sample ";
    label.append(digits, end);
    if (!found.found) {
        label += " lost";
    }
    cv::putText(image, label, {12, 28}, cv::FONT_HERSHEY_SIMPLEX, 0.8, {0, 0, 0}, 3, cv::LINE_AA);
    cv::putText(image, label, {12, 28}, cv::FONT_HERSHEY_SIMPLEX, 0.8, colour, 1, cv::LINE_AA);
    impl_->writer.write(image);
    ++impl_->written;
}

bool AnnotatedVideo::finish(std::string& error) {
    impl_->writer.release();
    // OpenCV's writer says nothing of a full disk: the file must read back with every frame.
    std::string problem;
    long frames = 0;
    if (auto back = video::VideoReader::open(impl_->partial, problem)) {
        video::DecodedFrame frame;
        while (back->next(frame)) {
            ++frames;
        }
    }
    if (frames != impl_->written) {
        error = "only ";
        error.append(std::to_string(frames))
            .append(" of its ")
            .append(std::to_string(impl_->written))
            .append(" frames could be written (is the disk full?)");
        return false;
    }
    std::error_code code;
    const auto old = std::filesystem::status(impl_->path, code);
    if (std::filesystem::is_regular_file(old)) {
        std::filesystem::permissions(impl_->partial, old.permissions(), code);
    }
    std::filesystem::rename(impl_->partial, impl_->path, code);
    if (code) {
        error = code.message();
        return false;
    }
    impl_->finished = true;
    return true;
}

}  // namespace quillon::cli
