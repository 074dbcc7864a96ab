// The sound device: SDL2 audio at 44,100 Hz, 16-bit stereo. Its callback runs
// on SDL's own thread and only pulls from the ring the emulation fills.
#pragma once

#include <cstdint>

#include "frontend/audio_ring.h"

namespace vt::gui {

inline constexpr const char* kSoundFailedCaption = "Direct Sound";
inline constexpr const char* kSoundFailedText = "Unable to initialize Direct Sound.  ";

class SdlAudio {
public:
    explicit SdlAudio(AudioRing& ring);
    ~SdlAudio();
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // Opens the default device and starts playing (silence while the ring
    // is empty). False when there is no usable device.
    bool open();
    void close();
    bool is_open() const { return device_ != 0; }
    // Frames the device asks for at a time.
    int period_frames() const { return period_frames_; }
    // Empties the ring with the callback stopped.
    void clear();

private:
    static void callback(void* user, uint8_t* stream, int bytes);

    AudioRing& ring_;
    uint32_t device_ = 0;
    int period_frames_ = 0;
    bool sdl_started_ = false;
};

}  // namespace vt::gui
