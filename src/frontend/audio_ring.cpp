#include "frontend/audio_ring.h"

#include <algorithm>

namespace vt {

AudioRing::AudioRing(size_t capacity_frames) : capacity_(capacity_frames), data_((capacity_frames + 1) * 2, 0) {}

size_t AudioRing::queued() const {
    size_t slots = capacity_ + 1;
    size_t w = write_.load(std::memory_order_acquire), r = read_.load(std::memory_order_acquire);
    return (w + slots - r) % slots;
}

size_t AudioRing::push(const int16_t* frames, size_t count) {
    const size_t slots = capacity_ + 1;
    size_t w = write_.load(std::memory_order_relaxed);
    size_t r = read_.load(std::memory_order_acquire);
    size_t room = capacity_ - (w + slots - r) % slots;
    size_t n = std::min(count, room);
    for (size_t i = 0; i < n; i++) {
        data_[2 * w] = frames[2 * i];
        data_[2 * w + 1] = frames[2 * i + 1];
        w = (w + 1) % slots;
    }
    write_.store(w, std::memory_order_release);
    return n;
}

size_t AudioRing::pop(int16_t* out, size_t count) {
    const size_t slots = capacity_ + 1;
    size_t r = read_.load(std::memory_order_relaxed);
    size_t w = write_.load(std::memory_order_acquire);
    size_t available = (w + slots - r) % slots;
    size_t n = std::min(count, available);
    for (size_t i = 0; i < n; i++) {
        out[2 * i] = data_[2 * r];
        out[2 * i + 1] = data_[2 * r + 1];
        r = (r + 1) % slots;
    }
    read_.store(r, std::memory_order_release);
    std::fill(out + 2 * n, out + 2 * count, int16_t(0));
    return n;
}

void AudioRing::clear() { read_.store(write_.load(std::memory_order_acquire), std::memory_order_release); }

}  // namespace vt
