// The S-DD1's decoder: a binary model with 32 adaptive contexts whose
// symbols arrive as Golomb-coded runs, one run counter per code order, and
// four ways of turning the decoded bit planes into output bytes.
#include "coproc/sdd1/sdd1.h"

namespace vt {

namespace {

// Per context state: the Golomb code order, and the state after a run of
// more-probable symbols and after a less-probable one.
constexpr uint8_t kCodeOrder[33] = {0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3,
                                    4, 4, 5, 5, 6, 6, 7, 7, 0, 1, 2, 3, 4, 5, 6, 7};
constexpr uint8_t kNextOnMps[33] = {25, 2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                                    18, 19, 20, 21, 22, 23, 24, 24, 26, 27, 28, 29, 30, 31, 32, 24};
constexpr uint8_t kNextOnLps[33] = {25, 1,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                                    16, 17, 18, 19, 20, 21, 22, 23, 1,  2,  4,  8,  12, 16, 18, 22};

// (H, L) masks of the history bits that pick the context, per context type.
constexpr uint8_t kHighMask[4] = {0x0E, 0x0C, 0x06, 0x0C};
constexpr uint8_t kLowMask[4] = {0x01, 0x01, 0x01, 0x03};

// Code bits MSB first, starting at bit 3 of the header byte. Bytes past
// the end of the source read as 0.
class BitReader {
public:
    BitReader(std::span<const uint8_t> source, size_t start) : source_(source), byte_(start) {
        current_ = byte_at(byte_);
    }
    int bit() {
        const int b = (current_ >> bit_) & 1;
        if (bit_-- == 0) {
            current_ = byte_at(++byte_);
            bit_ = 7;
        }
        return b;
    }

private:
    uint8_t byte_at(size_t i) const { return i < source_.size() ? source_[i] : 0; }

    std::span<const uint8_t> source_;
    size_t byte_;
    uint8_t current_ = 0;
    int bit_ = 3;
};

struct Run {
    uint32_t left = 0;      // symbols still to come
    bool ends_with_lps = false;
};

class Decoder {
public:
    Decoder(std::span<const uint8_t> source, size_t start) : in_(source, start) {
        const uint8_t header = start < source.size() ? source[start] : 0;
        plane_type_ = header >> 6;
        context_type_ = (header >> 4) & 3;
    }
    int plane_type() const { return plane_type_; }

    int plane_bit(int plane) {
        uint16_t& h = history_[size_t(plane)];
        const int c = (plane & 1) * 16 | ((h >> 5) & kHighMask[context_type_]) | (h & kLowMask[context_type_]);
        const int b = context_bit(c);
        h = uint16_t((h << 1) | b);
        return b;
    }

private:
    int context_bit(int c) {
        const uint8_t s = state_[size_t(c)];
        const int g = kCodeOrder[s];
        Run& run = runs_[size_t(g)];
        if (run.left == 0) read_run(g, run);
        run.left--;
        const int mps = mps_[size_t(c)];
        if (run.left > 0) return mps;
        if (!run.ends_with_lps) {
            state_[size_t(c)] = kNextOnMps[s];
            return mps;
        }
        state_[size_t(c)] = kNextOnLps[s];
        const int lps = mps ^ 1;
        if (s <= 1) mps_[size_t(c)] = uint8_t(lps);
        return lps;
    }

    void read_run(int g, Run& run) {
        if (in_.bit() == 0) {
            run.left = 1u << g;
            run.ends_with_lps = false;
            return;
        }
        uint32_t r = 0;
        for (int i = 0; i < g; i++) r |= uint32_t(in_.bit()) << i;
        run.left = (1u << g) - r;
        run.ends_with_lps = true;
    }

    BitReader in_;
    int plane_type_ = 0;
    int context_type_ = 0;
    std::array<uint8_t, 32> state_{};
    std::array<uint8_t, 32> mps_{};
    std::array<Run, 8> runs_{};
    std::array<uint16_t, 8> history_{};
};

}  // namespace

size_t sdd1_decompress(std::span<const uint8_t> source, size_t start, uint32_t count,
                       std::array<uint8_t, kSdd1BufferSize>& out) {
    Decoder d(source, start);
    size_t n = 0;
    if (d.plane_type() == 3) {
        // One byte from eight planes, bit i from plane i.
        for (uint32_t i = 0; i < count && n < out.size(); i++) {
            uint8_t byte = 0;
            for (int plane = 0; plane < 8; plane++) byte |= uint8_t(d.plane_bit(plane) << plane);
            out[n++] = byte;
        }
        return n;
    }
    // Words of two planes; the plane pair moves every eight words for the
    // four- and eight-plane types.
    int first_plane = 0;
    int words = 0;
    for (int64_t left = count; left >= 0 && n < out.size(); left -= 2) {
        uint8_t low = 0, high = 0;
        for (int mask = 0x80; mask != 0; mask >>= 1) {
            if (d.plane_bit(first_plane)) low |= uint8_t(mask);
            if (d.plane_bit(first_plane + 1)) high |= uint8_t(mask);
        }
        out[n++] = low;
        if (n < out.size()) out[n++] = high;
        if (n >= out.size()) break;
        if (++words % 8 == 0) {
            if (d.plane_type() == 2) first_plane ^= 2;
            if (d.plane_type() == 1) first_plane = (first_plane + 2) & 7;
        }
    }
    return n;
}

}  // namespace vt
