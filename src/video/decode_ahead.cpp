#include "video/decode_ahead.h"

namespace quillon::video {

DecodeAhead::DecodeAhead(VideoReader& reader, std::size_t framesAhead)
    : reader_(reader), framesAhead_(framesAhead < 1 ? 1 : framesAhead) {
    thread_ = std::thread([this] { run(); });
}

DecodeAhead::~DecodeAhead() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    reader_.interrupt();
    changed_.notify_all();
    thread_.join();
    reader_.resume();
}

void DecodeAhead::run() {
    for (;;) {
        Item item;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || ready_.size() < framesAhead_; });
            if (stopping_) {
                return;
            }
            if (!spare_.empty()) {
                item.frame = std::move(spare_.back());
                spare_.pop_back();
            }
        }
        const bool end = !reader_.next(item.frame);
        item.end = end;
        item.damagedBefore = reader_.damagedBefore();
        item.damage = reader_.damage();
        item.error = reader_.error();
        {
            std::lock_guard lock(mutex_);
            ready_.push_back(std::move(item));
        }
        changed_.notify_all();
        if (end) {
            return;
        }
    }
}

bool DecodeAhead::next(DecodedFrame& frame) {
    std::unique_lock lock(mutex_);
    if (ended_) {
        return false;
    }
    changed_.wait(lock, [this] { return !ready_.empty(); });
    Item item = std::move(ready_.front());
    ready_.pop_front();
    if (item.end) {
        ended_ = true;
    } else {
        std::swap(frame, item.frame);
        spare_.push_back(std::move(item.frame));
    }
    lock.unlock();
    changed_.notify_all();
    given_.damagedBefore = std::move(item.damagedBefore);
    given_.damage = std::move(item.damage);
    given_.error = std::move(item.error);
    return !ended_;
}

}  // namespace quillon::video
