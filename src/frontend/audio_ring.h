// The queue between the emulation and the sound device: the user-interface
// thread pushes each frame's sound, the device's callback (its own thread)
// pulls. One writer and one reader, no locks: the two positions are atomic
// and each side writes only its own.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vt {

class AudioRing {
public:
    // Room for `capacity_frames` stereo frames.
    explicit AudioRing(size_t capacity_frames);

    // Writer: appends up to `count` frames; what does not fit is dropped.
    // Returns the frames taken.
    size_t push(const int16_t* frames, size_t count);
    // Reader: takes up to `count` frames into `out` and fills the rest of
    // the `count` frames with silence. Returns the frames taken.
    size_t pop(int16_t* out, size_t count);

    // Frames waiting (exact on either side's own thread, a snapshot otherwise).
    size_t queued() const;
    size_t capacity() const { return capacity_; }
    // Reader side (or while the reader is stopped): forget what is queued.
    void clear();

private:
    size_t capacity_;
    std::vector<int16_t> data_;  // (capacity + 1) frames: one stays free
    std::atomic<size_t> read_{0};
    std::atomic<size_t> write_{0};
};

}  // namespace vt
