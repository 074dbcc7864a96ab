#include "qt/sdl_audio.h"

#include <SDL.h>

#include <algorithm>

namespace vt::gui {

SdlAudio::SdlAudio(AudioRing& ring) : ring_(ring) {}

SdlAudio::~SdlAudio() { close(); }

bool SdlAudio::open(const std::string& device, const std::string& driver) {
    if (device_) return true;
    error_.clear();
    // Qt owns the process's signals and events; SDL only plays sound here.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (!driver.empty()) SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver.c_str(), SDL_HINT_OVERRIDE);
    const bool started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!driver.empty()) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!started) {
        error_ = SDL_GetError();
        return false;
    }
    sdl_started_ = true;
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &SdlAudio::callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(device.empty() ? nullptr : device.c_str(), 0, &want, &have, 0);
    if (device_ == 0) {
        error_ = SDL_GetError();
        close();
        return false;
    }
    period_frames_ = have.samples;
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void SdlAudio::close() {
    if (device_) {
        SDL_CloseAudioDevice(device_);
        device_ = 0;
    }
    if (sdl_started_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        sdl_started_ = false;
    }
}

std::vector<std::string> SdlAudio::output_devices() const {
    std::vector<std::string> names;
    if (!sdl_started_) return names;
    const int count = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < count; i++)
        if (const char* name = SDL_GetAudioDeviceName(i, 0)) names.emplace_back(name);
    return names;
}

void SdlAudio::clear() {
    if (device_) SDL_LockAudioDevice(device_);
    ring_.clear();
    if (device_) SDL_UnlockAudioDevice(device_);
}

void SdlAudio::set_volume(int percent, bool muted) {
    percent = std::clamp(percent, 0, 100);
    gain_.store(muted ? 0 : percent * 256 / 100);
}

void SdlAudio::callback(void* user, uint8_t* stream, int bytes) {
    auto* self = static_cast<SdlAudio*>(user);
    auto* samples = reinterpret_cast<int16_t*>(stream);
    const size_t frames = size_t(bytes) / 4;
    self->ring_.pop(samples, frames);
    const int gain = self->gain_.load();
    if (gain == 256) return;
    for (size_t i = 0; i < 2 * frames; i++) samples[i] = int16_t(samples[i] * gain / 256);
}

}  // namespace vt::gui
