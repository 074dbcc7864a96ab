// The sound device: SDL2 audio at 44,100 Hz, 16-bit stereo. Its callback runs
// on SDL's own thread, only pulls from the ring the emulation fills, and
// applies the volume.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "frontend/audio_ring.h"

namespace vt::gui {

// Said once at start when no sound device opens; the program runs on silent.
inline constexpr const char* kNoSoundCaption = "Sound";
inline constexpr const char* kNoSoundText = "No sound device could be opened.  \rVeltrane runs without sound.";

class SdlAudio {
public:
    explicit SdlAudio(AudioRing& ring);
    ~SdlAudio();
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // Opens an output device by name (empty: the system's default) and
    // starts playing (silence while the ring is empty). `driver` picks the
    // sound system (empty: SDL's choice). False when there is no usable
    // device; error() says why.
    bool open(const std::string& device = {}, const std::string& driver = {});
    void close();
    bool is_open() const { return device_ != 0; }
    const std::string& error() const { return error_; }
    // The names of the output devices (empty when the sound system is not
    // running or cannot list them).
    std::vector<std::string> output_devices() const;

    // Frames the device asks for at a time.
    int period_frames() const { return period_frames_; }
    // Empties the ring with the callback stopped.
    void clear();
    // 0-100; muted plays silence. Takes effect with the next block the
    // device asks for.
    void set_volume(int percent, bool muted);

private:
    static void callback(void* user, uint8_t* stream, int bytes);

    AudioRing& ring_;
    uint32_t device_ = 0;
    int period_frames_ = 0;
    bool sdl_started_ = false;
    std::string error_;
    std::atomic<int> gain_{256};  // 256 = full volume
};

}  // namespace vt::gui
