// Real-time speed for the desktop program: when the next frame is due, and
// how many sound frames each video frame feeds the sound device so that the
// sound keeps pace with the picture. The emulated timing never changes: a
// frame always produces its 732 (NTSC) or 882 (PAL) sample frames, and the
// program stretches them slightly for the device.
#pragma once

#include <cstdint>

namespace vt {

inline constexpr double kNtscFrameRate = 60.1;
inline constexpr double kPalFrameRate = 50.0;
inline constexpr int kOutputSampleRate = 44100;
// Behind by more than this many frames (a slow host, a dialog, a debugger
// stop): start counting afresh instead of racing to catch up.
inline constexpr int kMaxFramesBehind = 4;

double frame_rate_for(bool pal);

// Times are seconds on a monotonic clock.
struct FramePacer {
    double period = 1.0 / kNtscFrameRate;
    double next_due = 0.0;
};

// Starts pacing at `now` with the given rate; the first frame is due now.
void pacer_start(FramePacer& p, double now, double frames_per_second);
// Seconds to wait before the next frame (0 when it is due).
double pacer_wait(const FramePacer& p, double now);
// A frame ran: the next one is due one period after this one was.
void pacer_frame_done(FramePacer& p, double now);

// Sound frames a video frame is stretched to: the device's rate divided by
// the frame rate, nudged by up to half a percent towards the wanted amount
// of queued sound. `carry` keeps the fraction between frames.
int sound_frames_per_video_frame(double frames_per_second, int queued, int target_queued, double& carry);

// Linear resampling of interleaved stereo frames from `in_frames` to
// `out_frames` (both at least 1).
void stretch_stereo(const int16_t* in, int in_frames, int16_t* out, int out_frames);

}  // namespace vt
