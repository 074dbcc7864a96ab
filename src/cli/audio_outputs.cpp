// The runner's audio outputs: the WAV file of the whole run and the audio
// RAM dump.
#include <cstdio>
#include <memory>

#include "audio/dsp.h"
#include "cli/runner_io.h"
#include "core/machine.h"
#include "frontend/wav_writer.h"

namespace vt::cli {

namespace {

// One capture per run of the program.
std::unique_ptr<WavWriter>& wav_capture() {
    static std::unique_ptr<WavWriter> writer;
    return writer;
}

}  // namespace

bool start_wav_capture(Machine&, const std::string& path) {
    auto writer = std::make_unique<WavWriter>();
    if (!writer->open(path)) return complain(writer->error());
    wav_capture() = std::move(writer);
    return true;
}

void capture_frame_audio(Machine& m) {
    WavWriter* writer = wav_capture().get();
    if (!writer) return;
    DspSamples samples = dsp_finished_samples(m);
    writer->append(samples.samples, samples.frames);
}

bool finish_wav_capture(Machine&) {
    std::unique_ptr<WavWriter> writer = std::move(wav_capture());
    if (!writer) return false;
    if (!writer->finish()) return complain(writer->error());
    return true;
}

bool dump_aram(Machine& m, const std::string& path) { return write_dump(path, m.apu.ram.data(), m.apu.ram.size()); }

}  // namespace vt::cli
