#include "frontend/wav_writer.h"

#include <cstring>

namespace vt {

namespace {

constexpr uint32_t kSampleRate = 44100;
constexpr uint16_t kChannels = 2;
constexpr uint16_t kBitsPerSample = 16;
constexpr uint16_t kBlockAlign = kChannels * kBitsPerSample / 8;
constexpr uint32_t kHeaderSize = 44;
// The RIFF sizes are 32-bit: the data may not exceed this many bytes.
constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - (kHeaderSize - 8);

void put16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void put32(uint8_t* p, uint32_t v) {
    put16(p, uint16_t(v));
    put16(p + 2, uint16_t(v >> 16));
}

void make_header(uint8_t* h, uint32_t data_bytes) {
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, data_bytes + kHeaderSize - 8);
    std::memcpy(h + 8, "WAVE", 4);
    std::memcpy(h + 12, "fmt ", 4);
    put32(h + 16, 16);  // format chunk size
    put16(h + 20, 1);   // PCM
    put16(h + 22, kChannels);
    put32(h + 24, kSampleRate);
    put32(h + 28, kSampleRate * kBlockAlign);
    put16(h + 32, kBlockAlign);
    put16(h + 34, kBitsPerSample);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, data_bytes);
}

}  // namespace

WavWriter::~WavWriter() { discard(); }

bool WavWriter::fail(const std::string& message) {
    error_ = message;
    discard();
    return false;
}

bool WavWriter::open(const std::string& path) {
    discard();
    error_.clear();
    path_ = path;
    frames_ = 0;
    if (!file_.open(path)) return fail("cannot create " + path + ": " + file_.error());
    uint8_t header[kHeaderSize];
    make_header(header, 0);  // sizes are filled in by finish()
    if (!file_.write(header, sizeof header)) return fail("cannot write " + path + ": " + file_.error());
    return true;
}

bool WavWriter::append(const int16_t* samples, uint32_t frames) {
    if (!file_.is_open()) return false;
    if ((frames_ + frames) * kBlockAlign > kMaxDataBytes) return fail("the recording is too long for a WAV file");
    // Little-endian on disk whatever the host's order.
    uint8_t chunk[4096];
    uint32_t done = 0;
    const uint32_t values = frames * kChannels;
    while (done < values) {
        uint32_t n = 0;
        while (done < values && n + 2 <= sizeof chunk) {
            put16(chunk + n, uint16_t(samples[done++]));
            n += 2;
        }
        if (!file_.write(chunk, n)) return fail("cannot write " + path_ + ": " + file_.error());
    }
    frames_ += frames;
    return true;
}

bool WavWriter::finish() {
    if (!file_.is_open()) return false;
    uint8_t header[kHeaderSize];
    make_header(header, uint32_t(frames_ * kBlockAlign));
    if (!file_.write_at(0, header, sizeof header)) return fail("cannot write " + path_ + ": " + file_.error());
    if (!file_.commit()) return fail("cannot write " + path_ + ": " + file_.error());
    return true;
}

void WavWriter::discard() { file_.discard(); }

bool write_wav_file(const std::string& path, const int16_t* samples, uint32_t frames, std::string* error) {
    WavWriter w;
    const bool ok = w.open(path) && w.append(samples, frames) && w.finish();
    if (!ok && error) *error = w.error();
    return ok;
}

}  // namespace vt
