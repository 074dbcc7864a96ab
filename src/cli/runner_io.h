// The runner's inputs and outputs beyond running frames: states, audio and
// picture files, memory dumps, the CPU trace. Each returns false only when
// it failed in a way the user must hear about (the message is on stderr).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vt {
struct Machine;
}

namespace vt::cli {

// Writes raw bytes to a file, saying on stderr when it cannot.
bool write_dump(const std::string& path, const uint8_t* data, size_t size);

bool load_state_file(Machine& m, const std::string& path);
bool save_state_file(Machine& m, const std::string& path);
bool start_cpu_trace(Machine& m, const std::string& path);
bool start_wav_capture(Machine& m, const std::string& path);
// Called after each frame while a WAV capture runs.
void capture_frame_audio(Machine& m);
bool finish_wav_capture(Machine& m);
bool write_png(Machine& m, const std::string& path, int format);
bool dump_vram(Machine& m, const std::string& path);   // 65,536 bytes, low byte of each word first
bool dump_cgram(Machine& m, const std::string& path);
bool dump_oam(Machine& m, const std::string& path);
bool dump_aram(Machine& m, const std::string& path);

}  // namespace vt::cli
