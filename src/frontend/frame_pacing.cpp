#include "frontend/frame_pacing.h"

#include <algorithm>
#include <cmath>

namespace vt {

double frame_rate_for(bool pal) { return pal ? kPalFrameRate : kNtscFrameRate; }

void pacer_start(FramePacer& p, double now, double frames_per_second) {
    p.period = 1.0 / frames_per_second;
    p.next_due = now;
}

double pacer_wait(const FramePacer& p, double now) { return std::max(0.0, p.next_due - now); }

void pacer_frame_done(FramePacer& p, double now) {
    p.next_due += p.period;
    if (now - p.next_due > kMaxFramesBehind * p.period) p.next_due = now;
}

int sound_frames_per_video_frame(double frames_per_second, int queued, int target_queued, double& carry) {
    double nominal = kOutputSampleRate / frames_per_second;
    double nudge = 0.0;
    if (target_queued > 0) nudge = std::clamp(double(target_queued - queued) / target_queued, -1.0, 1.0) * 0.005;
    double exact = nominal * (1.0 + nudge) + carry;
    int whole = int(std::floor(exact));
    carry = exact - whole;
    return std::max(whole, 1);
}

void stretch_stereo(const int16_t* in, int in_frames, int16_t* out, int out_frames) {
    if (in_frames <= 0 || out_frames <= 0) return;
    if (in_frames == out_frames) {
        std::copy(in, in + 2 * in_frames, out);
        return;
    }
    // Output frame i sits at input position i * (in - 1) / (out - 1): the
    // first and last frames are kept as they are.
    const double step = out_frames > 1 ? double(in_frames - 1) / double(out_frames - 1) : 0.0;
    for (int i = 0; i < out_frames; i++) {
        double pos = i * step;
        int a = std::min(int(pos), in_frames - 1);
        int b = std::min(a + 1, in_frames - 1);
        double f = pos - a;
        for (int ch = 0; ch < 2; ch++) {
            double v = in[2 * a + ch] * (1.0 - f) + in[2 * b + ch] * f;
            out[2 * i + ch] = int16_t(std::lround(v));
        }
    }
}

}  // namespace vt
