#include "qt/sdl_audio.h"

#include <SDL.h>

namespace vt::gui {

SdlAudio::SdlAudio(AudioRing& ring) : ring_(ring) {}

SdlAudio::~SdlAudio() { close(); }

bool SdlAudio::open() {
    if (device_) return true;
    // Qt owns the process's signals and events; SDL only plays sound here.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    sdl_started_ = true;
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &SdlAudio::callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
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

void SdlAudio::clear() {
    if (device_) SDL_LockAudioDevice(device_);
    ring_.clear();
    if (device_) SDL_UnlockAudioDevice(device_);
}

void SdlAudio::callback(void* user, uint8_t* stream, int bytes) {
    auto* self = static_cast<SdlAudio*>(user);
    self->ring_.pop(reinterpret_cast<int16_t*>(stream), size_t(bytes) / 4);
}

}  // namespace vt::gui
