// WAV files of the sound generator's output: 44,100 Hz, 16-bit, stereo PCM.
//
// The file is written under a unique temporary name beside the target and
// renamed over it only once it is complete, so a failed or abandoned write
// never destroys an existing file.
#pragma once

#include <cstdint>
#include <string>

#include "state/atomic_file.h"

namespace vt {

class WavWriter {
public:
    WavWriter() = default;
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;
    // An unfinished file is discarded.
    ~WavWriter();

    // Starts a file for `path`; false (with error()) if it cannot be created.
    bool open(const std::string& path);
    // Appends interleaved left/right sample frames.
    bool append(const int16_t* samples, uint32_t frames);
    // Completes the header and moves the file into place.
    bool finish();
    // Abandons the file; the target is left as it was.
    void discard();

    bool is_open() const { return file_.is_open(); }
    uint64_t frames_written() const { return frames_; }
    const std::string& error() const { return error_; }

private:
    bool fail(const std::string& message);

    AtomicFile file_;
    std::string path_;
    uint64_t frames_ = 0;
    std::string error_;
};

// Writes a whole buffer of interleaved stereo frames in one go.
bool write_wav_file(const std::string& path, const int16_t* samples, uint32_t frames, std::string* error = nullptr);

}  // namespace vt
