#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "video/video_reader.h"

namespace quillon::video {

// A reader decoding a few frames ahead on a thread of its own, so that decoding and
// converting the next frames overlaps the work done on this one. It gives what the reader
// gives, in the same order, and with each frame what the reader knew when it gave it: the
// damaged frames skipped just before it, and the damaged stretches so far.
class DecodeAhead {
  public:
    explicit DecodeAhead(VideoReader& reader, std::size_t framesAhead = 4);
    ~DecodeAhead();
    DecodeAhead(const DecodeAhead&) = delete;
    DecodeAhead& operator=(const DecodeAhead&) = delete;

    // The next frame into `frame` (whose buffer goes back to the decoder); false at the end.
    bool next(DecodedFrame& frame);
    const std::vector<std::int64_t>& damagedBefore() const { return given_.damagedBefore; }
    const std::vector<DamagedStretch>& damage() const { return given_.damage; }
    const std::string& error() const { return given_.error; }

  private:
    struct Item {
        DecodedFrame frame;
        bool end = false;
        std::vector<std::int64_t> damagedBefore;
        std::vector<DamagedStretch> damage;
        std::string error;
    };
    void run();

    VideoReader& reader_;
    std::size_t framesAhead_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Item> ready_;
    std::vector<DecodedFrame> spare_;
    bool stopping_ = false;
    bool ended_ = false;
    Item given_;
    std::thread thread_;
};

}  // namespace quillon::video
